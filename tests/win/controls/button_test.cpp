#include "controls_fixture.h"

using namespace controls_test;
namespace ta = win::automation;

namespace {

class ButtonTest : public ControlsTest {
  protected:
    HWND push(DWORD style = BS_PUSHBUTTON, int id = 10, int x = 10) {
        return make("Button", "&OK", style | WS_TABSTOP, x, 10, 75, 23, id);
    }
    static std::string drawn(const Event& e) {
        std::string s = e.draw.itemAction == ODA_DRAWENTIRE ? "ENTIRE"
                        : e.draw.itemAction == ODA_SELECT   ? "SELECT"
                        : e.draw.itemAction == ODA_FOCUS    ? "FOCUS"
                                                            : "?";
        if (e.draw.itemState & ODS_SELECTED) s += " selected";
        if (e.draw.itemState & ODS_FOCUS) s += " focus";
        if (e.draw.itemState & ODS_DISABLED) s += " disabled";
        return s;
    }
    // Owner-draw requests and clicks, in the order the parent saw them.
    std::vector<std::string> owner_sequence() const {
        std::vector<std::string> out;
        for (const Event& e : parent_log().events) {
            if (e.msg == WM_DRAWITEM) out.push_back(drawn(e));
            if (e.msg == WM_COMMAND) out.push_back("CLICKED " + std::to_string(LOWORD(e.wp)));
        }
        return out;
    }
};

TEST_F(ButtonTest, ClickedOnlyWhenReleasedInside) {
    HWND b = push();
    ta::mouse_down(b, 5, 5);
    ta::pump();
    EXPECT_TRUE(commands().empty());
    EXPECT_EQ(GetCapture(), b);
    EXPECT_EQ(GetFocus(), b);
    EXPECT_TRUE(SendMessageA(b, BM_GETSTATE, 0, 0) & BST_PUSHED);
    ta::mouse_move(b, 200, 5);  // dragged off: no longer pressed
    ta::pump();
    EXPECT_FALSE(SendMessageA(b, BM_GETSTATE, 0, 0) & BST_PUSHED);
    ta::mouse_up(b, 200, 5);
    ta::pump();
    EXPECT_TRUE(commands().empty());
    EXPECT_EQ(GetCapture(), nullptr);

    ta::mouse_down(b, 5, 5);
    ta::mouse_move(b, 200, 5);
    ta::mouse_move(b, 6, 6);  // and back on
    ta::mouse_up(b, 6, 6);
    ta::pump();
    EXPECT_EQ(commands(), std::vector<std::string>{"10 0"});
    EXPECT_EQ(HWND(of(WM_COMMAND)[0].lp), b);
}

TEST_F(ButtonTest, SpaceClicksOnRelease) {
    HWND b = push();
    SetFocus(b);
    ta::key(b, VK_SPACE, true, ' ');
    ta::pump();
    EXPECT_TRUE(commands().empty());
    EXPECT_EQ(SendMessageA(b, BM_GETSTATE, 0, 0), BST_PUSHED | BST_FOCUS);
    ta::key(b, VK_SPACE, false);
    ta::pump();
    EXPECT_EQ(commands(), std::vector<std::string>{"10 0"});
    EXPECT_EQ(SendMessageA(b, BM_GETSTATE, 0, 0), BST_FOCUS);
}

TEST_F(ButtonTest, ClickMessageAndDisabledButtons) {
    HWND b = push();
    SendMessageA(b, BM_CLICK, 0, 0);
    EXPECT_EQ(commands(), std::vector<std::string>{"10 0"});
    EnableWindow(b, FALSE);
    SendMessageA(b, BM_CLICK, 0, 0);
    ta::click(b, 5, 5);
    ta::pump();
    EXPECT_EQ(commands().size(), 1u);
    EXPECT_EQ(SendMessageA(b, BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

TEST_F(ButtonTest, AutoRadioButtonsUncheckTheirGroupOnly) {
    HWND a1 = make("Button", "A1", BS_AUTORADIOBUTTON | WS_GROUP, 10, 10, 80, 16, 21);
    HWND a2 = make("Button", "A2", BS_AUTORADIOBUTTON, 10, 30, 80, 16, 22);
    HWND a3 = make("Button", "A3", BS_AUTORADIOBUTTON, 10, 50, 80, 16, 23);
    HWND b1 = make("Button", "B1", BS_AUTORADIOBUTTON | WS_GROUP, 110, 10, 80, 16, 31);
    HWND b2 = make("Button", "B2", BS_AUTORADIOBUTTON, 110, 30, 80, 16, 32);
    SendMessageA(a1, BM_SETCHECK, BST_CHECKED, 0);
    SendMessageA(b1, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_TRUE(GetWindowLongA(a1, GWL_STYLE) & WS_TABSTOP);
    ta::click(a3, 3, 3);
    ta::pump();
    EXPECT_EQ(SendMessageA(a1, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessageA(a2, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessageA(a3, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageA(b1, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_FALSE(GetWindowLongA(a1, GWL_STYLE) & WS_TABSTOP);
    EXPECT_TRUE(GetWindowLongA(a3, GWL_STYLE) & WS_TABSTOP);
    EXPECT_EQ(commands(), std::vector<std::string>{"23 0"});
    // Checking by message leaves the others alone.
    SendMessageA(b2, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(SendMessageA(b1, BM_GETCHECK, 0, 0), BST_CHECKED);
    // Focus moved onto an unchecked one (the dialog's arrow keys) chooses it.
    SetFocus(a2);
    EXPECT_EQ(SendMessageA(a2, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageA(a3, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessageA(a2, WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_RADIOBUTTON);
}

TEST_F(ButtonTest, CheckBoxes) {
    HWND autobox = make("Button", "Auto", BS_AUTOCHECKBOX, 10, 10, 80, 16, 41);
    HWND plain = make("Button", "Plain", BS_CHECKBOX, 10, 30, 80, 16, 42);
    ta::click(autobox, 3, 3);
    ta::click(plain, 3, 3);
    ta::pump();
    EXPECT_EQ(SendMessageA(autobox, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageA(plain, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(commands(), (std::vector<std::string>{"41 0", "42 0"}));
    ta::click(autobox, 3, 3);
    ta::pump();
    EXPECT_EQ(SendMessageA(autobox, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    // A push button has no check.
    HWND p = push();
    SendMessageA(p, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(SendMessageA(p, BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

TEST_F(ButtonTest, OwnerDrawRequestsFollowPressAndFocus) {
    HWND b = make("Button", "St", BS_OWNERDRAW | WS_TABSTOP, 6, 310 - 300, 33, 33, 1000);
    HWND other = push(BS_PUSHBUTTON, 11, 100);
    ta::pump();
    EXPECT_EQ(owner_sequence(), std::vector<std::string>{"ENTIRE"});
    const Event first = of(WM_DRAWITEM)[0];
    EXPECT_EQ(first.wp, 1000u);
    EXPECT_EQ(first.draw.CtlType, UINT(ODT_BUTTON));
    EXPECT_EQ(first.draw.CtlID, 1000u);
    EXPECT_EQ(first.draw.hwndItem, b);
    EXPECT_EQ(first.draw.rcItem.right, 33);
    EXPECT_EQ(first.draw.rcItem.bottom, 33);

    clear();
    ta::mouse_down(b, 4, 4);
    ta::pump();
    ta::mouse_move(b, 80, 4);
    ta::pump();
    ta::mouse_move(b, 4, 4);
    ta::pump();
    ta::mouse_up(b, 4, 4);
    ta::pump();
    EXPECT_EQ(owner_sequence(),
              (std::vector<std::string>{"FOCUS focus", "SELECT selected focus", "SELECT focus",
                                        "SELECT selected focus", "SELECT focus", "CLICKED 1000"}));

    clear();
    ta::key(b, VK_SPACE, true, ' ');
    ta::key(b, VK_SPACE, false);
    ta::pump();
    EXPECT_EQ(owner_sequence(),
              (std::vector<std::string>{"SELECT selected focus", "SELECT focus", "CLICKED 1000"}));

    clear();
    SetFocus(other);
    EXPECT_EQ(owner_sequence(), std::vector<std::string>{"FOCUS"});

    clear();
    EnableWindow(b, FALSE);
    ta::pump();
    ta::click(b, 4, 4);
    ta::pump();
    EXPECT_EQ(owner_sequence(), std::vector<std::string>{"ENTIRE disabled"});
    EXPECT_EQ(SendMessageA(b, WM_GETDLGCODE, 0, 0), DLGC_BUTTON);
}

TEST_F(ButtonTest, DefaultPushButtonHasADarkFrame) {
    HWND normal = push(BS_PUSHBUTTON, 10, 10);
    HWND def = push(BS_DEFPUSHBUTTON, 11, 100);
    ta::pump();
    EXPECT_EQ(px(normal, 0, 0), sys_pixel(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(px(normal, 74, 22), sys_pixel(COLOR_3DDKSHADOW));
    EXPECT_EQ(px(def, 0, 0), sys_pixel(COLOR_WINDOWFRAME));
    EXPECT_EQ(px(def, 1, 1), sys_pixel(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(SendMessageA(def, WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_DEFPUSHBUTTON);
    EXPECT_EQ(SendMessageA(normal, WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON);
    SendMessageA(def, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    SendMessageA(normal, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    ta::pump();
    EXPECT_EQ(px(def, 0, 0), sys_pixel(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(px(normal, 0, 0), sys_pixel(COLOR_WINDOWFRAME));
    // Pressed: the text moves down and right under a shadow frame.
    ta::mouse_down(def, 5, 5);
    ta::pump();
    EXPECT_EQ(px(def, 1, 1), sys_pixel(COLOR_BTNSHADOW));
    ta::mouse_up(def, 5, 5);
    ta::pump();
}

TEST_F(ButtonTest, GroupBoxLetsClicksThroughToItsControls) {
    HWND group = make("Button", "Frame", BS_GROUPBOX, 5, 5, 200, 100, 50);
    HWND inside = make("Button", "In", BS_AUTOCHECKBOX, 20, 30, 80, 16, 51);
    ta::click(inside, 3, 3);
    ta::pump();
    EXPECT_EQ(SendMessageA(inside, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageA(group, WM_GETDLGCODE, 0, 0), DLGC_STATIC);
    // The etched frame: shadow line over a highlight line.
    int y = 0;
    while (y < 20 && px(group, 0, y) != sys_pixel(COLOR_BTNSHADOW)) ++y;
    ASSERT_LT(y, 20);
    EXPECT_EQ(px(group, 1, y + 1), sys_pixel(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(px(group, 100, 50), sys_pixel(COLOR_BTNFACE));  // inside left to the parent
}

}  // namespace
