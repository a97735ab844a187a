// LISTBOX messages, mouse and keyboard; also the drop-down list of a combo
// box, which reports to its combo instead of the parent.
#include "win/controls/listbox.h"

#include <strings.h>

#include <algorithm>
#include <cctype>
#include <cstring>

#include "win/controls/control_classes.h"

namespace win::controls::listbox {
namespace {

constexpr DWORD kDoubleClickMs = 500;

DWORD style_of(HWND hwnd) { return DWORD(GetWindowLongA(hwnd, GWL_STYLE)); }
int count(const State& s) { return int(s.items.size()); }

void set_top(HWND hwnd, State& s, int top) {
    top = std::clamp(top, 0, max_top(hwnd, s));
    if (top == s.top) return;
    s.top = top;
    InvalidateRect(hwnd, nullptr, FALSE);
}

void ensure_visible(HWND hwnd, State& s, int i) {
    if (i < 0) return;
    const int rows = visible_rows(hwnd, s);
    if (i < s.top)
        set_top(hwnd, s, i);
    else if (i >= s.top + rows)
        set_top(hwnd, s, i - rows + 1);
}

void notify(HWND hwnd, const State& s, WORD code) {
    if (s.combo) return;
    if (style_of(hwnd) & LBS_NOTIFY) notify_parent(hwnd, code);
}

// Selects for the user: scrolls to it and reports a change.
void choose(HWND hwnd, State& s, int i) {
    if (s.items.empty()) return;
    i = std::clamp(i, 0, count(s) - 1);
    ensure_visible(hwnd, s, i);
    if (i == s.cur) return;
    s.cur = i;
    InvalidateRect(hwnd, nullptr, FALSE);
    UpdateWindow(hwnd);
    notify(hwnd, s, LBN_SELCHANGE);
}

int item_at(HWND hwnd, const State& s, int y) {
    (void)hwnd;
    if (y < 0) return s.top - 1;
    return s.top + y / item_height(s);
}

int insert(HWND hwnd, State& s, int at, const char* text) {
    if (!text) text = "";
    if (at < 0 || at > count(s)) at = count(s);
    s.items.insert(s.items.begin() + at, Item{text, 0});
    if (s.cur >= at) ++s.cur;
    InvalidateRect(hwnd, nullptr, FALSE);
    return at;
}

int sorted_position(const State& s, const char* text) {
    auto it = std::upper_bound(s.items.begin(), s.items.end(), std::string(text ? text : ""),
                               [](const std::string& t, const Item& item) {
                                   return strcasecmp(t.c_str(), item.text.c_str()) < 0;
                               });
    return int(it - s.items.begin());
}

// Case-blind search from the item after `start`, wrapping round.
constexpr DWORD kTypeAheadMs = 1000;

int find(const State& s, int start, const char* text, bool exact) {
    if (!text || s.items.empty()) return LB_ERR;
    const size_t n = std::strlen(text);
    const int total = count(s);
    int from = (start < 0 || start >= total) ? 0 : start + 1;
    for (int k = 0; k < total; ++k) {
        const std::string& t = s.items[size_t((from + k) % total)].text;
        bool hit = exact ? strcasecmp(t.c_str(), text) == 0 : strncasecmp(t.c_str(), text, n) == 0;
        if (hit) return (from + k) % total;
    }
    return LB_ERR;
}

// Mouse positions of a drop-down list come from the screen, since its capture
// spans other windows.
POINT pointer(HWND hwnd, const State& s, LPARAM lp) {
    POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    if (s.combo) {
        GetCursorPos(&pt);
        ScreenToClient(hwnd, &pt);
    }
    return pt;
}

bool scroll_bar_down(HWND hwnd, State& s, POINT pt) {
    ScrollBar sb = scroll_bar(hwnd, s);
    if (!sb.shown || !PtInRect(&sb.bar, pt)) return false;
    if (!sb.active) return true;
    const int rows = visible_rows(hwnd, s);
    if (PtInRect(&sb.up, pt))
        set_top(hwnd, s, s.top - 1);
    else if (PtInRect(&sb.down, pt))
        set_top(hwnd, s, s.top + 1);
    else if (pt.y < sb.thumb.top)
        set_top(hwnd, s, s.top - rows);
    else if (pt.y >= sb.thumb.bottom)
        set_top(hwnd, s, s.top + rows);
    else {
        s.grab = Grab::Thumb;
        s.thumb_grab = pt.y - sb.thumb.top;
        if (!s.combo) SetCapture(hwnd);
    }
    return true;
}

void drag_thumb(HWND hwnd, State& s, POINT pt) {
    ScrollBar sb = scroll_bar(hwnd, s);
    const int track = sb.down.top - sb.up.bottom - (sb.thumb.bottom - sb.thumb.top);
    if (track <= 0) return;
    const int at = pt.y - s.thumb_grab - sb.up.bottom;
    set_top(hwnd, s, (at * max_top(hwnd, s) + track / 2) / track);
}

void mouse_down(HWND hwnd, State& s, POINT pt, bool double_click) {
    if (s.combo) {
        RECT rc = client_rect(hwnd);
        if (!PtInRect(&rc, pt)) {
            SendMessageA(s.combo, kListChose, FALSE, 0);
            return;
        }
    } else if (GetFocus() != hwnd) {
        SetFocus(hwnd);
    }
    if (scroll_bar_down(hwnd, s, pt)) return;
    const int i = item_at(hwnd, s, pt.y);
    if (i < 0 || i >= count(s)) return;
    const DWORD now = GetMessageTime();
    double_click =
        double_click || (i == s.last_click_item && now - s.last_click_time <= kDoubleClickMs);
    s.last_click_item = double_click ? -1 : i;
    s.last_click_time = now;
    choose(hwnd, s, i);
    s.grab = Grab::Items;
    if (!s.combo) SetCapture(hwnd);
    if (double_click) notify(hwnd, s, LBN_DBLCLK);
}

void mouse_move(HWND hwnd, State& s, POINT pt) {
    if (s.grab == Grab::Thumb) {
        drag_thumb(hwnd, s, pt);
        return;
    }
    const RECT area = items_rect(hwnd, s);
    // A drop-down list follows the pointer; a list box only while the button is down.
    if (s.grab != Grab::Items && !(s.combo && PtInRect(&area, pt))) return;
    int i = item_at(hwnd, s, pt.y);
    if (pt.y >= area.bottom) i = s.top + visible_rows(hwnd, s);
    if (i >= 0 && i < count(s) && (PtInRect(&area, pt) || s.grab == Grab::Items))
        choose(hwnd, s, i);
}

void mouse_up(HWND hwnd, State& s, POINT pt) {
    const Grab was = s.grab;
    s.grab = Grab::None;
    if (s.combo) {
        RECT area = items_rect(hwnd, s);
        if (was != Grab::Thumb && PtInRect(&area, pt) && s.cur >= 0)
            SendMessageA(s.combo, kListChose, TRUE, 0);
        return;
    }
    if (was != Grab::None && GetCapture() == hwnd) ReleaseCapture();
}

bool key_down(HWND hwnd, State& s, WPARAM vk) {
    const int rows = visible_rows(hwnd, s);
    const int cur = s.cur < 0 ? (vk == VK_DOWN ? -1 : 0) : s.cur;
    switch (vk) {
        case VK_UP:
            choose(hwnd, s, cur - 1);
            return true;
        case VK_DOWN:
            choose(hwnd, s, cur + 1);
            return true;
        case VK_PRIOR:
            choose(hwnd, s, cur - (rows - 1));
            return true;
        case VK_NEXT:
            choose(hwnd, s, cur + (rows - 1));
            return true;
        case VK_HOME:
            choose(hwnd, s, 0);
            return true;
        case VK_END:
            choose(hwnd, s, count(s) - 1);
            return true;
    }
    return false;
}

LRESULT copy_text(const State& s, WPARAM index, LPARAM out) {
    if (index >= s.items.size() || !out) return LB_ERR;
    const std::string& t = s.items[index].text;
    std::memcpy(reinterpret_cast<char*>(out), t.c_str(), t.size() + 1);
    return LRESULT(t.size());
}

LRESULT handle(HWND hwnd, State& s, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_PAINT:
            paint(hwnd, s);
            return 0;
        case WM_GETDLGCODE:
            return DLGC_WANTARROWS | DLGC_WANTCHARS;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            InvalidateRect(hwnd, nullptr, FALSE);
            notify(hwnd, s, msg == WM_SETFOCUS ? LBN_SETFOCUS : LBN_KILLFOCUS);
            return 0;
        case WM_ENABLE:
        case WM_SIZE:
            set_top(hwnd, s, s.top);
            InvalidateRect(hwnd, nullptr, FALSE);
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            mouse_down(hwnd, s, pointer(hwnd, s, lp), msg == WM_LBUTTONDBLCLK);
            return 0;
        case WM_MOUSEMOVE:
            mouse_move(hwnd, s, pointer(hwnd, s, lp));
            return 0;
        case WM_LBUTTONUP:
            mouse_up(hwnd, s, pointer(hwnd, s, lp));
            return 0;
        case WM_CAPTURECHANGED:
            if (!s.combo && HWND(lp) != hwnd) s.grab = Grab::None;
            return 0;
        case WM_KEYDOWN:
            return key_down(hwnd, s, wp) ? 0 : DefWindowProcA(hwnd, msg, wp, lp);
        case WM_CHAR: {
            if (!std::isprint(static_cast<unsigned char>(wp))) return 0;
            // Letters typed within a second of each other spell the start of
            // a name; one letter alone steps through the names it begins.
            DWORD now = GetTickCount();
            if (now - s.last_typed_time > kTypeAheadMs) s.typed.clear();
            s.last_typed_time = now;
            s.typed += char(wp);
            bool repeat = s.typed.find_first_not_of(s.typed[0]) == std::string::npos;
            int i = repeat ? find(s, s.cur, s.typed.substr(0, 1).c_str(), false)
                           : find(s, s.cur - 1, s.typed.c_str(), false);
            if (i == LB_ERR && s.typed.size() > 1) {
                // No name starts so: the letter begins a new start.
                s.typed = char(wp);
                i = find(s, s.cur, s.typed.c_str(), false);
            }
            if (i != LB_ERR) choose(hwnd, s, i);
            return 0;
        }

        case LB_ADDSTRING: {
            const char* text = reinterpret_cast<const char*>(lp);
            int at = (style_of(hwnd) & LBS_SORT) ? sorted_position(s, text) : count(s);
            return insert(hwnd, s, at, text);
        }
        case LB_INSERTSTRING:
            if (int(wp) > count(s)) return LB_ERR;
            return insert(hwnd, s, int(wp), reinterpret_cast<const char*>(lp));
        case LB_DELETESTRING: {
            if (wp >= s.items.size()) return LB_ERR;
            const int i = int(wp);
            s.items.erase(s.items.begin() + i);
            if (s.cur == i)
                s.cur = -1;
            else if (s.cur > i)
                --s.cur;
            set_top(hwnd, s, s.top);
            InvalidateRect(hwnd, nullptr, FALSE);
            return count(s);
        }
        case LB_RESETCONTENT:
            s.items.clear();
            s.cur = -1;
            s.top = 0;
            InvalidateRect(hwnd, nullptr, FALSE);
            return 0;
        case LB_GETCOUNT:
            return count(s);
        case LB_GETCURSEL:
            return s.cur;
        case LB_SETCURSEL: {
            int i = int(wp);
            if (i < 0 || i >= count(s)) {
                s.cur = -1;
                InvalidateRect(hwnd, nullptr, FALSE);
                return LB_ERR;
            }
            s.cur = i;
            ensure_visible(hwnd, s, i);
            InvalidateRect(hwnd, nullptr, FALSE);
            return i;
        }
        case LB_GETTEXT:
            return copy_text(s, wp, lp);
        case LB_GETTEXTLEN:
            return wp < s.items.size() ? LRESULT(s.items[wp].text.size()) : LB_ERR;
        case LB_GETITEMDATA:
            return wp < s.items.size() ? LRESULT(s.items[wp].data) : LB_ERR;
        case LB_SETITEMDATA:
            if (wp >= s.items.size()) return LB_ERR;
            s.items[wp].data = ULONG_PTR(lp);
            return LB_OKAY;
        case LB_GETTOPINDEX:
            return s.top;
        case LB_SETTOPINDEX:
            if (int(wp) < 0 || int(wp) >= std::max(count(s), 1)) return LB_ERR;
            set_top(hwnd, s, int(wp));
            return LB_OKAY;
        case LB_FINDSTRING:
            return find(s, int(wp), reinterpret_cast<const char*>(lp), false);
        case LB_FINDSTRINGEXACT:
            return find(s, int(wp), reinterpret_cast<const char*>(lp), true);
        case LB_SELECTSTRING: {
            int i = find(s, int(wp), reinterpret_cast<const char*>(lp), false);
            if (i != LB_ERR) SendMessageA(hwnd, LB_SETCURSEL, WPARAM(i), 0);
            return i;
        }
        case LB_GETITEMHEIGHT:
            return item_height(s);
        case LB_GETITEMRECT: {
            auto* r = reinterpret_cast<RECT*>(lp);
            if (!r || wp >= s.items.size()) return LB_ERR;
            RECT area = items_rect(hwnd, s);
            const int h = item_height(s);
            *r = RECT{area.left, (int(wp) - s.top) * h, area.right, (int(wp) - s.top + 1) * h};
            return LB_OKAY;
        }
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace
}  // namespace win::controls::listbox

namespace win::controls {

LRESULT CALLBACK listbox_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return control_proc<listbox::State, listbox::handle>(hwnd, msg, wp, lp);
}

}  // namespace win::controls
