// MessageBoxA: what it shows (read through the automation hook), which key
// ends it with which result, its layout and its icon's pixels.
#include <string>

#include "dialog_fixture.h"

using namespace dialog_test;
using win::dialogs::IconKind;
using win::dialogs::MessageBoxInfo;

namespace {

struct Seen {
    bool is_box = false;
    MessageBoxInfo info;
    bool owner_enabled = true;
};

// Reads the box when it comes up, then presses the given key.
Seen run_box(HWND owner, const char* text, const char* caption, UINT type, UINT vk, int* result) {
    Seen seen;
    win::automation::set_modal_hook([&](HWND box) {
        seen.is_box = win::dialogs::message_box_info(box, &seen.info);
        seen.owner_enabled = owner && IsWindowEnabled(owner);
        win::automation::press(box, vk);
    });
    *result = MessageBoxA(owner, text, caption, type);
    return seen;
}

}  // namespace

TEST_F(DialogTest, MessageBoxShowsTextCaptionAndIconToTheHook) {
    HWND owner = make_owner();
    int r = 0;
    Seen seen =
        run_box(owner, "Bitmap Image Created.", "Korvane", MB_OK | MB_ICONASTERISK, VK_RETURN, &r);
    ASSERT_TRUE(seen.is_box);
    EXPECT_EQ(seen.info.text, "Bitmap Image Created.");
    EXPECT_EQ(seen.info.caption, "Korvane");
    EXPECT_EQ(seen.info.icon, IconKind::Information);
    EXPECT_FALSE(seen.owner_enabled);
    EXPECT_EQ(r, IDOK);
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_EQ(GetActiveWindow(), owner);

    seen = run_box(owner, "Error Opening AVI File.", nullptr, MB_OK | MB_ICONHAND, VK_RETURN, &r);
    EXPECT_EQ(seen.info.caption, "Error");
    EXPECT_EQ(seen.info.icon, IconKind::Stop);
    seen = run_box(owner, "q", "c", MB_YESNO | MB_ICONQUESTION, VK_RETURN, &r);
    EXPECT_EQ(seen.info.icon, IconKind::Question);
    seen = run_box(owner, "w", "c", MB_OK | MB_ICONEXCLAMATION, VK_RETURN, &r);
    EXPECT_EQ(seen.info.icon, IconKind::Warning);
    seen = run_box(owner, "n", "c", MB_OK, VK_RETURN, &r);
    EXPECT_EQ(seen.info.icon, IconKind::None);
    EXPECT_FALSE(win::dialogs::message_box_info(owner, nullptr));
}

TEST_F(DialogTest, MessageBoxEscapeFollowsTheButtons) {
    HWND owner = make_owner();
    int r = 0;
    run_box(owner, "t", "c", MB_OK, VK_ESCAPE, &r);
    EXPECT_EQ(r, IDOK);
    run_box(owner, "t", "c", MB_OKCANCEL, VK_ESCAPE, &r);
    EXPECT_EQ(r, IDCANCEL);
    run_box(owner, "t", "c", MB_YESNOCANCEL, VK_ESCAPE, &r);
    EXPECT_EQ(r, IDCANCEL);

    // Without Cancel, Escape does nothing: the box stays until No is clicked.
    win::automation::set_modal_hook([&](HWND box) {
        win::automation::press(box, VK_ESCAPE);
        win::automation::press(box, VK_ESCAPE);
        win::automation::click_center(GetDlgItem(box, IDNO));
    });
    EXPECT_EQ(MessageBoxA(owner, "t", "c", MB_YESNO), IDNO);
}

TEST_F(DialogTest, MessageBoxEnterTakesTheDefaultButtonAndLettersWork) {
    HWND owner = make_owner();
    int r = 0;
    run_box(owner, "t", "c", MB_YESNO, VK_RETURN, &r);
    EXPECT_EQ(r, IDYES);
    run_box(owner, "t", "c", MB_YESNO | MB_DEFBUTTON2, VK_RETURN, &r);
    EXPECT_EQ(r, IDNO);
    run_box(owner, "t", "c", MB_ABORTRETRYIGNORE | MB_DEFBUTTON3, VK_RETURN, &r);
    EXPECT_EQ(r, IDIGNORE);
    win::automation::set_modal_hook([](HWND box) { win::automation::press(box, 'R', 'r'); });
    EXPECT_EQ(MessageBoxA(owner, "t", "c", MB_RETRYCANCEL), IDRETRY);
}

TEST_F(DialogTest, MessageBoxLayoutWrapsTextAndCentresButtons) {
    HWND owner = make_owner(200, 150, 600, 400);
    std::string long_text;
    for (int i = 0; i < 60; ++i) long_text += "word" + std::to_string(i) + " ";
    long_text += "\nSecond paragraph.";
    RECT box_rect{}, ok{}, cancel{}, text{};
    win::automation::set_modal_hook([&](HWND box) {
        GetWindowRect(box, &box_rect);
        GetWindowRect(GetDlgItem(box, IDOK), &ok);
        GetWindowRect(GetDlgItem(box, IDCANCEL), &cancel);
        GetWindowRect(GetDlgItem(box, 0xFFFF), &text);
        win::automation::pump();
        win::automation::save_png(box, "message_box_long.png");
        win::automation::press(box, VK_ESCAPE);
    });
    MessageBoxA(owner, long_text.c_str(), "Korvane", MB_OKCANCEL | MB_ICONHAND);
    EXPECT_EQ(ok.right - ok.left, 75);
    EXPECT_EQ(ok.bottom - ok.top, 23);
    EXPECT_EQ(cancel.left - ok.right, 6);
    EXPECT_EQ(ok.top, cancel.top);
    int left_gap = ok.left - box_rect.left, right_gap = box_rect.right - cancel.right;
    EXPECT_LE(std::abs(left_gap - right_gap), 1);
    // Wrapped: several lines, no wider than the screen allows, right of the icon.
    EXPECT_GT(text.bottom - text.top, 4 * 13);
    EXPECT_LE(box_rect.right - box_rect.left, GetSystemMetrics(SM_CXSCREEN) * 5 / 8 + 2);
    EXPECT_GE(text.left - box_rect.left, 12 + 32);
    EXPECT_GT(ok.top, text.bottom);
    // Centred over the owner.
    EXPECT_LE(std::abs((box_rect.left + box_rect.right) / 2 - 500), 1);
    EXPECT_LE(std::abs((box_rect.top + box_rect.bottom) / 2 - 350), 1);
}

TEST_F(DialogTest, MessageBoxIconPixels) {
    HWND owner = make_owner();
    std::uint32_t centre = 0, ring = 0, corner = 0, info_i = 0, warn_fill = 0;
    win::automation::set_modal_hook([&](HWND box) {
        win::automation::pump();
        centre = win::automation::pixel(box, 12 + 16, 12 + 16);
        ring = win::automation::pixel(box, 12 + 16, 12 + 4);
        corner = win::automation::pixel(box, 12, 12);
        win::automation::save_png(box, "message_box_stop.png");
        win::automation::press(box, VK_RETURN);
    });
    MessageBoxA(owner, "Error Creating Bitmap Image", "Error", MB_OK | MB_ICONHAND);
    EXPECT_EQ(centre, 0xFFFFFFu);                // the X crosses in the middle
    EXPECT_EQ(ring, 0xFF0000u);                  // red disc
    COLORREF face = GetSysColor(COLOR_BTNFACE);  // the icon's corner is transparent
    EXPECT_EQ(corner, (GetRValue(face) << 16u) | (GetGValue(face) << 8u) | GetBValue(face));

    win::automation::set_modal_hook([&](HWND box) {
        win::automation::pump();
        info_i = win::automation::pixel(box, 12 + 16, 12 + 15);
        win::automation::save_png(box, "message_box_info.png");
        win::automation::press(box, VK_RETURN);
    });
    MessageBoxA(owner, "Video Extracted !", "Korvane", MB_OK | MB_ICONASTERISK);
    EXPECT_EQ(info_i, 0x0000FFu);

    win::automation::set_modal_hook([&](HWND box) {
        win::automation::pump();
        warn_fill = win::automation::pixel(box, 12 + 10, 12 + 24);
        win::automation::save_png(box, "message_box_warning.png");
        win::automation::press(box, VK_RETURN);
    });
    MessageBoxA(owner, "/tmp/x.avi already exists.\nDo you want to replace it?", "Save As",
                MB_YESNO | MB_ICONEXCLAMATION);
    EXPECT_EQ(warn_fill, 0xFFFF00u);
}
