// The dialog keyboard through IsDialogMessageA: Tab order, arrows inside a
// radio group, Enter for the default button, Escape for IDCANCEL, "&"
// letters, and controls that claim keys with WM_GETDLGCODE.
#include "dialog_fixture.h"

using namespace dialog_test;
using win::automation::key;
using win::automation::press;

namespace {

// A control that wants Tab and every key, and logs the keys it gets.
std::vector<WPARAM>& greedy_keys() {
    static std::vector<WPARAM> keys;
    return keys;
}

LRESULT CALLBACK greedy_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_GETDLGCODE)
        return DLGC_WANTALLKEYS | DLGC_WANTTAB | DLGC_WANTARROWS | DLGC_WANTCHARS;
    if (msg == WM_KEYDOWN) greedy_keys().push_back(wp);
    return DefWindowProcA(hwnd, msg, wp, lp);
}

const char* greedy_class() {
    WNDCLASSA wc{};
    if (!GetClassInfoA(nullptr, "GreedyKeys", &wc)) {
        wc.lpfnWndProc = greedy_proc;
        wc.lpszClassName = "GreedyKeys";
        RegisterClassA(&wc);
    }
    return "GreedyKeys";
}

win::res::DialogTemplate keyboard_template() {
    return dialog_template(
        "Keys", 200, 120,
        {control("STATIC", "&Name:", -1, 0, 4, 4, 40, 8),
         control("BUTTON", "First", 11, WS_TABSTOP, 50, 4, 50, 14),
         control("BUTTON", "Off", 12, WS_TABSTOP | WS_DISABLED, 50, 20, 50, 14),
         control("BUTTON", "No stop", 13, 0, 50, 36, 50, 14),
         control("BUTTON", "&Apply", 14, WS_TABSTOP, 50, 52, 50, 14),
         control("BUTTON", "Red", 21, BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 110, 4, 50, 10),
         control("BUTTON", "Green", 22, BS_AUTORADIOBUTTON, 110, 16, 50, 10),
         control("BUTTON", "Blue", 23, BS_AUTORADIOBUTTON, 110, 28, 50, 10),
         control("BUTTON", "OK", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, 40, 100, 50, 14),
         control("BUTTON", "Cancel", IDCANCEL, WS_TABSTOP, 100, 100, 50, 14)});
}

class KeyboardTest : public DialogTest {
  protected:
    void SetUp() override {
        DialogTest::SetUp();
        greedy_keys().clear();
        dlg = win::dialogs::create_dialog(keyboard_template(), nullptr, nullptr,
                                          logging_dialog_proc, 0);
        ASSERT_TRUE(dlg);
        ShowWindow(dlg, SW_SHOW);
        pump_dialog(dlg);
    }
    void tap(UINT vk, char ch = 0) {
        press(dlg, vk, ch);
        pump_dialog(dlg);
    }
    int focus_id() { return GetDlgCtrlID(GetFocus()); }

    HWND dlg = nullptr;
};

}  // namespace

TEST_F(KeyboardTest, TabVisitsEnabledTabStopsInTemplateOrderAndWraps) {
    EXPECT_EQ(focus_id(), 11);
    std::vector<int> order;
    for (int i = 0; i < 6; ++i) {
        tap(VK_TAB);
        order.push_back(focus_id());
    }
    // 12 is disabled, 13 has no tab stop; only the group's first radio is a stop.
    EXPECT_EQ(order, (std::vector<int>{14, 21, IDOK, IDCANCEL, 11, 14}));
    key(dlg, VK_SHIFT, true);
    tap(VK_TAB);
    EXPECT_EQ(focus_id(), 11);
    tap(VK_TAB);
    EXPECT_EQ(focus_id(), IDCANCEL);
    key(dlg, VK_SHIFT, false);
    // The only command is the radio button choosing itself as it took the focus.
    EXPECT_EQ(dialog_log().commands, std::vector<int>{21});
}

TEST_F(KeyboardTest, ArrowsMoveAndCheckInsideTheRadioGroupOnly) {
    SendMessageA(dlg, WM_NEXTDLGCTL, WPARAM(GetDlgItem(dlg, 21)), TRUE);
    EXPECT_EQ(focus_id(), 21);
    tap(VK_DOWN);
    EXPECT_EQ(focus_id(), 22);
    EXPECT_EQ(IsDlgButtonChecked(dlg, 22), 1u);
    EXPECT_EQ(IsDlgButtonChecked(dlg, 21), 0u);
    tap(VK_DOWN);
    tap(VK_DOWN);  // wraps to the group's first button, not to OK
    EXPECT_EQ(focus_id(), 21);
    EXPECT_EQ(IsDlgButtonChecked(dlg, 21), 1u);
    tap(VK_UP);
    EXPECT_EQ(focus_id(), 23);
    EXPECT_EQ(IsDlgButtonChecked(dlg, 23), 1u);
}

TEST_F(KeyboardTest, EnterPressesDefaultButtonOrFocusedPushButton) {
    SendMessageA(dlg, WM_NEXTDLGCTL, WPARAM(GetDlgItem(dlg, 21)), TRUE);
    dialog_log().commands.clear();
    tap(VK_RETURN);
    ASSERT_EQ(dialog_log().commands.size(), 1u);
    EXPECT_EQ(dialog_log().commands[0], IDOK);

    // A focused push button takes the default look and Enter presses it.
    SendMessageA(dlg, WM_NEXTDLGCTL, WPARAM(GetDlgItem(dlg, 14)), TRUE);
    EXPECT_EQ(GetWindowLongA(GetDlgItem(dlg, 14), GWL_STYLE) & 0xF, BS_DEFPUSHBUTTON);
    EXPECT_EQ(GetWindowLongA(GetDlgItem(dlg, IDOK), GWL_STYLE) & 0xF, BS_PUSHBUTTON);
    tap(VK_RETURN);
    EXPECT_EQ(dialog_log().commands.back(), 14);

    // DM_SETDEFID moves the default away from OK.
    SendMessageA(dlg, DM_SETDEFID, 11, 0);
    SendMessageA(dlg, WM_NEXTDLGCTL, WPARAM(GetDlgItem(dlg, 22)), TRUE);
    EXPECT_EQ(GetWindowLongA(GetDlgItem(dlg, 11), GWL_STYLE) & 0xF, BS_DEFPUSHBUTTON);
    tap(VK_RETURN);
    EXPECT_EQ(dialog_log().commands.back(), 11);
}

TEST_F(KeyboardTest, EscapeSendsCancelUnlessTheCancelButtonIsDisabled) {
    tap(VK_ESCAPE);
    EXPECT_EQ(dialog_log().commands, std::vector<int>{IDCANCEL});
    EnableWindow(GetDlgItem(dlg, IDCANCEL), FALSE);
    tap(VK_ESCAPE);
    EXPECT_EQ(dialog_log().commands.size(), 1u);
}

TEST_F(KeyboardTest, LettersPressButtonsAndLabelsFocusTheirNeighbour) {
    key(dlg, VK_MENU, true);
    tap('A', 'a');
    key(dlg, VK_MENU, false);
    EXPECT_EQ(dialog_log().commands, std::vector<int>{14});
    // A plain letter works too when the focus does not want characters; the
    // label "&Name:" hands the focus to the control after it.
    tap('N', 'n');
    EXPECT_EQ(focus_id(), 11);
    EXPECT_EQ(dialog_log().commands, std::vector<int>{14});
}

TEST_F(KeyboardTest, ControlThatWantsAllKeysGetsThem) {
    HWND greedy =
        CreateWindowExA(0, greedy_class(), "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 0, 20, 20,
                        dlg, reinterpret_cast<HMENU>(INT_PTR(99)), nullptr, nullptr);
    SendMessageA(dlg, WM_NEXTDLGCTL, WPARAM(greedy), TRUE);
    tap(VK_TAB);
    tap(VK_RETURN);
    tap(VK_ESCAPE);
    tap(VK_DOWN);
    EXPECT_EQ(GetFocus(), greedy);
    EXPECT_EQ(greedy_keys(), (std::vector<WPARAM>{VK_TAB, VK_RETURN, VK_ESCAPE, VK_DOWN}));
    EXPECT_TRUE(dialog_log().commands.empty());
}

TEST_F(KeyboardTest, MessagesForOtherWindowsAreNotTheDialogs) {
    HWND other = make_owner();
    MSG m{other, WM_KEYDOWN, VK_RETURN, 0, 0, {}};
    EXPECT_FALSE(IsDialogMessageA(dlg, &m));
    EXPECT_FALSE(IsDialogMessageA(nullptr, &m));
    EXPECT_TRUE(dialog_log().commands.empty());
}

TEST_F(KeyboardTest, FocusComesBackAfterTheDialogIsReactivated) {
    SendMessageA(dlg, WM_NEXTDLGCTL, WPARAM(GetDlgItem(dlg, IDCANCEL)), TRUE);
    HWND other = make_owner();
    SetFocus(other);
    EXPECT_NE(GetFocus(), GetDlgItem(dlg, IDCANCEL));
    SetActiveWindow(dlg);
    EXPECT_EQ(GetFocus(), GetDlgItem(dlg, IDCANCEL));
}
