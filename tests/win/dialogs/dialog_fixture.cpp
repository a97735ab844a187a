#include "dialog_fixture.h"

namespace dialog_test {

OwnerLog& owner_log() {
    static OwnerLog log;
    return log;
}

DialogLog& dialog_log() {
    static DialogLog log;
    return log;
}

namespace {

LRESULT CALLBACK owner_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_TIMER) ++owner_log().timer_ticks;
    if (msg == WM_ACTIVATE && LOWORD(wp)) ++owner_log().activations;
    return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace

HWND DialogTest::make_owner(int x, int y, int w, int h) {
    WNDCLASSA wc{};
    if (!GetClassInfoA(nullptr, "DialogTestOwner", &wc)) {
        wc.lpfnWndProc = owner_proc;
        wc.lpszClassName = "DialogTestOwner";
        wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
        RegisterClassA(&wc);
    }
    return CreateWindowExA(0, "DialogTestOwner", "owner", WS_OVERLAPPED | WS_VISIBLE, x, y, w, h,
                           nullptr, nullptr, nullptr, nullptr);
}

INT_PTR CALLBACK logging_dialog_proc(HWND dlg, UINT msg, WPARAM wp, LPARAM) {
    DialogLog& log = dialog_log();
    switch (msg) {
        case WM_INITDIALOG:
            log.init_focus_param = reinterpret_cast<HWND>(wp);
            if (log.end_on_timer_ms) SetTimer(dlg, 5, UINT(log.end_on_timer_ms), nullptr);
            return log.init_result;
        case WM_TIMER:
            if (wp == 5) EndDialog(dlg, 77);
            return TRUE;
        case WM_COMMAND:
            log.commands.push_back(LOWORD(wp));
            if (log.end_on_command && LOWORD(wp) == log.end_on_command) EndDialog(dlg, LOWORD(wp));
            return TRUE;
    }
    return FALSE;
}

win::res::DialogTemplate dialog_template(const char* caption, int cx, int cy,
                                         std::vector<win::res::DialogControl> controls,
                                         DWORD style) {
    win::res::DialogTemplate t;
    t.caption = caption;
    t.style = style;
    t.font_name = "MS Sans Serif";
    t.point_size = 8;
    t.cx = cx;
    t.cy = cy;
    t.controls = std::move(controls);
    return t;
}

void pump_dialog(HWND dlg) {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        if (m.message == WM_QUIT) break;
        if (IsDialogMessageA(dlg, &m)) continue;
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
}

}  // namespace dialog_test
