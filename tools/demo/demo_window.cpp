#include "demo_window.h"

#include <cstdio>
#include <vector>

#include "win/gdi/icon.h"
#include "wingdi.h"

namespace demo {

namespace {

constexpr char kClassName[] = "KorvaneDemo";
constexpr char kPopupClassName[] = "KorvaneDemoPopup";
constexpr int kMarker = 4;  // half the side of a click marker

// The points clicked so far, in client coordinates; the window's own data.
struct DemoState {
    std::vector<POINT> clicks;
    HWND popup = nullptr;
};

DemoState* state_of(HWND hwnd) {
    return reinterpret_cast<DemoState*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

void fill(HDC dc, RECT r, COLORREF color) {
    HBRUSH b = CreateSolidBrush(color);
    FillRect(dc, &r, b);
    DeleteObject(b);
}

void paint(HWND hwnd, const DemoState& s) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT client;
    GetClientRect(hwnd, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));

    fill(dc, RECT{20, 20, 140, 100}, RGB(0, 0, 160));
    fill(dc, RECT{160, 20, 280, 100}, RGB(0, 160, 0));
    RECT well{300, 20, 460, 100};
    DrawEdge(dc, &well, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    fill(dc, well, RGB(255, 255, 255));

    HPEN pen = CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
    HGDIOBJ old_pen = SelectObject(dc, pen);
    MoveToEx(dc, 20, 112, nullptr);
    LineTo(dc, 460, 112);
    SelectObject(dc, old_pen);
    DeleteObject(pen);

    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    RECT title{20, 120, 460, 140};
    DrawTextA(dc, "Korvane window layer", -1, &title, DT_SINGLELINE | DT_LEFT | DT_VCENTER);
    const char hint[] = "Click anywhere: a red square marks the spot.";
    TextOutA(dc, 20, 146, hint, int(sizeof hint - 1));

    for (POINT p : s.clicks)
        fill(dc, RECT{p.x - kMarker, p.y - kMarker, p.x + kMarker + 1, p.y + kMarker + 1},
             RGB(255, 0, 0));
    EndPaint(hwnd, &ps);
}

void log(const char* format, long a = 0, long b = 0) {
    std::printf(format, a, b);
    std::printf("\n");
    std::fflush(stdout);
}

void log_mouse(const char* name, LPARAM lp) {
    std::printf("%s %d %d\n", name, int(GET_X_LPARAM(lp)), int(GET_Y_LPARAM(lp)));
    std::fflush(stdout);
}

// A caption-less popup, the way menus appear: yellow, framed, placed at
// screen coordinates, gone after one click.
LRESULT CALLBACK popup_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            RECT r;
            GetClientRect(hwnd, &r);
            fill(dc, r, RGB(255, 255, 0));
            HBRUSH black = CreateSolidBrush(RGB(0, 0, 0));
            FrameRect(dc, &r, black);
            DeleteObject(black);
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_LBUTTONDOWN:
            log_mouse("POPUP_LBUTTONDOWN", lp);
            DestroyWindow(hwnd);
            return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

void open_popup(HWND owner, DemoState& s, POINT client_pt) {
    if (IsWindow(s.popup)) DestroyWindow(s.popup);
    POINT pt = client_pt;
    ClientToScreen(owner, &pt);
    s.popup = CreateWindowExA(0, kPopupClassName, "", WS_POPUP | WS_BORDER | WS_VISIBLE, pt.x, pt.y,
                              80, 40, owner, nullptr, nullptr, nullptr);
}

LRESULT CALLBACK demo_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    DemoState* s = state_of(hwnd);
    switch (msg) {
        case WM_CREATE:
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, LONG_PTR(new DemoState));
            return 0;
        case WM_PAINT:
            log("WM_PAINT");
            if (s) paint(hwnd, *s);
            return 0;
        case WM_SIZE:
            log("WM_SIZE %ld %ld", LOWORD(lp), HIWORD(lp));
            break;
        case WM_MOVE:
            log("WM_MOVE %ld %ld", GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
            break;
        case WM_LBUTTONDOWN: {
            log_mouse("WM_LBUTTONDOWN", lp);
            POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
            if (s) s->clicks.push_back(p);
            RECT r{p.x - kMarker, p.y - kMarker, p.x + kMarker + 1, p.y + kMarker + 1};
            InvalidateRect(hwnd, &r, FALSE);
            return 0;
        }
        case WM_LBUTTONUP:
            log_mouse("WM_LBUTTONUP", lp);
            return 0;
        case WM_RBUTTONDOWN:
            log_mouse("WM_RBUTTONDOWN", lp);
            return 0;
        case WM_RBUTTONUP:
            log_mouse("WM_RBUTTONUP", lp);
            if (s) open_popup(hwnd, *s, POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
            return 0;
        case WM_KEYDOWN:
            log("WM_KEYDOWN 0x%02lX", long(wp));
            return 0;
        case WM_CHAR:
            log("WM_CHAR 0x%02lX", long(wp));
            return 0;
        case WM_DESTROY:
            log("WM_DESTROY");
            delete s;
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

// A 32 x 32 film-frame picture for the window manager.
HICON make_icon() {
    win::gdi::Surface image(32, 32, 0x202020);
    for (int y = 8; y < 24; ++y)
        for (int x = 4; x < 28; ++x) image.row(y)[x] = 0x3070c0;
    for (int x = 4; x < 28; x += 5) {
        image.row(3)[x] = image.row(4)[x] = 0xffffff;
        image.row(27)[x] = image.row(28)[x] = 0xffffff;
    }
    return win::gdi::create_icon(image, {});
}

}  // namespace

HWND create_demo_window(HINSTANCE instance) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = demo_proc;
    wc.hInstance = instance;
    wc.lpszClassName = kClassName;
    if (!RegisterClassA(&wc)) return nullptr;
    wc.lpfnWndProc = popup_proc;
    wc.lpszClassName = kPopupClassName;
    if (!RegisterClassA(&wc)) return nullptr;
    HWND hwnd = CreateWindowExA(0, kClassName, "Korvane", WS_OVERLAPPEDWINDOW, 60, 60, kWidth,
                                kHeight, nullptr, nullptr, instance, nullptr);
    if (hwnd) SendMessageA(hwnd, WM_SETICON, ICON_BIG, LPARAM(make_icon()));
    return hwnd;
}

}  // namespace demo
