// A small XDND source for the tests: drags data of one type onto a window
// and drops it, as a file manager would.
#pragma once

#include <string>

namespace e2e {

struct DropResult {
    bool accepted = false;  // the target's XdndStatus said yes
    bool finished = false;  // the target's XdndFinished said it took the data
    bool data_asked = false;
};

// target is the X window id (as xdotool prints it); x, y the root position.
DropResult xdnd_drop(const std::string& display, unsigned long target, int x, int y,
                     const std::string& type, const std::string& data);

}  // namespace e2e
