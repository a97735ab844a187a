// Where a window stands on the screen, as `xdotool getwindowgeometry --shell`
// prints it; shared by the end-to-end tests.
#pragma once

#include <cstdlib>
#include <sstream>
#include <string>

namespace e2e {

struct Geometry {
    int x = 0, y = 0, w = 0, h = 0;
};

inline Geometry parse_geometry(const std::string& shell_output) {
    Geometry g;
    std::istringstream in(shell_output);
    for (std::string line; std::getline(in, line);) {
        auto eq = line.find('=');
        if (eq == std::string::npos) continue;
        int v = std::atoi(line.c_str() + eq + 1);
        std::string key = line.substr(0, eq);
        if (key == "X") g.x = v;
        if (key == "Y") g.y = v;
        if (key == "WIDTH") g.w = v;
        if (key == "HEIGHT") g.h = v;
    }
    return g;
}

}  // namespace e2e
