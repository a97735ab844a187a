// EDIT, single line: typing, selection with the mouse and Shift, Home/End,
// Backspace/Delete, Ctrl+A, horizontal auto-scroll, the caret and EN_*.
#include "win/controls/edit.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "win/controls/control_classes.h"

namespace win::controls::edit {
namespace {

constexpr size_t kMaxLimit = 0x7FFFFFFE;

DWORD style_of(HWND hwnd) { return DWORD(GetWindowLongA(hwnd, GWL_STYLE)); }
bool key_held(int vk) { return GetKeyState(vk) < 0; }

// Follows Shift and Ctrl through the key messages; true when vk was one of them.
bool track_modifier(State& s, WPARAM vk, bool down) {
    if (vk == VK_SHIFT)
        s.shift = down;
    else if (vk == VK_CONTROL)
        s.ctrl = down;
    else
        return false;
    return true;
}

int visible_width(HWND hwnd) { return std::max(1, int(client_rect(hwnd).right) - 2 * kMargin); }

// Keeps the caret inside the visible part and no blank space scrolled in.
void scroll_to_caret(HWND hwnd, State& s) {
    const int width = visible_width(hwnd);
    const int caret_x = prefix_width(s, s.caret);
    if (caret_x - s.scroll < 0)
        s.scroll = caret_x;
    else if (caret_x - s.scroll > width - 1)
        s.scroll = caret_x - width + 1;
    s.scroll = std::max(0, std::min(s.scroll, prefix_width(s, s.text.size()) - width + 1));
}

void place_caret(HWND hwnd, const State& s) {
    if (has_focus(hwnd))
        SetCaretPos(kMargin - s.scroll + prefix_width(s, s.caret), text_top(hwnd, s));
}

void changed_view(HWND hwnd, State& s) {
    scroll_to_caret(hwnd, s);
    InvalidateRect(hwnd, nullptr, FALSE);
    place_caret(hwnd, s);
}

// Mirrors the text into the window record, where GetWindowText and the
// automation helpers read it.
void sync_window_text(HWND hwnd, const State& s) {
    DefWindowProcA(hwnd, WM_SETTEXT, 0, LPARAM(s.text.c_str()));
}

void text_changed(HWND hwnd, State& s) {
    s.modified = true;
    sync_window_text(hwnd, s);
    changed_view(hwnd, s);
    notify_parent(hwnd, EN_UPDATE);
    notify_parent(hwnd, EN_CHANGE);
}

void select(HWND hwnd, State& s, size_t anchor, size_t caret) {
    s.anchor = std::min(anchor, s.text.size());
    s.caret = std::min(caret, s.text.size());
    changed_view(hwnd, s);
}

// Puts `insert` in place of the selection; false when nothing could change.
bool replace_selection(HWND hwnd, State& s, std::string insert, bool user) {
    const size_t a = s.sel_min(), b = s.sel_max();
    const size_t room = s.limit > s.text.size() - (b - a) ? s.limit - (s.text.size() - (b - a)) : 0;
    if (insert.size() > room) {
        insert.resize(room);
        notify_parent(hwnd, EN_MAXTEXT);
    }
    if (insert.empty() && a == b) return false;
    std::string next = s.text.substr(0, a) + insert + s.text.substr(b);
    // Without auto-scroll the text must fit the box.
    if (user && !(style_of(hwnd) & ES_AUTOHSCROLL)) {
        State probe = s;
        probe.text = next;
        if (prefix_width(probe, next.size()) > visible_width(hwnd)) {
            MessageBeep(0);
            return false;
        }
    }
    s.text = std::move(next);
    s.anchor = s.caret = a + insert.size();
    text_changed(hwnd, s);
    return true;
}

size_t word_left(const State& s, size_t i) {
    while (i > 0 && std::isspace(static_cast<unsigned char>(s.text[i - 1]))) --i;
    while (i > 0 && !std::isspace(static_cast<unsigned char>(s.text[i - 1]))) --i;
    return i;
}

size_t word_right(const State& s, size_t i) {
    while (i < s.text.size() && !std::isspace(static_cast<unsigned char>(s.text[i]))) ++i;
    while (i < s.text.size() && std::isspace(static_cast<unsigned char>(s.text[i]))) ++i;
    return i;
}

bool key_down(HWND hwnd, State& s, WPARAM vk) {
    const bool shift = s.shift, ctrl = s.ctrl;
    const bool read_only = style_of(hwnd) & ES_READONLY;
    auto move = [&](size_t to) { select(hwnd, s, shift ? s.anchor : to, to); };
    switch (vk) {
        case VK_LEFT:
            if (!shift && s.anchor != s.caret && !ctrl)
                move(s.sel_min());
            else
                move(ctrl ? word_left(s, s.caret) : (s.caret ? s.caret - 1 : 0));
            return true;
        case VK_RIGHT:
            if (!shift && s.anchor != s.caret && !ctrl)
                move(s.sel_max());
            else
                move(ctrl ? word_right(s, s.caret) : std::min(s.caret + 1, s.text.size()));
            return true;
        case VK_HOME:
            move(0);
            return true;
        case VK_END:
            move(s.text.size());
            return true;
        case VK_BACK:
            if (read_only) return true;
            if (s.anchor == s.caret && s.caret > 0)
                s.anchor = ctrl ? word_left(s, s.caret) : s.caret - 1;
            replace_selection(hwnd, s, "", false);
            return true;
        case VK_DELETE:
            if (read_only) return true;
            if (s.anchor == s.caret && s.caret < s.text.size()) s.anchor = s.caret + 1;
            replace_selection(hwnd, s, "", false);
            return true;
        case 'A':
            if (!ctrl) return false;
            select(hwnd, s, 0, s.text.size());
            return true;
    }
    return false;
}

void typed(HWND hwnd, State& s, char ch) {
    // Control characters come as key presses (Backspace) or belong to the dialog.
    if (static_cast<unsigned char>(ch) < 0x20 || ch == 0x7f) return;
    const DWORD style = style_of(hwnd);
    if ((style & ES_READONLY) ||
        ((style & ES_NUMBER) && !std::isdigit(static_cast<unsigned char>(ch)))) {
        MessageBeep(0);
        return;
    }
    if (style & ES_UPPERCASE) ch = char(std::toupper(static_cast<unsigned char>(ch)));
    if (style & ES_LOWERCASE) ch = char(std::tolower(static_cast<unsigned char>(ch)));
    replace_selection(hwnd, s, std::string(1, ch), true);
}

void focus_changed(HWND hwnd, State& s, bool gained) {
    if (gained) {
        s.shift = key_held(VK_SHIFT);
        s.ctrl = key_held(VK_CONTROL);
        CreateCaret(hwnd, nullptr, 1, line_height(s));
        place_caret(hwnd, s);
        ShowCaret(hwnd);
    } else {
        DestroyCaret();
    }
    InvalidateRect(hwnd, nullptr, FALSE);
    notify_parent(hwnd, gained ? EN_SETFOCUS : EN_KILLFOCUS);
}

LRESULT get_sel(const State& s, WPARAM wp, LPARAM lp) {
    if (auto* start = reinterpret_cast<DWORD*>(wp)) *start = DWORD(s.sel_min());
    if (auto* end = reinterpret_cast<DWORD*>(lp)) *end = DWORD(s.sel_max());
    return MAKELONG(WORD(std::min<size_t>(s.sel_min(), 0xffff)),
                    WORD(std::min<size_t>(s.sel_max(), 0xffff)));
}

void set_sel(HWND hwnd, State& s, LONG start, LONG end) {
    if (start < 0) {  // -1 takes the selection away and keeps the caret
        select(hwnd, s, s.caret, s.caret);
        return;
    }
    size_t a = size_t(start), b = end < 0 ? s.text.size() : size_t(end);
    select(hwnd, s, a, b);
}

LRESULT handle(HWND hwnd, State& s, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_CREATE: {
            const auto* cs = reinterpret_cast<const CREATESTRUCTA*>(lp);
            if (cs && cs->lpszName && !IS_INTRESOURCE(cs->lpszName)) s.text = cs->lpszName;
            return 0;
        }
        case WM_PAINT:
            paint(hwnd, s);
            return 0;
        case WM_GETDLGCODE:
            return DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
        case WM_SETFOCUS:
            focus_changed(hwnd, s, true);
            return 0;
        case WM_KILLFOCUS:
            focus_changed(hwnd, s, false);
            return 0;
        case WM_ENABLE:
            InvalidateRect(hwnd, nullptr, FALSE);
            return 0;
        case WM_SETFONT:
            changed_view(hwnd, s);
            return 0;
        case WM_SETTEXT: {
            const char* t = reinterpret_cast<const char*>(lp);
            s.text = t ? t : "";
            s.anchor = s.caret = 0;
            s.scroll = 0;
            s.modified = false;
            sync_window_text(hwnd, s);
            changed_view(hwnd, s);
            notify_parent(hwnd, EN_UPDATE);
            notify_parent(hwnd, EN_CHANGE);
            return TRUE;
        }
        case WM_GETTEXT: {
            char* out = reinterpret_cast<char*>(lp);
            if (!out || wp == 0) return 0;
            size_t n = std::min(s.text.size(), size_t(wp) - 1);
            std::memcpy(out, s.text.data(), n);
            out[n] = 0;
            return LRESULT(n);
        }
        case WM_GETTEXTLENGTH:
            return LRESULT(s.text.size());
        case WM_KEYDOWN:
            if (track_modifier(s, wp, true)) return 0;
            return key_down(hwnd, s, wp) ? 0 : DefWindowProcA(hwnd, msg, wp, lp);
        case WM_KEYUP:
            if (track_modifier(s, wp, false)) return 0;
            return DefWindowProcA(hwnd, msg, wp, lp);
        case WM_CHAR:
            typed(hwnd, s, char(wp));
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: {
            if (GetFocus() != hwnd) SetFocus(hwnd);
            size_t at = index_at(hwnd, s, GET_X_LPARAM(lp));
            select(hwnd, s, (wp & MK_SHIFT) ? s.anchor : at, at);
            s.dragging = true;
            SetCapture(hwnd);
            return 0;
        }
        case WM_MOUSEMOVE:
            // Dragging past either side scrolls the text along.
            if (s.dragging) select(hwnd, s, s.anchor, index_at(hwnd, s, GET_X_LPARAM(lp)));
            return 0;
        case WM_LBUTTONUP:
            if (s.dragging) {
                s.dragging = false;
                if (GetCapture() == hwnd) ReleaseCapture();
            }
            return 0;
        case WM_CAPTURECHANGED:
            if (HWND(lp) != hwnd) s.dragging = false;
            return 0;
        case EM_GETSEL:
            return get_sel(s, wp, lp);
        case EM_SETSEL:
            set_sel(hwnd, s, LONG(wp), LONG(lp));
            return 0;
        case EM_REPLACESEL: {
            const char* t = reinterpret_cast<const char*>(lp);
            replace_selection(hwnd, s, t ? t : "", false);
            return 0;
        }
        case EM_LIMITTEXT:
            s.limit = wp ? size_t(wp) : kMaxLimit;
            return 0;
        case EM_GETLIMITTEXT:
            return LRESULT(s.limit);
        case EM_GETMODIFY:
            return s.modified;
        case EM_SETMODIFY:
            s.modified = wp != 0;
            return 0;
        case EM_GETLINECOUNT:
            return 1;
        case EM_GETLINE: {
            char* out = reinterpret_cast<char*>(lp);
            if (!out) return 0;
            WORD room;
            std::memcpy(&room, out, sizeof room);
            size_t n = std::min<size_t>(s.text.size(), room);
            std::memcpy(out, s.text.data(), n);
            return LRESULT(n);
        }
        case EM_SCROLLCARET:
            changed_view(hwnd, s);
            return TRUE;
        case EM_SETREADONLY: {
            LONG style = GetWindowLongA(hwnd, GWL_STYLE);
            SetWindowLongA(hwnd, GWL_STYLE, wp ? style | ES_READONLY : style & ~LONG(ES_READONLY));
            InvalidateRect(hwnd, nullptr, FALSE);
            return TRUE;
        }
        case EM_GETRECT:
            if (auto* r = reinterpret_cast<RECT*>(lp)) {
                *r = client_rect(hwnd);
                InflateRect(r, -kMargin, 0);
            }
            return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace
}  // namespace win::controls::edit

namespace win::controls {

LRESULT CALLBACK edit_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return control_proc<edit::State, edit::handle>(hwnd, msg, wp, lp);
}

}  // namespace win::controls
