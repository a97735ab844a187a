#include "menus_fixture.h"
#include "win/resources/registry.h"

using namespace menus_test;

namespace {

class MenuObjects : public MenuTest {};

TEST_F(MenuObjects, StateCountsAndIdsFollowTheItems) {
    HMENU popup = CreatePopupMenu();
    ASSERT_TRUE(AppendMenuA(popup, MF_STRING | MF_CHECKED, 10, "&One"));
    ASSERT_TRUE(AppendMenuA(popup, MF_SEPARATOR, 0, nullptr));
    ASSERT_TRUE(AppendMenuA(popup, MF_STRING | MF_GRAYED, 11, "Two"));
    ASSERT_TRUE(
        AppendMenuA(popup, MF_OWNERDRAW | MF_DISABLED, 12, reinterpret_cast<LPCSTR>(0x1234)));
    HMENU bar = CreateMenu();
    ASSERT_TRUE(AppendMenuA(bar, MF_POPUP, UINT_PTR(popup), "&File"));
    ASSERT_TRUE(AppendMenuA(bar, MF_STRING, 20, "&Help"));

    EXPECT_EQ(GetMenuItemCount(popup), 4);
    EXPECT_EQ(GetMenuItemCount(bar), 2);
    EXPECT_EQ(GetMenuState(popup, 10, MF_BYCOMMAND), UINT(MF_CHECKED));
    EXPECT_EQ(GetMenuState(popup, 1, MF_BYPOSITION), UINT(MF_SEPARATOR));
    EXPECT_EQ(GetMenuState(popup, 11, MF_BYCOMMAND), UINT(MF_GRAYED));
    EXPECT_EQ(GetMenuState(popup, 12, MF_BYCOMMAND), UINT(MF_OWNERDRAW | MF_DISABLED));
    // A popup item: its flags in the low byte, its item count in the next.
    EXPECT_EQ(GetMenuState(bar, 0, MF_BYPOSITION), UINT((4 << 8) | MF_POPUP));
    // By command, the search goes down into popups.
    EXPECT_EQ(GetMenuState(bar, 11, MF_BYCOMMAND), UINT(MF_GRAYED));
    EXPECT_EQ(GetMenuState(bar, 99, MF_BYCOMMAND), UINT(-1));
    EXPECT_EQ(GetMenuState(bar, 2, MF_BYPOSITION), UINT(-1));

    EXPECT_EQ(GetMenuItemID(bar, 0), UINT(-1));
    EXPECT_EQ(GetMenuItemID(bar, 1), 20u);
    EXPECT_EQ(GetMenuItemID(bar, 5), UINT(-1));
    EXPECT_EQ(GetSubMenu(bar, 0), popup);
    EXPECT_EQ(GetSubMenu(bar, 1), nullptr);

    char text[32];
    EXPECT_EQ(GetMenuStringA(bar, 0, text, sizeof text, MF_BYPOSITION), 5);
    EXPECT_STREQ(text, "&File");
    EXPECT_EQ(GetMenuStringA(popup, 10, text, 3, MF_BYCOMMAND), 2);
    EXPECT_STREQ(text, "&O");
    EXPECT_EQ(GetMenuStringA(popup, 12, text, sizeof text, MF_BYCOMMAND), 0);
    EXPECT_STREQ(text, "");
}

TEST_F(MenuObjects, InsertByPositionAndByCommandRemoveAndDelete) {
    HMENU m = CreatePopupMenu();
    AppendMenuA(m, MF_STRING, 1, "a");
    AppendMenuA(m, MF_STRING, 3, "c");
    ASSERT_TRUE(InsertMenuA(m, 1, MF_BYPOSITION | MF_STRING, 2, "b"));
    ASSERT_TRUE(InsertMenuA(m, 0, MF_BYPOSITION | MF_STRING, 0x30, "first"));
    ASSERT_TRUE(InsertMenuA(m, 99, MF_BYPOSITION | MF_STRING, 4, "past the end appends"));
    ASSERT_TRUE(InsertMenuA(m, 3, MF_BYCOMMAND | MF_STRING, 0x31, "before c"));
    EXPECT_FALSE(InsertMenuA(m, 77, MF_BYCOMMAND | MF_STRING, 5, "no such command"));
    std::vector<UINT> ids;
    for (int i = 0; i < GetMenuItemCount(m); ++i) ids.push_back(GetMenuItemID(m, i));
    EXPECT_EQ(ids, (std::vector<UINT>{0x30, 1, 2, 0x31, 3, 4}));

    // Removing a popup item leaves the popup alive; deleting destroys it.
    HMENU sub1 = CreatePopupMenu();
    HMENU sub2 = CreatePopupMenu();
    InsertMenuA(m, 0, MF_BYPOSITION | MF_POPUP, UINT_PTR(sub1), "one");
    InsertMenuA(m, 0, MF_BYPOSITION | MF_POPUP, UINT_PTR(sub2), "two");
    ASSERT_TRUE(RemoveMenu(m, 1, MF_BYPOSITION));
    EXPECT_TRUE(IsMenu(sub1));
    ASSERT_TRUE(DeleteMenu(m, 0, MF_BYPOSITION));
    EXPECT_FALSE(IsMenu(sub2));
    EXPECT_TRUE(RemoveMenu(m, 0x31, MF_BYCOMMAND));
    EXPECT_FALSE(RemoveMenu(m, 0x31, MF_BYCOMMAND));
    EXPECT_EQ(GetMenuItemCount(m), 5);
}

TEST_F(MenuObjects, CheckAndEnableReturnThePreviousStateAndModifyReplaces) {
    HMENU m = CreatePopupMenu();
    AppendMenuA(m, MF_STRING, 7, "seven");
    EXPECT_EQ(CheckMenuItem(m, 7, MF_CHECKED), DWORD(MF_UNCHECKED));
    EXPECT_EQ(CheckMenuItem(m, 7, MF_UNCHECKED), DWORD(MF_CHECKED));
    EXPECT_EQ(CheckMenuItem(m, 0, MF_BYPOSITION | MF_CHECKED), DWORD(MF_UNCHECKED));
    EXPECT_EQ(CheckMenuItem(m, 8, MF_CHECKED), DWORD(-1));
    EXPECT_EQ(EnableMenuItem(m, 7, MF_GRAYED), MF_ENABLED);
    EXPECT_EQ(EnableMenuItem(m, 7, MF_ENABLED), MF_GRAYED);
    EXPECT_EQ(EnableMenuItem(m, 8, MF_GRAYED), -1);
    EXPECT_EQ(GetMenuState(m, 7, MF_BYCOMMAND), UINT(MF_CHECKED));

    HMENU old_popup = CreatePopupMenu();
    AppendMenuA(m, MF_POPUP, UINT_PTR(old_popup), "sub");
    ASSERT_TRUE(ModifyMenuA(m, 1, MF_BYPOSITION | MF_STRING, 9, "nine"));
    EXPECT_FALSE(IsMenu(old_popup)) << "a replaced popup goes with its item";
    EXPECT_EQ(GetMenuItemID(m, 1), 9u);
    char text[16];
    GetMenuStringA(m, 9, text, sizeof text, MF_BYCOMMAND);
    EXPECT_STREQ(text, "nine");
}

TEST_F(MenuObjects, StaleAndBogusHandlesFailCleanly) {
    HMENU sub = CreatePopupMenu();
    AppendMenuA(sub, MF_STRING, 1, "x");
    HMENU bar = CreateMenu();
    AppendMenuA(bar, MF_POPUP, UINT_PTR(sub), "&Sub");
    ASSERT_TRUE(DestroyMenu(bar));
    for (HMENU gone : {bar, sub, reinterpret_cast<HMENU>(0x1234), HMENU(nullptr)}) {
        EXPECT_FALSE(IsMenu(gone));
        EXPECT_FALSE(DestroyMenu(gone));
        EXPECT_FALSE(AppendMenuA(gone, MF_STRING, 1, "x"));
        EXPECT_FALSE(InsertMenuA(gone, 0, MF_BYPOSITION, 1, "x"));
        EXPECT_FALSE(ModifyMenuA(gone, 0, MF_BYPOSITION, 1, "x"));
        EXPECT_FALSE(RemoveMenu(gone, 0, MF_BYPOSITION));
        EXPECT_FALSE(DeleteMenu(gone, 0, MF_BYPOSITION));
        EXPECT_EQ(GetMenuItemCount(gone), -1);
        EXPECT_EQ(GetMenuState(gone, 0, MF_BYPOSITION), UINT(-1));
        EXPECT_EQ(GetMenuItemID(gone, 0), UINT(-1));
        EXPECT_EQ(GetSubMenu(gone, 0), nullptr);
        EXPECT_EQ(CheckMenuItem(gone, 1, MF_CHECKED), DWORD(-1));
        char text[8] = "junk";
        EXPECT_EQ(GetMenuStringA(gone, 0, text, sizeof text, MF_BYPOSITION), 0);
        EXPECT_STREQ(text, "");
        EXPECT_FALSE(TrackPopupMenu(gone, 0, 0, 0, 0, nullptr, nullptr));
    }
    // A popup item needs a live popup, and a menu cannot contain itself.
    HMENU m = CreatePopupMenu();
    EXPECT_FALSE(AppendMenuA(m, MF_POPUP, UINT_PTR(sub), "stale"));
    EXPECT_FALSE(AppendMenuA(m, MF_POPUP, UINT_PTR(m), "itself"));
    HMENU inner = CreatePopupMenu();
    ASSERT_TRUE(AppendMenuA(m, MF_POPUP, UINT_PTR(inner), "inner"));
    EXPECT_FALSE(AppendMenuA(inner, MF_POPUP, UINT_PTR(m), "loop"));
    EXPECT_EQ(GetMenuItemCount(m), 1);
    // A handle's slot that is reused does not bring the old handle back.
    HMENU reused = CreateMenu();
    EXPECT_TRUE(IsMenu(reused));
    EXPECT_FALSE(IsMenu(bar));
}

TEST_F(MenuObjects, AWindowTakesItsMenuBarAndSystemMenuAlong) {
    HMENU bar = make_bar();
    HMENU file = GetSubMenu(bar, 0);
    HWND w = owner(bar);
    ASSERT_EQ(GetMenu(w), bar);
    HMENU sys = GetSystemMenu(w, FALSE);
    ASSERT_TRUE(IsMenu(sys));
    EXPECT_EQ(GetSystemMenu(w, FALSE), sys) << "one system menu per window";
    HWND other = owner();
    EXPECT_NE(GetSystemMenu(other, FALSE), sys);
    DestroyWindow(w);
    EXPECT_FALSE(IsMenu(bar));
    EXPECT_FALSE(IsMenu(file));
    EXPECT_FALSE(IsMenu(sys));
    EXPECT_EQ(GetSystemMenu(w, FALSE), nullptr);
    // A bar the window let go of stays with the program.
    HMENU kept = make_bar();
    SetMenu(other, kept);
    SetMenu(other, nullptr);
    DestroyWindow(other);
    EXPECT_TRUE(IsMenu(kept));
}

TEST_F(MenuObjects, TheSystemMenuHasTheStandardCommandsAndCanBeReverted) {
    HWND w = owner();
    HMENU sys = GetSystemMenu(w, FALSE);
    std::vector<UINT> ids;
    for (int i = 0; i < GetMenuItemCount(sys); ++i) ids.push_back(GetMenuItemID(sys, i));
    EXPECT_EQ(ids, (std::vector<UINT>{SC_RESTORE, SC_MOVE, SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE, 0,
                                      SC_CLOSE}));
    char text[32];
    GetMenuStringA(sys, SC_CLOSE, text, sizeof text, MF_BYCOMMAND);
    EXPECT_STREQ(text, "&Close\tAlt+F4");
    AppendMenuA(sys, MF_STRING, 16, "&About...");
    EXPECT_EQ(GetMenuItemCount(sys), 8);
    EXPECT_EQ(GetSystemMenu(w, TRUE), nullptr);
    EXPECT_FALSE(IsMenu(sys));
    EXPECT_EQ(GetMenuItemCount(GetSystemMenu(w, FALSE)), 7);
}

const win::res::MenuItemEntry kMenuItems[] = {
    {0, win::res::menu_flag::popup, 0, "&File"}, {1, 0, 32771, "&Open AVI File"},
    {1, win::res::menu_flag::separator, 0, ""},  {1, win::res::menu_flag::grayed, 32774, "E&xit"},
    {0, win::res::menu_flag::popup, 0, "&Help"}, {1, 0, 32780, "&About"},
};
const win::res::MenuEntry kMenus[] = {{{130, nullptr}, kMenuItems}};

TEST_F(MenuObjects, LoadMenuBuildsTheTemplateTree) {
    win::res::Module module{"menus_test", {}, kMenus, {}, {}, {}};
    HINSTANCE inst = win::res::install(module);
    HMENU bar = LoadMenuA(inst, MAKEINTRESOURCEA(130));
    ASSERT_TRUE(IsMenu(bar));
    EXPECT_EQ(GetMenuItemCount(bar), 2);
    EXPECT_EQ(GetMenuState(bar, 0, MF_BYPOSITION), UINT((3 << 8) | MF_POPUP));
    HMENU file = GetSubMenu(bar, 0);
    EXPECT_EQ(GetMenuItemID(file, 0), 32771u);
    EXPECT_EQ(GetMenuState(file, 1, MF_BYPOSITION), UINT(MF_SEPARATOR));
    EXPECT_EQ(GetMenuState(file, 32774, MF_BYCOMMAND), UINT(MF_GRAYED));
    EXPECT_EQ(GetMenuItemID(GetSubMenu(bar, 1), 0), 32780u);
    EXPECT_EQ(LoadMenuA(inst, MAKEINTRESOURCEA(131)), nullptr);
    win::res::uninstall(inst);
}

}  // namespace
