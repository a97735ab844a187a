#include "controls_fixture.h"

#include <cstdio>

namespace controls_test {

ParentLog& parent_log() {
    static ParentLog log;
    return log;
}

namespace {

LRESULT CALLBACK parent_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    ParentLog& log = parent_log();
    switch (msg) {
        case WM_COMMAND:
        case WM_HSCROLL:
        case WM_VSCROLL:
            log.events.push_back(Event{msg, wp, lp});
            break;
        case WM_NOTIFY: {
            const auto* nm = reinterpret_cast<const NMHDR*>(lp);
            log.events.push_back(Event{msg, wp, lp, nm->code, nm->idFrom, nm->hwndFrom});
            return 0;
        }
        case WM_DRAWITEM: {
            Event e{msg, wp, lp};
            e.draw = *reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
            log.events.push_back(e);
            return TRUE;
        }
        case WM_CTLCOLORSTATIC:
            ++log.ctlcolor_static;
            if (log.static_brush) return LRESULT(log.static_brush);
            break;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

const char* parent_class() {
    static const char* name = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = parent_proc;
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = "ControlsTestParent";
        RegisterClassA(&wc);
        return "ControlsTestParent";
    }();
    return name;
}

}  // namespace

void ControlsTest::SetUp() {
    win::automation::reset(&clock);
    parent_log() = ParentLog{};
    InitCommonControls();
    parent = CreateWindowExA(0, parent_class(), "Controls", WS_POPUP | WS_VISIBLE, 0, 0, 420, 320,
                             nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(parent, nullptr);
    win::automation::pump();
}

void ControlsTest::TearDown() {
    win::automation::reset(&clock);
    parent_log() = ParentLog{};
}

HWND ControlsTest::make(const char* cls, const char* text, DWORD style, int x, int y, int w, int h,
                        int id, DWORD ex) {
    HWND hwnd = CreateWindowExA(ex, cls, text, style | WS_CHILD | WS_VISIBLE, x, y, w, h, parent,
                                reinterpret_cast<HMENU>(INT_PTR(id)), nullptr, nullptr);
    EXPECT_NE(hwnd, nullptr) << cls;
    return hwnd;
}

std::vector<Event> ControlsTest::of(UINT msg) const {
    std::vector<Event> out;
    for (const Event& e : parent_log().events)
        if (e.msg == msg) out.push_back(e);
    return out;
}

std::vector<std::string> ControlsTest::commands() const {
    std::vector<std::string> out;
    for (const Event& e : of(WM_COMMAND))
        out.push_back(std::to_string(LOWORD(e.wp)) + " " + std::to_string(HIWORD(e.wp)));
    return out;
}

std::vector<std::string> ControlsTest::scrolls() const {
    static const char* names[] = {"LINEUP",     "LINEDOWN", "PAGEUP", "PAGEDOWN", "THUMBPOSITION",
                                  "THUMBTRACK", "TOP",      "BOTTOM", "ENDTRACK"};
    std::vector<std::string> out;
    for (const Event& e : parent_log().events) {
        if (e.msg == WM_NOTIFY && e.code == NM_RELEASEDCAPTURE) out.push_back("RELEASEDCAPTURE");
        if (e.msg != WM_HSCROLL) continue;
        WORD code = LOWORD(e.wp);
        std::string s = code <= TB_ENDTRACK ? names[code] : std::to_string(code);
        if (code == TB_THUMBTRACK || code == TB_THUMBPOSITION)
            s += " " + std::to_string(HIWORD(e.wp));
        out.push_back(s);
    }
    return out;
}

std::uint32_t sys_pixel(int index) {
    COLORREF c = GetSysColor(index);
    return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

}  // namespace controls_test
