// The classic look of push buttons, check boxes, radio buttons and group
// boxes, and the owner-draw request.
#include <algorithm>

#include "win/controls/button.h"
#include "win/gdi/font.h"

namespace win::controls::button {
namespace {

constexpr int kBoxSize = 13;
constexpr int kTextGap = 4;

const char* const kCheckMark[] = {
    ".......", "......x", ".....xx", "x...xxx", "xx.xxx.", "xxxxx..", ".xxx...",
};

// Outer ring: shadow above the diagonal, highlight below; inner ring: dark
// shadow and light; the well in between.
const char* const kRadio[] = {
    "....ssss....", "..ssddddss..", ".sddwwwwdlh.", ".sdwwwwwwlh.", "sdwwwwwwwwlh", "sdwwwwwwwwlh",
    "sdwwwwwwwwlh", "sdwwwwwwwwlh", ".sdwwwwwwlh.", ".sllwwwwllh.", "..hhllllhh..", "....hhhh....",
};

const char* const kRadioDot[] = {".xx.", "xxxx", "xxxx", ".xx."};

bool is_push_type(UINT type) {
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON || type == BS_PUSHBOX;
}

void push_button(HWND hwnd, const State& s, HDC dc, RECT rc) {
    const bool def = type_of(hwnd) == BS_DEFPUSHBUTTON;
    fill(dc, rc, COLOR_BTNFACE);
    RECT face = rc;
    if (def || s.pushed) {
        FrameRect(dc, &face, GetSysColorBrush(COLOR_WINDOWFRAME));
        InflateRect(&face, -1, -1);
    }
    if (s.pushed) {
        FrameRect(dc, &face, GetSysColorBrush(COLOR_BTNSHADOW));
    } else {
        raised_frame(dc, face);
    }
    RECT text = face;
    InflateRect(&text, -2, -2);
    if (s.pushed) OffsetRect(&text, 1, 1);
    draw_label(dc, window_text_view(hwnd), text, DT_CENTER | DT_VCENTER | DT_SINGLELINE,
               is_enabled(hwnd));
    if (has_focus(hwnd)) {
        RECT focus = face;
        InflateRect(&focus, -3, -3);
        DrawFocusRect(dc, &focus);
    }
}

// Check box and radio button: the mark at the left, the label beside it.
void check_button(HWND hwnd, const State& s, HDC dc, RECT rc, bool radio) {
    HBRUSH bg = parent_color(hwnd, dc, WM_CTLCOLORSTATIC);
    FillRect(dc, &rc, bg);
    const bool enabled = is_enabled(hwnd);
    const int box_top = rc.top + (rc.bottom - rc.top - kBoxSize) / 2;
    const int well = (s.pushed || !enabled) ? COLOR_BTNFACE : COLOR_WINDOW;
    const int mark = enabled ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT;
    if (radio) {
        draw_picture(dc, rc.left, box_top, kRadio, 12,
                     {{'s', COLOR_BTNSHADOW},
                      {'d', COLOR_3DDKSHADOW},
                      {'w', well},
                      {'l', COLOR_3DLIGHT},
                      {'h', COLOR_BTNHIGHLIGHT}});
        if (s.check == BST_CHECKED)
            draw_picture(dc, rc.left + 4, box_top + 4, kRadioDot, 4, {{'x', mark}});
    } else {
        RECT box{rc.left, box_top, rc.left + kBoxSize, box_top + kBoxSize};
        fill(dc, box, well);
        DrawEdge(dc, &box, EDGE_SUNKEN, BF_RECT);
        if (s.check != BST_UNCHECKED) {
            int tone = s.check == BST_INDETERMINATE ? COLOR_BTNSHADOW : mark;
            draw_picture(dc, box.left + 3, box.top + 3, kCheckMark, 7, {{'x', tone}});
        }
    }
    RECT text{rc.left + kBoxSize + kTextGap, rc.top, rc.right, rc.bottom};
    std::string_view label = window_text_view(hwnd);
    draw_label(dc, label, text, DT_LEFT | DT_VCENTER | DT_SINGLELINE, enabled);
    if (has_focus(hwnd) && !label.empty()) {
        RECT measure = text;
        DrawTextA(dc, label.data(), int(label.size()), &measure, DT_SINGLELINE | DT_CALCRECT);
        int h = measure.bottom - measure.top;
        RECT focus{text.left - 1, text.top + (text.bottom - text.top - h) / 2 - 1,
                   std::min(measure.right + 1, rc.right), 0};
        focus.bottom = focus.top + h + 2;
        DrawFocusRect(dc, &focus);
    }
}

// Group box: an etched frame whose top line runs through the middle of the
// caption. The inside is left to the parent and the controls in it.
void group_box(HWND hwnd, const State& s, HDC dc, RECT rc) {
    HBRUSH bg = parent_color(hwnd, dc, WM_CTLCOLORSTATIC);
    std::string_view label = window_text_view(hwnd);
    RECT measure{0, 0, 0, 0};
    DrawTextA(dc, label.data(), int(label.size()), &measure, DT_SINGLELINE | DT_CALCRECT);
    const int text_h =
        std::max<int>(measure.bottom - measure.top, gdi::font_metrics(control_font(s)).height);
    RECT frame{rc.left, rc.top + text_h / 2 - 1, rc.right, rc.bottom};
    DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
    if (label.empty()) return;
    RECT text{rc.left + 8, rc.top, std::min<int>(rc.right - 8, rc.left + 8 + measure.right + 4),
              rc.top + text_h};
    FillRect(dc, &text, bg);
    text.left += 2;
    draw_label(dc, label, text, DT_LEFT | DT_SINGLELINE, is_enabled(hwnd));
}

}  // namespace

void paint(HWND hwnd, const State& s, HDC dc) {
    const UINT type = type_of(hwnd);
    const RECT rc = client_rect(hwnd);
    HGDIOBJ old_font = SelectObject(dc, control_font(s));
    if (is_push_type(type)) {
        parent_color(hwnd, dc, WM_CTLCOLORBTN);
        SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
        push_button(hwnd, s, dc, rc);
    } else if (type == BS_GROUPBOX) {
        group_box(hwnd, s, dc, rc);
    } else if (type == BS_OWNERDRAW) {
        draw_owner(hwnd, s, dc, ODA_DRAWENTIRE);
    } else {
        bool radio = type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
        check_button(hwnd, s, dc, rc, radio);
    }
    SelectObject(dc, old_font);
}

void draw_owner(HWND hwnd, const State& s, HDC dc, UINT action) {
    HWND parent = GetParent(hwnd);
    if (!parent) return;
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_BUTTON;
    dis.CtlID = UINT(GetDlgCtrlID(hwnd));
    dis.itemAction = action;
    dis.itemState = (s.pushed ? ODS_SELECTED : 0) | (has_focus(hwnd) ? ODS_FOCUS : 0) |
                    (is_enabled(hwnd) ? 0 : ODS_DISABLED);
    dis.hwndItem = hwnd;
    dis.hDC = dc;
    dis.rcItem = client_rect(hwnd);
    SendMessageA(parent, WM_DRAWITEM, WPARAM(dis.CtlID), LPARAM(&dis));
}

}  // namespace win::controls::button
