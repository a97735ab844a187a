// Window classes, registered by name (case-blind).
#include <cstring>

#include "win/core/window.h"

using namespace win;

extern "C" {

ATOM RegisterClassA(const WNDCLASSA* wc) {
    if (!wc || !wc->lpszClassName || !wc->lpfnWndProc || IS_INTRESOURCE(wc->lpszClassName))
        return 0;
    if (wc->cbWndExtra < 0 || wc->cbWndExtra > 1024) return 0;
    WindowSystem& s = system_state();
    std::string name = wc->lpszClassName;
    if (s.classes.count(name)) return 0;
    auto cls = std::make_shared<WindowClass>();
    cls->name = name;
    cls->info = *wc;
    cls->info.lpszClassName = cls->name.c_str();
    cls->info.lpszMenuName = nullptr;
    s.classes.emplace(name, std::move(cls));
    return ATOM(s.classes.size() & 0xbfff) | 0xc000;
}

BOOL UnregisterClassA(LPCSTR name, HINSTANCE) {
    if (!name || IS_INTRESOURCE(name)) return FALSE;
    return system_state().classes.erase(name) ? TRUE : FALSE;
}

BOOL GetClassInfoA(HINSTANCE, LPCSTR name, WNDCLASSA* out) {
    if (!name || !out || IS_INTRESOURCE(name)) return FALSE;
    auto& classes = system_state().classes;
    auto it = classes.find(name);
    if (it == classes.end()) return FALSE;
    *out = it->second->info;
    return TRUE;
}

int GetClassNameA(HWND hwnd, LPSTR out, int max) {
    Window* w = find_window(hwnd);
    if (!w || !out || max <= 0) return 0;
    const std::string& name = w->window_class->name;
    int n = std::min<int>(int(name.size()), max - 1);
    std::memcpy(out, name.data(), n);
    out[n] = 0;
    return n;
}

}  // extern "C"
