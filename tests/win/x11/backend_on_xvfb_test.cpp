// The X11 display in this process against a private Xvfb: what window
// managers read (class, names, icon, type, owner, size limits) and how
// activation reaches a window disabled by its dialog.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "win/core/automation.h"
#include "win/core/window.h"
#include "win/gdi/icon.h"
#include "win/x11/x11.h"
#include "winuser.h"
#include "winuser_controls.h"
#include "xvfb_server.h"

using namespace x11_test;

namespace {

constexpr char kClass[] = "X11BackendTestWindow";

struct Click {
    HWND hwnd;
    int x, y;
};
std::vector<Click>& clicks() {
    static std::vector<Click> log;
    return log;
}

LRESULT CALLBACK plain_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_LBUTTONDOWN) clicks().push_back({hwnd, GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
    return DefWindowProcA(hwnd, msg, wp, lp);
}

class BackendOnXvfb : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { server_ = std::make_unique<XvfbServer>(640, 480); }
    static void TearDownTestSuite() { server_.reset(); }

    void SetUp() override {
        ASSERT_TRUE(server_ && server_->ready()) << "Xvfb did not start";
        win::automation::reset(&clock_);
        win::x11::InstallResult r = win::x11::install(server_->display().c_str());
        ASSERT_TRUE(r.ok()) << r.error;
        WNDCLASSA wc{};
        wc.lpfnWndProc = plain_proc;
        wc.lpszClassName = kClass;
        RegisterClassA(&wc);
    }
    void TearDown() override {
        win::automation::reset(&clock_);
        win::install_backend(std::make_unique<win::NullBackend>());  // closes the connection
    }

    HWND make(const char* title, DWORD style, HWND owner = nullptr, int x = 20, int y = 30) {
        HWND h = CreateWindowExA(0, kClass, title, style, x, y, 200, 100, owner, nullptr, nullptr,
                                 nullptr);
        pump_until([] { return false; }, milliseconds(50));
        return h;
    }

    // Pumps (the display delivers what the server sent) until done() or the limit.
    template <typename Done>
    bool pump_until(Done done, milliseconds limit) {
        auto deadline = std::chrono::steady_clock::now() + limit;
        for (;;) {
            win::automation::pump();
            if (done()) return true;
            if (std::chrono::steady_clock::now() > deadline) return false;
            std::this_thread::sleep_for(milliseconds(10));
        }
    }

    std::string x_id(const std::string& title) {
        auto out = run({"xdotool", "search", "--name", "^" + title + "$"}, {server_->env()});
        return out && !out->empty() ? out->substr(0, out->find('\n')) : std::string();
    }
    std::string tool(const std::string& name, const std::string& id) {
        return run({name, "-id", id}, {server_->env()}).value_or("");
    }

    static inline std::unique_ptr<XvfbServer> server_;
    win::MonotonicClock clock_;
};

bool has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST_F(BackendOnXvfb, MainWindowsCarryClassNamesAndIcon) {
    HWND w = make("Main Window", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    win::gdi::Surface image(16, 16, 0x336699);
    HICON icon = win::gdi::create_icon(image, {});
    SendMessageA(w, WM_SETICON, ICON_SMALL, LPARAM(icon));
    SetWindowTextA(w, "Renamed Window");
    pump_until([] { return false; }, milliseconds(50));

    std::string id = x_id("Renamed Window");
    ASSERT_FALSE(id.empty()) << "the new title did not reach the server";
    std::string props = tool("xprop", id);
    EXPECT_TRUE(has(props, "WM_CLASS(STRING) = \"korvane\", \"korvane\"")) << props;
    EXPECT_TRUE(has(props, "_NET_WM_NAME(UTF8_STRING) = \"Renamed Window\"")) << props;
    EXPECT_TRUE(has(props, "Icon (16 x 16)")) << props;
    EXPECT_TRUE(has(props, "_NET_WM_WINDOW_TYPE_NORMAL")) << props;
    EXPECT_TRUE(has(props, "WM_DELETE_WINDOW")) << props;
    // A window with a sizing border may be resized.
    EXPECT_FALSE(has(props, "program specified maximum size")) << props;
    EXPECT_TRUE(has(tool("xwininfo", id), "Override Redirect State: no"));
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 640);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 480);
    DestroyWindow(w);
    win::gdi::destroy_icon(icon);
}

TEST_F(BackendOnXvfb, DialogsAreOwnedAndFixedInSize) {
    HWND owner = make("Owner Window", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    make("Some Dialog", WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_VISIBLE, owner, 60,
         70);
    std::string owner_id = x_id("Owner Window"), id = x_id("Some Dialog");
    ASSERT_FALSE(id.empty());
    ASSERT_FALSE(owner_id.empty());
    std::string props = tool("xprop", id);
    EXPECT_TRUE(has(props, "_NET_WM_WINDOW_TYPE_DIALOG")) << props;
    char owner_hex[32];
    std::snprintf(owner_hex, sizeof owner_hex, "0x%lx", std::stoul(owner_id));
    EXPECT_TRUE(has(props, std::string("WM_TRANSIENT_FOR(WINDOW): window id # ") + owner_hex))
        << props;
    EXPECT_TRUE(has(props, "program specified minimum size: 200 by 100")) << props;
    EXPECT_TRUE(has(props, "program specified maximum size: 200 by 100")) << props;
    EXPECT_TRUE(has(tool("xwininfo", id), "Absolute upper-left X:  60"));
}

TEST_F(BackendOnXvfb, CaptionlessPopupsBypassTheWindowManager) {
    HWND owner = make("Popup Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    make("Popup List", WS_POPUP | WS_BORDER | WS_VISIBLE, owner, 100, 110);
    std::string id = x_id("Popup List");
    ASSERT_FALSE(id.empty());
    std::string info = tool("xwininfo", id);
    EXPECT_TRUE(has(info, "Override Redirect State: yes")) << info;
    EXPECT_TRUE(has(info, "Absolute upper-left Y:  110")) << info;
    EXPECT_TRUE(has(tool("xprop", id), "_NET_WM_WINDOW_TYPE_POPUP_MENU"));
}

TEST_F(BackendOnXvfb, FocusOnAnOwnerDisabledByItsDialogActivatesTheDialog) {
    HWND owner = make("Focus Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    HWND other = make("Focus Other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, 300, 300);
    HWND dialog =
        make("Focus Dialog", WS_POPUP | WS_CAPTION | DS_MODALFRAME | WS_VISIBLE, owner, 60, 70);
    std::string owner_id = x_id("Focus Owner"), other_id = x_id("Focus Other");
    ASSERT_FALSE(owner_id.empty());

    // An enabled window becomes the active one when the server focuses it.
    ASSERT_TRUE(run({"xdotool", "windowfocus", "--sync", other_id}, {server_->env()}));
    EXPECT_TRUE(pump_until([&] { return GetActiveWindow() == other; }, milliseconds(5000)));

    EnableWindow(owner, FALSE);
    ASSERT_TRUE(run({"xdotool", "windowfocus", "--sync", owner_id}, {server_->env()}));
    EXPECT_TRUE(pump_until([&] { return GetActiveWindow() == dialog; }, milliseconds(5000)));
    EXPECT_NE(GetActiveWindow(), owner);
    auto focused = run({"xdotool", "getwindowfocus"}, {server_->env()});
    ASSERT_TRUE(focused);
    EXPECT_EQ(focused->substr(0, focused->find('\n')), x_id("Focus Dialog"));
}

TEST_F(BackendOnXvfb, ClicksGoToTheCaptureInItsOwnCoordinates) {
    HWND main = make("Capture Main", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    // Not on screen, so the server cannot grab the pointer for it: the
    // backend still hands the click to it, in its own coordinates.
    HWND popup = make("Capture Popup", WS_POPUP, main, 300, 200);
    clicks().clear();
    SetCapture(popup);
    ASSERT_TRUE(run({"xdotool", "mousemove", "50", "60", "click", "1"}, {server_->env()}));
    ASSERT_TRUE(pump_until([] { return !clicks().empty(); }, milliseconds(5000)));
    EXPECT_EQ(clicks()[0].hwnd, popup);
    EXPECT_EQ(clicks()[0].x, 50 - 300);
    EXPECT_EQ(clicks()[0].y, 60 - 200);

    ReleaseCapture();
    clicks().clear();
    ASSERT_TRUE(run({"xdotool", "mousemove", "70", "80", "click", "1"}, {server_->env()}));
    ASSERT_TRUE(pump_until([] { return !clicks().empty(); }, milliseconds(5000)));
    EXPECT_EQ(clicks()[0].hwnd, main);
    EXPECT_EQ(clicks()[0].x, 70 - 20);
    EXPECT_EQ(clicks()[0].y, 80 - 30);
}

TEST_F(BackendOnXvfb, AWindowManagerIconifyingOrRestoringIsAMinimiseOrRestore) {
    HWND w = make("Iconic Window", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    std::string id = x_id("Iconic Window");
    ASSERT_FALSE(id.empty());
    // What a window manager does: mark the window iconic, then unmap it.
    ASSERT_TRUE(run({"xprop", "-id", id, "-f", "WM_STATE", "32c", "-set", "WM_STATE", "3"},
                    {server_->env()}));
    ASSERT_TRUE(run({"xdotool", "windowunmap", "--sync", id}, {server_->env()}));
    EXPECT_TRUE(pump_until([&] { return IsIconic(w) != FALSE; }, milliseconds(5000)));
    EXPECT_TRUE(IsWindowVisible(w));

    ASSERT_TRUE(run({"xprop", "-id", id, "-f", "WM_STATE", "32c", "-set", "WM_STATE", "1"},
                    {server_->env()}));
    ASSERT_TRUE(run({"xdotool", "windowmap", "--sync", id}, {server_->env()}));
    EXPECT_TRUE(pump_until([&] { return IsIconic(w) == FALSE; }, milliseconds(5000)));

    // The program hiding its window is no minimise, whatever the state says.
    ASSERT_TRUE(run({"xprop", "-id", id, "-f", "WM_STATE", "32c", "-set", "WM_STATE", "3"},
                    {server_->env()}));
    ShowWindow(w, SW_HIDE);
    pump_until([] { return false; }, milliseconds(200));
    EXPECT_FALSE(IsIconic(w));
}

}  // namespace
