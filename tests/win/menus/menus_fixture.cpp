#include "menus_fixture.h"

#include <memory>
#include <string>

#include "win/core/window.h"
#include "win/menus/menus.h"

namespace menus_test {

Recorder& recorder() {
    static Recorder r;
    return r;
}

int Recorder::count(UINT msg) const {
    int n = 0;
    for (const auto& r : log) n += r.msg == msg;
    return n;
}

std::vector<UINT> Recorder::commands(UINT msg) const {
    std::vector<UINT> out;
    for (const auto& r : log)
        if (r.msg == msg) out.push_back(msg == WM_COMMAND ? LOWORD(r.wp) : UINT(r.wp));
    return out;
}

std::vector<UINT> Recorder::messages(std::initializer_list<UINT> filter) const {
    std::vector<UINT> out;
    for (const auto& r : log)
        for (UINT f : filter)
            if (r.msg == f) out.push_back(r.msg);
    return out;
}

namespace {

LRESULT CALLBACK owner_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Recorder& rec = recorder();
    rec.log.push_back({hwnd, msg, wp, lp});
    if (msg == WM_MEASUREITEM) {
        auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
        rec.draws.push_back({msg, mis->itemID, 0, 0, nullptr, mis->itemData, {}});
    } else if (msg == WM_DRAWITEM) {
        auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
        rec.draws.push_back({msg, dis->itemID, dis->itemAction, dis->itemState, dis->hwndItem,
                             dis->itemData, dis->rcItem});
    }
    LRESULT result = 0;
    if (rec.handler && rec.handler(hwnd, msg, wp, lp, result)) return result;
    return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace

const char* owner_class() {
    static const char* name = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = owner_proc;
        wc.lpszClassName = "MenuTestOwner";
        wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
        RegisterClassA(&wc);
        return "MenuTestOwner";
    }();
    return name;
}

void MenuTest::SetUp() {
    win::automation::reset(&clock);
    recorder() = Recorder{};
    win::menus::install();
}

void MenuTest::TearDown() {
    // Handlers may refer to the test's locals, which are gone by now.
    recorder().handler = nullptr;
    win::automation::reset(&clock);
    recorder() = Recorder{};
}

HWND MenuTest::owner(HMENU bar, int w, int h) {
    HWND hwnd = CreateWindowExA(0, owner_class(), "owner",
                                WS_OVERLAPPED | WS_SYSMENU | WS_MINIMIZEBOX | WS_VISIBLE, 40, 30, w,
                                h, nullptr, bar, nullptr, nullptr);
    win::automation::pump();
    return hwnd;
}

std::vector<HWND> MenuTest::open_popups() {
    std::vector<HWND> out;
    for (HWND h : win::system_state().top_levels) {
        char name[32] = {};
        GetClassNameA(h, name, sizeof name);
        if (std::string(name) == "#32768" && IsWindowVisible(h)) out.push_back(h);
    }
    return out;
}

void MenuTest::when_menu_opens(std::function<void(HWND)> during) {
    auto once = std::make_shared<bool>(false);
    win::automation::set_modal_hook([once, during](HWND modal) {
        if (*once) return;
        *once = true;
        during(modal);
    });
}

HMENU make_bar() {
    HMENU file = CreatePopupMenu();
    AppendMenuA(file, MF_STRING, 101, "&Open");
    AppendMenuA(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(file, MF_STRING, 102, "E&xit");
    HMENU edit = CreatePopupMenu();
    AppendMenuA(edit, MF_STRING, 201, "Cu&t\tCtrl+X");
    AppendMenuA(edit, MF_STRING, 202, "&Copy");
    HMENU bar = CreateMenu();
    AppendMenuA(bar, MF_POPUP, UINT_PTR(file), "&File");
    AppendMenuA(bar, MF_POPUP, UINT_PTR(edit), "&Edit");
    return bar;
}

}  // namespace menus_test
