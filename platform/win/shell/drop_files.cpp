#include "win/shell/drop_files.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <memory>

#include "win/base/handle_table.h"
#include "winuser.h"

namespace win::shell {

namespace {

struct Drop {
    std::vector<std::string> paths;
    POINT point{};
};

// The layer's own table of drops in flight.
HandleTable<Drop>& drops() {
    static HandleTable<Drop> table{HandleKind::Drop};
    return table;
}

int hex_value(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = char(std::tolower(static_cast<unsigned char>(c)));
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

}  // namespace

HDROP make_drop(std::vector<std::string> paths, POINT point) {
    auto d = std::make_unique<Drop>();
    d->paths = std::move(paths);
    d->point = point;
    return to_handle<HDROP>(drops().add(std::move(d)));
}

std::size_t drops_held() { return drops().size(); }

std::string path_from_file_uri(std::string_view text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
        text.remove_suffix(1);
    std::string scheme(text.substr(0, 7));
    for (char& c : scheme) c = char(std::tolower(static_cast<unsigned char>(c)));
    if (scheme != "file://") return {};
    std::string_view rest = text.substr(7);
    if (rest.starts_with("localhost/")) rest.remove_prefix(9);
    if (!rest.starts_with("/")) return {};  // another host's file is not ours to open
    std::string out;
    for (size_t i = 0; i < rest.size(); ++i) {
        if (rest[i] == '%' && i + 2 < rest.size() && hex_value(rest[i + 1]) >= 0 &&
            hex_value(rest[i + 2]) >= 0) {
            out += char(hex_value(rest[i + 1]) * 16 + hex_value(rest[i + 2]));
            i += 2;
        } else {
            out += rest[i];
        }
    }
    if (out.find('\0') != std::string::npos) return {};
    return out;
}

std::vector<std::string> paths_from_uri_list(std::string_view list) {
    std::vector<std::string> out;
    while (!list.empty()) {
        size_t end = list.find('\n');
        std::string_view line = list.substr(0, end);
        list = end == std::string_view::npos ? std::string_view{} : list.substr(end + 1);
        if (line.empty() || line.front() == '#') continue;
        if (std::string path = path_from_file_uri(line); !path.empty())
            out.push_back(std::move(path));
    }
    return out;
}

}  // namespace win::shell

using win::shell::drops;

extern "C" {

UINT DragQueryFileA(HDROP drop, UINT index, LPSTR file, UINT size) {
    auto* d = drops().get(drop);
    if (!d) return 0;
    if (index == 0xFFFFFFFFu) return UINT(d->paths.size());
    if (index >= d->paths.size()) return 0;
    const std::string& path = d->paths[index];
    if (file && size > 0) {
        size_t n = std::min<size_t>(path.size(), size - 1);
        std::memcpy(file, path.data(), n);
        file[n] = 0;
    }
    return UINT(path.size());
}

BOOL DragQueryPoint(HDROP drop, POINT* point) {
    auto* d = drops().get(drop);
    if (!d || !point) return FALSE;
    *point = d->point;
    return TRUE;
}

void DragFinish(HDROP drop) { drops().remove(drop); }

void DragAcceptFiles(HWND hwnd, BOOL accept) {
    if (!IsWindow(hwnd)) return;
    LONG ex = GetWindowLongA(hwnd, GWL_EXSTYLE);
    SetWindowLongA(hwnd, GWL_EXSTYLE, accept ? ex | WS_EX_ACCEPTFILES : ex & ~WS_EX_ACCEPTFILES);
}

}  // extern "C"
