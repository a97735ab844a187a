#include <unistd.h>

#include <filesystem>
#include <functional>
#include <vector>

#include "afx_fixture.h"
#include "afxext.h"
#include "win/dialogs/dialogs.h"

using afx_test::AfxTest;
using afx_test::kTestDialog;

namespace {

class CTestDlg : public CDialog {
  public:
    CTestDlg() : CDialog(kTestDialog) {}
    void DoDataExchange(CDataExchange* dx) override {
        DDX_Text(dx, 1100, count);
        DDX_Text(dx, 1101, name);
    }
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        loaded_st = st.AutoLoad(1102, this);
        loaded_open = open.AutoLoad(1103, this);
        loaded_nope = nope.AutoLoad(1104, this);
        return TRUE;
    }
    int count = 5;
    CString name = "abc";
    CBitmapButton st, open, nope;
    BOOL loaded_st = FALSE, loaded_open = FALSE, loaded_nope = FALSE;
};

// Runs one step per tick of a timer on the dialog, so a test can act after
// nested loops have come and gone.
struct Script {
    std::vector<std::function<void(HWND)>> steps;
    size_t next = 0;
    HWND dialog = nullptr;
    static Script* current;
    static void CALLBACK tick(HWND hwnd, UINT, UINT_PTR, DWORD) {
        Script* s = current;
        if (s->next >= s->steps.size()) {
            KillTimer(hwnd, 77);
            return;
        }
        s->steps[s->next++](s->dialog);
    }
    void start(HWND dlg) {
        dialog = dlg;
        current = this;
        SetTimer(dlg, 77, 10, tick);
    }
};
Script* Script::current = nullptr;

std::string text_of(HWND dlg, int id) { return win::automation::window_text(GetDlgItem(dlg, id)); }

class Dialogs : public AfxTest {};

TEST_F(Dialogs, DataExchangeFillsTheControlsAndReadsThemBackOnOk) {
    CTestDlg dlg;
    std::string seen_count, seen_name;
    win::automation::set_modal_hook([&](HWND h) {
        seen_count = text_of(h, 1100);
        seen_name = text_of(h, 1101);
        SetDlgItemTextA(h, 1100, "12");
        SetDlgItemTextA(h, 1101, "frames");
        win::automation::click_center(GetDlgItem(h, IDOK));
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(seen_count, "5");
    EXPECT_EQ(seen_name, "abc");
    EXPECT_EQ(dlg.count, 12);
    EXPECT_STREQ(dlg.name, "frames");
    EXPECT_EQ(dlg.m_hWnd, nullptr);
}

TEST_F(Dialogs, AnEmptiedIntegerFieldIsRefusedAndTheDialogStaysOpen) {
    CTestDlg dlg;
    Script script;
    win::dialogs::MessageBoxInfo box;
    int boxes = 0;
    int focus_after = 0;
    bool alive_after = false;
    script.steps = {
        [](HWND h) {
            SetDlgItemTextA(h, 1100, "");
            win::automation::click_center(GetDlgItem(h, IDOK));
        },
        [&](HWND h) {
            focus_after = GetDlgCtrlID(GetFocus());
            alive_after = IsWindow(h);
            SetDlgItemTextA(h, 1100, "3");
            win::automation::click_center(GetDlgItem(h, IDOK));
        },
    };
    win::automation::set_modal_hook([&](HWND h) {
        if (win::dialogs::message_box_info(h, &box)) {
            ++boxes;
            win::automation::click_center(win::automation::find_child(h, "BUTTON", "OK"));
        } else {
            script.start(h);
        }
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(boxes, 1);
    EXPECT_EQ(box.text, "Please enter an integer.");
    EXPECT_EQ(box.icon, win::dialogs::IconKind::Warning);
    EXPECT_TRUE(alive_after);
    EXPECT_EQ(focus_after, 1100) << "focus goes back to the field at fault";
    EXPECT_EQ(dlg.count, 3);
}

TEST_F(Dialogs, EscapeCancelsAndKeepsTheMembers) {
    CTestDlg dlg;
    win::automation::set_modal_hook([](HWND h) {
        SetDlgItemTextA(h, 1100, "99");
        win::automation::press(h, VK_ESCAPE);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(dlg.count, 5);
}

TEST_F(Dialogs, PictureButtonsSizeToTheirPictureWhateverTheTemplateSays) {
    CTestDlg dlg;
    RECT st{}, nope{};
    win::automation::set_modal_hook([&](HWND h) {
        GetWindowRect(GetDlgItem(h, 1102), &st);
        GetWindowRect(GetDlgItem(h, 1104), &nope);
        win::automation::press(h, VK_ESCAPE);
    });
    dlg.DoModal();
    EXPECT_TRUE(dlg.loaded_st);
    EXPECT_TRUE(dlg.loaded_open);
    EXPECT_FALSE(dlg.loaded_nope) << "no NOPEU picture";
    EXPECT_EQ(st.right - st.left, 24);
    EXPECT_EQ(st.bottom - st.top, 24);
    EXPECT_EQ(nope.right - nope.left, 33) << "22 dialog units keep their template width";
    EXPECT_EQ(dlg.open.m_bitmapDisabled.m_hObject, nullptr) << "there is no OPENX";
}

// The 24 x 24 pixels a bitmap shows, read through a memory context.
std::vector<COLORREF> pixels_of(HBITMAP bitmap) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    std::vector<COLORREF> out;
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24; ++x) out.push_back(GetPixel(dc, x, y));
    SelectObject(dc, old);
    DeleteDC(dc);
    return out;
}

TEST_F(Dialogs, PictureChoiceIsSelectedThenFocusThenDisabledThenNormal) {
    CBitmapButton button;
    // Four distinct pictures of the program stand in for the four states.
    ASSERT_TRUE(button.LoadBitmaps("STU", "STD", "PREVU", "STX"));
    HDC target = CreateCompatibleDC(nullptr);
    HBITMAP canvas = CreateCompatibleBitmap(target, 24, 24);
    HGDIOBJ old = SelectObject(target, canvas);
    auto draw = [&](UINT state) {
        DRAWITEMSTRUCT di{ODT_BUTTON,     1, 0, ODA_DRAWENTIRE, state, nullptr, target,
                          {0, 0, 24, 24}, 0};
        button.DrawItem(&di);
        SelectObject(target, old);
        auto p = pixels_of(canvas);
        SelectObject(target, canvas);
        return p;
    };
    auto normal = pixels_of(button.m_bitmap), sel = pixels_of(button.m_bitmapSel);
    auto focus = pixels_of(button.m_bitmapFocus), disabled = pixels_of(button.m_bitmapDisabled);
    ASSERT_NE(normal, sel);
    ASSERT_NE(normal, disabled);
    ASSERT_NE(focus, normal);
    EXPECT_EQ(draw(0), normal);
    EXPECT_EQ(draw(ODS_DISABLED), disabled);
    EXPECT_EQ(draw(ODS_DISABLED | ODS_FOCUS), focus);
    EXPECT_EQ(draw(ODS_SELECTED | ODS_FOCUS | ODS_DISABLED), sel);
    // Without the optional pictures every state falls back to normal.
    ASSERT_TRUE(button.LoadBitmaps("OPENU", nullptr, nullptr, "OPENX"));
    auto open = pixels_of(button.m_bitmap);
    EXPECT_EQ(draw(ODS_SELECTED), open);
    EXPECT_EQ(draw(ODS_DISABLED), open);
    SelectObject(target, old);
    DeleteObject(canvas);
    DeleteDC(target);
}

}  // namespace
