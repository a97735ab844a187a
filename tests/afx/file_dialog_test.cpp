#include <unistd.h>

#include <filesystem>
#include <string>

#include "afx_fixture.h"
#include "afxdlgs.h"

using afx_test::AfxTest;

namespace {

class FileDialogs : public AfxTest {};

TEST_F(FileDialogs, SaveFileDialogReturnsTheTypedPathWithItsExtension) {
    auto dir =
        std::filesystem::temp_directory_path() / ("afx_file_dialog_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    CFileDialog save(FALSE, "*.bmp", "", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                     "Windows Bitmap (*.bmp)|*.bmp||");
    std::string typed = (dir / "frame").string();
    win::automation::set_modal_hook([&](HWND h) {
        HWND edit = win::automation::find_child(h, "EDIT", nullptr);
        ASSERT_NE(edit, nullptr);
        SetWindowTextA(edit, typed.c_str());
        SetFocus(edit);
        win::automation::press(edit, VK_RETURN);
    });
    ASSERT_EQ(save.DoModal(), IDOK);
    EXPECT_STREQ(save.GetPathName(), (typed + ".bmp").c_str());
    EXPECT_STREQ(save.GetFileExt(), "bmp");
    std::filesystem::remove_all(dir);
}

}  // namespace
