// Dialogs from templates: geometry in dialog units, WM_INITDIALOG and the
// first focus, in-memory templates, and the modal run with its owner.
#include "dialog_fixture.h"
#include "win/dialogs/dialog_template_binary.h"
#include "win/resources/registry.h"

using namespace dialog_test;
using win::res::DialogTemplate;

namespace {

RECT rect_in_parent(HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

DialogTemplate two_buttons() {
    return dialog_template(
        "Two", 120, 60,
        {control("STATIC", "Label", -1, 0, 4, 4, 40, 8),
         control("BUTTON", "OK", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 10, 40, 50, 14),
         control("BUTTON", "Cancel", IDCANCEL, WS_TABSTOP, 64, 40, 50, 14)});
}

}  // namespace

TEST_F(DialogTest, TemplateGeometryFollowsBaseUnitsSixByThirteen) {
    DialogTemplate t =
        dialog_template("Main", 273, 218,
                        {control("BUTTON", "St", 1000, BS_OWNERDRAW | WS_TABSTOP, 4, 191, 22, 20),
                         control("STATIC", "", -1, SS_ETCHEDHORZ, 0, 213, 273, 1)});
    HWND dlg = win::dialogs::create_dialog(t, nullptr, nullptr, logging_dialog_proc, 0);
    ASSERT_TRUE(dlg);
    RECT client;
    GetClientRect(dlg, &client);
    EXPECT_EQ(client.right, 410);   // 273 * 6 / 4 = 409.5
    EXPECT_EQ(client.bottom, 354);  // 218 * 13 / 8 = 354.25
    RECT b = rect_in_parent(GetDlgItem(dlg, 1000));
    EXPECT_EQ(b.left, 6);
    EXPECT_EQ(b.top, 310);
    EXPECT_EQ(b.right - b.left, 33);
    EXPECT_EQ(b.bottom - b.top, 33);  // 20 * 13 / 8 = 32.5 rounds up
    RECT line = rect_in_parent(GetWindow(GetDlgItem(dlg, 1000), GW_HWNDNEXT));
    EXPECT_EQ(line.top, 346);
    EXPECT_EQ(line.bottom - line.top, 2);

    RECT r{4, 191, 26, 211};
    ASSERT_TRUE(MapDialogRect(dlg, &r));
    EXPECT_EQ(r.left, 6);
    EXPECT_EQ(r.top, 310);
    EXPECT_EQ(r.right, 39);
    EXPECT_EQ(r.bottom, 343);
    EXPECT_FALSE(MapDialogRect(nullptr, &r));
}

TEST_F(DialogTest, ControlsGetTheDialogFontAndTemplateOrder) {
    HWND dlg = win::dialogs::create_dialog(two_buttons(), nullptr, nullptr, logging_dialog_proc, 0);
    ASSERT_TRUE(dlg);
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(dlg, WM_GETFONT, 0, 0));
    ASSERT_TRUE(font);
    HWND first = GetWindow(dlg, GW_CHILD);
    EXPECT_EQ(win::automation::window_text(first), "Label");
    EXPECT_EQ(GetWindow(first, GW_HWNDNEXT), GetDlgItem(dlg, IDOK));
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(GetDlgItem(dlg, IDOK), WM_GETFONT, 0, 0)), font);
    EXPECT_EQ(SendMessageA(dlg, DM_GETDEFID, 0, 0), MAKELRESULT(IDOK, DC_HASDEFID));
    EXPECT_EQ(GetWindowLongPtrA(dlg, DWLP_DLGPROC), LONG_PTR(logging_dialog_proc));
}

TEST_F(DialogTest, InitDialogTrueFocusesFirstTabStopFalseLeavesFocus) {
    HWND dlg = win::dialogs::create_dialog(two_buttons(), nullptr, nullptr, logging_dialog_proc, 0);
    ASSERT_TRUE(dlg);
    EXPECT_EQ(dialog_log().init_focus_param, GetDlgItem(dlg, IDOK));
    EXPECT_EQ(GetFocus(), GetDlgItem(dlg, IDOK));
    DestroyWindow(dlg);

    dialog_log().init_result = FALSE;
    dlg = win::dialogs::create_dialog(two_buttons(), nullptr, nullptr, logging_dialog_proc, 0);
    ASSERT_TRUE(dlg);
    EXPECT_NE(GetFocus(), GetDlgItem(dlg, IDOK));
}

TEST_F(DialogTest, MissingControlClassFailsTheDialog) {
    DialogTemplate t =
        dialog_template("Bad", 50, 50, {control("NoSuchClass", "", 5, 0, 0, 0, 10, 10)});
    EXPECT_EQ(win::dialogs::create_dialog(t, nullptr, nullptr, logging_dialog_proc, 0), nullptr);
    EXPECT_EQ(win::dialogs::dialog_box(t, nullptr, nullptr, logging_dialog_proc, 0), -1);
    t.style |= DS_NOFAILCREATE;
    EXPECT_NE(win::dialogs::create_dialog(t, nullptr, nullptr, logging_dialog_proc, 0), nullptr);
}

TEST_F(DialogTest, InMemoryTemplateRoundTripsThroughTheIndirectCall) {
    DialogTemplate t = two_buttons();
    t.caption = "Caf\xC3\xA9 \xE2\x82\xAC";  // non-ASCII survives UTF-16 and back
    std::vector<std::uint16_t> words = win::dialogs::build_dialog_template(t);
    auto parsed =
        win::dialogs::parse_dialog_template(reinterpret_cast<const DLGTEMPLATE*>(words.data()));
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->caption, t.caption);
    EXPECT_EQ(parsed->font_name, "MS Sans Serif");
    ASSERT_EQ(parsed->controls.size(), 3u);
    EXPECT_EQ(parsed->controls[0].class_name, "STATIC");
    EXPECT_EQ(parsed->controls[0].id, -1);
    EXPECT_EQ(parsed->controls[2].text, "Cancel");
    EXPECT_EQ(parsed->controls[2].x, 64);
    EXPECT_EQ(parsed->controls[2].style, t.controls[2].style);

    HWND dlg =
        CreateDialogIndirectParamA(nullptr, reinterpret_cast<const DLGTEMPLATE*>(words.data()),
                                   nullptr, logging_dialog_proc, 0);
    ASSERT_TRUE(dlg);
    EXPECT_EQ(win::automation::window_text(dlg), t.caption);
    EXPECT_EQ(win::automation::window_text(GetDlgItem(dlg, IDCANCEL)), "Cancel");
    EXPECT_EQ(CreateDialogIndirectParamA(nullptr, nullptr, nullptr, logging_dialog_proc, 0),
              nullptr);
}

TEST_F(DialogTest, ModalDialogDisablesOwnerAndReturnsEndDialogValue) {
    HWND owner = make_owner();
    dialog_log().end_on_command = IDCANCEL;
    bool owner_enabled_inside = true;
    HWND seen = nullptr;
    RECT dialog_rect{};
    win::automation::set_modal_hook([&](HWND dlg) {
        seen = dlg;
        owner_enabled_inside = IsWindowEnabled(owner);
        GetWindowRect(dlg, &dialog_rect);
        win::automation::click_center(GetDlgItem(dlg, IDCANCEL));
    });
    INT_PTR r = win::dialogs::dialog_box(two_buttons(), nullptr, owner, logging_dialog_proc, 0);
    EXPECT_EQ(r, IDCANCEL);
    ASSERT_TRUE(seen);
    EXPECT_FALSE(owner_enabled_inside);
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_FALSE(IsWindow(seen));
    EXPECT_EQ(GetActiveWindow(), owner);
    // Centred over the owner (100,100)-(500,400).
    EXPECT_EQ((dialog_rect.left + dialog_rect.right) / 2, 300);
    EXPECT_EQ((dialog_rect.top + dialog_rect.bottom) / 2, 250);
}

TEST_F(DialogTest, OwnerTimersKeepTickingDuringModalDialog) {
    HWND owner = make_owner();
    SetTimer(owner, 1, 40, nullptr);
    dialog_log().end_on_timer_ms = 400;
    INT_PTR r = win::dialogs::dialog_box(two_buttons(), nullptr, owner, logging_dialog_proc, 0);
    EXPECT_EQ(r, 77);
    EXPECT_GE(owner_log().timer_ticks, 9);
    EXPECT_LE(owner_log().timer_ticks, 10);
}

TEST_F(DialogTest, CloseBoxSendsCancelCommand) {
    HWND owner = make_owner();
    dialog_log().end_on_command = IDCANCEL;
    win::automation::set_modal_hook(
        [](HWND dlg) { PostMessageA(dlg, WM_SYSCOMMAND, SC_CLOSE, 0); });
    EXPECT_EQ(win::dialogs::dialog_box(two_buttons(), nullptr, owner, logging_dialog_proc, 0),
              IDCANCEL);
    EXPECT_EQ(dialog_log().commands, std::vector<int>{IDCANCEL});
}

TEST_F(DialogTest, NamedTemplateThatDoesNotExistFails) {
    EXPECT_EQ(DialogBoxParamA(nullptr, MAKEINTRESOURCEA(31999), nullptr, logging_dialog_proc, 0),
              -1);
    EXPECT_EQ(CreateDialogParamA(nullptr, "NO_SUCH_DIALOG", nullptr, logging_dialog_proc, 0),
              nullptr);
    EXPECT_FALSE(EndDialog(nullptr, 1));
}

TEST_F(DialogTest, DialogItemHelpers) {
    DialogTemplate t = dialog_template(
        "Items", 120, 80,
        {control("STATIC", "", 30, 0, 4, 4, 40, 8),
         control("BUTTON", "A", 41, BS_AUTORADIOBUTTON | WS_GROUP, 4, 20, 40, 10),
         control("BUTTON", "B", 42, BS_AUTORADIOBUTTON, 4, 32, 40, 10),
         control("BUTTON", "C", 43, BS_AUTORADIOBUTTON, 4, 44, 40, 10),
         control("BUTTON", "Check", 50, BS_AUTOCHECKBOX | WS_GROUP, 60, 20, 40, 10)});
    HWND dlg = win::dialogs::create_dialog(t, nullptr, nullptr, logging_dialog_proc, 0);
    ASSERT_TRUE(dlg);
    EXPECT_TRUE(SetDlgItemInt(dlg, 30, UINT(-12), TRUE));
    char buf[16];
    EXPECT_EQ(GetDlgItemTextA(dlg, 30, buf, sizeof buf), 3u);
    EXPECT_STREQ(buf, "-12");
    BOOL ok = FALSE;
    EXPECT_EQ(int(GetDlgItemInt(dlg, 30, &ok, TRUE)), -12);
    EXPECT_TRUE(ok);
    GetDlgItemInt(dlg, 30, &ok, FALSE);
    EXPECT_FALSE(ok);
    SetDlgItemTextA(dlg, 30, "12x");
    GetDlgItemInt(dlg, 30, &ok, TRUE);
    EXPECT_FALSE(ok);
    SetDlgItemTextA(dlg, 30, "4294967295");
    EXPECT_EQ(GetDlgItemInt(dlg, 30, &ok, FALSE), 4294967295u);
    EXPECT_TRUE(ok);
    EXPECT_EQ(GetDlgItemTextA(dlg, 999, buf, sizeof buf), 0u);
    EXPECT_STREQ(buf, "");

    EXPECT_TRUE(CheckRadioButton(dlg, 41, 43, 42));
    EXPECT_EQ(IsDlgButtonChecked(dlg, 41), 0u);
    EXPECT_EQ(IsDlgButtonChecked(dlg, 42), 1u);
    EXPECT_TRUE(CheckDlgButton(dlg, 50, 1));
    EXPECT_EQ(SendDlgItemMessageA(dlg, 50, 0x00F0 /* BM_GETCHECK */, 0, 0), 1);
    EXPECT_FALSE(CheckDlgButton(dlg, 999, 1));
}

namespace {

constexpr win::res::ControlEntry kModuleControls[] = {
    {"STATIC", "From the module", 0, -1, WS_CHILD | WS_VISIBLE, 0, 4, 4, 80, 8},
    {"BUTTON", "&Continue", 0, 1000, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 60,
     30, 50, 14},
};
constexpr win::res::DialogEntry kModuleDialogs[] = {
    {{500, nullptr},
     "About",
     WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT,
     0,
     "MS Sans Serif",
     8,
     0,
     0,
     120,
     50,
     {0, nullptr},
     "",
     kModuleControls},
};
constexpr win::res::Module kModule{"dialog_test", kModuleDialogs, {}, {}, {}, {}};

}  // namespace

TEST_F(DialogTest, TemplateFromAnInstalledModuleRunsModally) {
    HINSTANCE inst = win::res::install(kModule);
    ASSERT_TRUE(inst);
    HWND owner = make_owner();
    dialog_log().end_on_command = 1000;
    std::string label;
    win::automation::set_modal_hook([&](HWND dlg) {
        label = win::automation::window_text(GetWindow(dlg, GW_CHILD));
        win::automation::press(dlg, VK_RETURN);  // "&Continue" is the default button
    });
    EXPECT_EQ(DialogBoxParamA(inst, MAKEINTRESOURCEA(500), owner, logging_dialog_proc, 0), 1000);
    EXPECT_EQ(label, "From the module");
    win::res::uninstall(inst);
}
