#include "win/dialogs/file_listing.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace win::dialogs::files {

namespace {

char lower(char c) { return char(std::tolower(static_cast<unsigned char>(c))); }
bool digit(char c) { return c >= '0' && c <= '9'; }

// The value of one XDG_<NAME>_DIR line, "$HOME/..." or absolute; empty when absent.
std::string user_dir(const std::string& home, std::string_view text, std::string_view name) {
    std::string key = "XDG_" + std::string(name) + "_DIR=";
    std::istringstream in{std::string(text)};
    for (std::string line; std::getline(in, line);) {
        if (!line.starts_with(key)) continue;
        std::string value = line.substr(key.size());
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        if (value.starts_with("$HOME")) value = home + value.substr(5);
        if (value.empty() || value.front() != '/') return {};
        while (value.size() > 1 && value.back() == '/') value.pop_back();
        return value;
    }
    return {};
}

}  // namespace

bool natural_less(std::string_view a, std::string_view b) {
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (digit(a[i]) && digit(b[j])) {
            size_t si = i, sj = j;
            while (si < a.size() && a[si] == '0') ++si;
            while (sj < b.size() && b[sj] == '0') ++sj;
            size_t ei = si, ej = sj;
            while (ei < a.size() && digit(a[ei])) ++ei;
            while (ej < b.size() && digit(b[ej])) ++ej;
            // More significant digits is a bigger number; equal lengths compare digit by digit.
            if (ei - si != ej - sj) return ei - si < ej - sj;
            if (int c = a.substr(si, ei - si).compare(b.substr(sj, ej - sj)); c != 0) return c < 0;
            i = ei, j = ej;
            continue;
        }
        char x = lower(a[i]), y = lower(b[j]);
        if (x != y) return x < y;
        ++i, ++j;
    }
    if (a.size() - i != b.size() - j) return a.size() - i < b.size() - j;
    return a < b;  // names equal but for case or leading zeros still have one order
}

std::string size_text(std::uint64_t bytes) {
    if (bytes < 1024) return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
    const char* units[] = {"KB", "MB", "GB", "TB"};
    double v = double(bytes) / 1024;
    int u = 0;
    while (v >= 1024 && u < 3) v /= 1024, ++u;
    char out[32];
    if (v < 10)
        std::snprintf(out, sizeof out, "%.1f %s", v, units[u]);
    else
        std::snprintf(out, sizeof out, "%.0f %s", v, units[u]);
    return out;
}

std::vector<Place> user_places(const std::string& home, std::string_view user_dirs) {
    std::vector<Place> out;
    if (!home.empty()) out.push_back({"Home", home});
    const std::pair<const char*, const char*> kinds[] = {
        {"DESKTOP", "Desktop"}, {"VIDEOS", "Videos"}, {"DOWNLOAD", "Downloads"}};
    for (auto [key, label] : kinds) {
        if (home.empty()) break;
        std::string path = user_dir(home, user_dirs, key);
        if (path.empty() &&
            user_dirs.find(std::string("XDG_") + key + "_DIR=") == std::string_view::npos)
            path = home + "/" + label;
        if (!path.empty() && path != home) out.push_back({label, path});
    }
    out.push_back({"File system", "/"});
    return out;
}

std::vector<Place> existing_user_places() {
    const char* home = std::getenv("HOME");
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::string base = config && *config ? config : std::string(home ? home : "") + "/.config";
    std::ifstream in(base + "/user-dirs.dirs");
    std::ostringstream text;
    text << in.rdbuf();
    std::vector<Place> out;
    std::error_code ec;
    for (Place& p : user_places(home ? home : "", text.str()))
        if (std::filesystem::is_directory(p.path, ec)) out.push_back(std::move(p));
    return out;
}

}  // namespace win::dialogs::files
