// MessageBoxA: a modal dialog sized to its text, with the icon at the top
// left, the text word-wrapped beside it and a centred row of buttons below.
#include <algorithm>
#include <string>
#include <vector>

#include "win/dialogs/dialog_state.h"

namespace win::dialogs {

namespace {

constexpr int kMargin = 12;
constexpr int kIcon = 32;
constexpr int kGapIconText = 12;
constexpr int kGapTextButtons = 14;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kButtonGap = 6;
constexpr int kTextId = 0xFFFF;

struct Button {
    int id;
    const char* label;
};

std::vector<Button> buttons_for(UINT type) {
    switch (type & MB_TYPEMASK) {
        case MB_OKCANCEL:
            return {{IDOK, "OK"}, {IDCANCEL, "Cancel"}};
        case MB_ABORTRETRYIGNORE:
            return {{IDABORT, "&Abort"}, {IDRETRY, "&Retry"}, {IDIGNORE, "&Ignore"}};
        case MB_YESNOCANCEL:
            return {{IDYES, "&Yes"}, {IDNO, "&No"}, {IDCANCEL, "Cancel"}};
        case MB_YESNO:
            return {{IDYES, "&Yes"}, {IDNO, "&No"}};
        case MB_RETRYCANCEL:
            return {{IDRETRY, "&Retry"}, {IDCANCEL, "Cancel"}};
        default:
            return {{IDOK, "OK"}};
    }
}

IconKind icon_for(UINT type) {
    switch (type & MB_ICONMASK) {
        case MB_ICONHAND:
            return IconKind::Stop;
        case MB_ICONQUESTION:
            return IconKind::Question;
        case MB_ICONEXCLAMATION:
            return IconKind::Warning;
        case MB_ICONASTERISK:
            return IconKind::Information;
    }
    return IconKind::None;
}

struct Box {
    MessageBoxInfo info;
    std::vector<Button> buttons;
    HICON icon = nullptr;
};

SIZE measure(HWND dlg, const std::string& text, int max_width, UINT flags) {
    HDC dc = GetDC(dlg);
    HGDIOBJ old = SelectObject(dc, dialog_font(dlg));
    RECT r{0, 0, max_width, 0};
    DrawTextA(dc, text.c_str(), int(text.size()), &r, flags | DT_CALCRECT);
    SelectObject(dc, old);
    ReleaseDC(dlg, dc);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

void lay_out(HWND dlg, Box& box) {
    const UINT text_flags = DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS;
    int text_x = box.icon ? kMargin + kIcon + kGapIconText : kMargin;
    int max_text = std::max(200, GetSystemMetrics(SM_CXSCREEN) * 5 / 8 - text_x - kMargin);
    SIZE text = measure(dlg, box.info.text, max_text, text_flags);
    int content_h = std::max(int(text.cy), box.icon ? kIcon : 0);
    int text_y = kMargin + (box.icon && text.cy < kIcon ? (kIcon - text.cy) / 2 : 0);

    int n = int(box.buttons.size());
    int row_w = n * kButtonWidth + (n - 1) * kButtonGap;
    SIZE caption = measure(dlg, box.info.caption, 10000, DT_SINGLELINE | DT_NOPREFIX);
    int client_w =
        std::max({text_x + int(text.cx) + kMargin, row_w + 2 * kMargin, int(caption.cx) + 60});
    int row_y = kMargin + content_h + kGapTextButtons;
    int client_h = row_y + kButtonHeight + kMargin;

    HFONT font = dialog_font(dlg);
    HWND label = CreateWindowExA(0, "STATIC", box.info.text.c_str(),
                                 WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT | SS_NOPREFIX, text_x,
                                 text_y, text.cx + 1, text.cy, dlg,
                                 reinterpret_cast<HMENU>(INT_PTR(kTextId)), nullptr, nullptr);
    SendMessageA(label, WM_SETFONT, WPARAM(font), FALSE);

    size_t def = std::min(size_t((box.info.type & MB_DEFMASK) >> 8), box.buttons.size() - 1);
    int x = (client_w - row_w) / 2;
    HWND def_button = nullptr;
    for (size_t i = 0; i < box.buttons.size(); ++i) {
        DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | (i == 0 ? WS_GROUP : 0) |
                      (i == def ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
        HWND b = CreateWindowExA(
            0, "BUTTON", box.buttons[i].label, style, x, row_y, kButtonWidth, kButtonHeight, dlg,
            reinterpret_cast<HMENU>(INT_PTR(box.buttons[i].id)), nullptr, nullptr);
        SendMessageA(b, WM_SETFONT, WPARAM(font), FALSE);
        if (i == def) def_button = b;
        x += kButtonWidth + kButtonGap;
    }
    SendMessageA(dlg, DM_SETDEFID, WPARAM(box.buttons[def].id), 0);

    // The client area is the whole window here; a frame, if any, comes from the display.
    RECT wr, cr;
    GetWindowRect(dlg, &wr);
    GetClientRect(dlg, &cr);
    int w = client_w + (wr.right - wr.left - cr.right),
        h = client_h + (wr.bottom - wr.top - cr.bottom);
    DialogState* st = dialog_state(dlg);
    POINT at = centred_position(st ? st->owner : nullptr, w, h);
    SetWindowPos(dlg, nullptr, at.x, at.y, w, h, SWP_NOZORDER);
    if (def_button) focus_control(dlg, def_button, false);
}

bool has_button(const Box& box, int id) {
    return std::any_of(box.buttons.begin(), box.buttons.end(),
                       [id](const Button& b) { return b.id == id; });
}

INT_PTR CALLBACK box_proc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    auto* box = reinterpret_cast<Box*>(GetWindowLongPtrA(dlg, DWLP_USER));
    switch (msg) {
        case WM_INITDIALOG: {
            box = reinterpret_cast<Box*>(lp);
            SetWindowLongPtrA(dlg, DWLP_USER, lp);
            if (DialogState* st = dialog_state(dlg))
                st->message_box = std::make_unique<MessageBoxInfo>(box->info);
            lay_out(dlg, *box);
            return FALSE;  // the default button has the focus already
        }
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(dlg, &ps);
            if (box && box->icon)
                DrawIconEx(dc, kMargin, kMargin, box->icon, kIcon, kIcon, 0, nullptr, DI_NORMAL);
            EndPaint(dlg, &ps);
            return TRUE;
        }
        case WM_COMMAND: {
            if (!box) return FALSE;
            int id = LOWORD(wp);
            if (has_button(*box, id)) {
                EndDialog(dlg, id);
            } else if (id == IDCANCEL && (box->info.type & MB_TYPEMASK) == MB_OK) {
                // Escape and the close box end a lone OK box as OK.
                EndDialog(dlg, IDOK);
            }
            return TRUE;
        }
    }
    return FALSE;
}

}  // namespace

bool message_box_info(HWND hwnd, MessageBoxInfo* info) {
    DialogState* st = dialog_state(hwnd);
    if (!st || !st->message_box) return false;
    if (info) *info = *st->message_box;
    return true;
}

}  // namespace win::dialogs

using namespace win::dialogs;

extern "C" int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    if (owner && !IsWindow(owner)) owner = nullptr;
    Box box;
    box.info.text = text ? text : "";
    box.info.caption = caption ? caption : "Error";
    box.info.type = type;
    box.info.icon = icon_for(type);
    box.buttons = buttons_for(type);
    box.icon = message_box_icon(box.info.icon);

    win::res::DialogTemplate tmpl;
    tmpl.caption = box.info.caption;
    tmpl.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
    tmpl.font_name = "MS Sans Serif";
    tmpl.point_size = 8;
    tmpl.cx = 100;
    tmpl.cy = 40;
    INT_PTR r = dialog_box(tmpl, nullptr, owner, box_proc, LPARAM(&box));
    return r < 0 ? 0 : int(r);
}
