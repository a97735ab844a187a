// The open and save dialogs driven as a user would: type a name and press
// Enter, answer the replace question, cancel; with real folders on disk.
#include "win/dialogs/file_dialog.h"

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>

#include "commdlg.h"
#include "dialog_fixture.h"

using namespace dialog_test;
namespace fs = std::filesystem;
namespace fd = win::dialogs::file_dialog;

namespace {

class FileDialogTest : public DialogTest {
  protected:
    void SetUp() override {
        DialogTest::SetUp();
        root = fs::temp_directory_path() / ("korvane_fd_" + std::to_string(getpid()));
        fs::remove_all(root);
        fs::create_directories(root / "sub");
        fs::create_directories(root / "Another");
        touch(root / "clip.avi");
        touch(root / "Movie.AVI");
        touch(root / "notes.txt");
        touch(root / ".hidden.avi");
        old_cwd = fs::current_path();
        fs::current_path(root);
        fd::remember_folder("");
        owner = make_owner();
        std::memset(buffer, 0, sizeof buffer);
        ofn = OPENFILENAMEA{};
        ofn.lStructSize = sizeof ofn;
        ofn.hwndOwner = owner;
        ofn.lpstrFilter = "AVI Video File (*.avi)\0*.avi\0All Files (*.*)\0*.*\0\0";
        ofn.nFilterIndex = 1;
        ofn.lpstrFile = buffer;
        ofn.nMaxFile = sizeof buffer;
        ofn.lpstrDefExt = "*.avi";
        ofn.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
    }
    void TearDown() override {
        fs::current_path(old_cwd);
        fs::remove_all(root);
        DialogTest::TearDown();
    }
    static void touch(const fs::path& p, const char* text = "x") { std::ofstream(p) << text; }

    // Puts a name into the name box and presses Enter. (Typed keys would
    // have their characters queued behind the Enter key.)
    static void type_name(HWND dlg, const std::string& text) {
        HWND edit = GetDlgItem(dlg, fd::kNameEdit);
        SendMessageA(dlg, WM_NEXTDLGCTL, WPARAM(edit), TRUE);
        SetWindowTextA(edit, text.c_str());
        win::automation::press(dlg, VK_RETURN);
    }
    // Types key by key; Enter follows on a timer, once the characters that
    // the keys produce have reached the box.
    static void type_keys_then_enter(HWND dlg, const std::string& text) {
        SendMessageA(dlg, WM_NEXTDLGCTL, WPARAM(GetDlgItem(dlg, fd::kNameEdit)), TRUE);
        win::automation::type(dlg, text);
        SetTimer(dlg, 42, 20, [](HWND d, UINT, UINT_PTR id, DWORD) {
            KillTimer(d, id);
            win::automation::press(d, VK_RETURN);
        });
    }
    std::vector<std::string> listed(HWND dlg) {
        std::vector<std::string> out;
        HWND list = GetDlgItem(dlg, fd::kFolderList);
        LRESULT n = SendMessageA(list, LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < n; ++i) {
            char buf[256] = {};
            SendMessageA(list, LB_GETTEXT, WPARAM(i), LPARAM(buf));
            out.push_back(buf);
        }
        return out;
    }

    fs::path root, old_cwd;
    HWND owner = nullptr;
    char buffer[512];
    OPENFILENAMEA ofn{};
};

}  // namespace

TEST_F(FileDialogTest, TypedNameGetsTheDefaultExtensionAndFullPath) {
    std::string title;
    bool owner_enabled = true;
    win::automation::set_modal_hook([&](HWND dlg) {
        title = win::automation::window_text(dlg);
        owner_enabled = IsWindowEnabled(owner);
        type_keys_then_enter(dlg, "new movie");
    });
    ASSERT_TRUE(GetSaveFileNameA(&ofn));
    std::string expected = (root / "new movie.avi").string();
    EXPECT_EQ(std::string(buffer), expected);
    EXPECT_EQ(ofn.nFileOffset, root.string().size() + 1);
    EXPECT_EQ(ofn.nFileExtension, expected.size() - 3);
    EXPECT_EQ(ofn.nFilterIndex, 1u);
    EXPECT_EQ(title, "Save As");
    EXPECT_FALSE(owner_enabled);
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_FALSE(fs::exists(expected));  // the dialog only names the file
}

TEST_F(FileDialogTest, NameWithItsOwnExtensionAndRelativeOrFullPaths) {
    win::automation::set_modal_hook([](HWND dlg) { type_name(dlg, "sub/frame.bmp"); });
    ASSERT_TRUE(GetSaveFileNameA(&ofn));
    EXPECT_EQ(std::string(buffer), (root / "sub" / "frame.bmp").string());

    std::string full = (root / "Another" / "\xC3\xA9t\xC3\xA9 vid\xC3\xA9o").string();
    win::automation::set_modal_hook([&](HWND dlg) { type_name(dlg, full); });
    ASSERT_TRUE(GetSaveFileNameA(&ofn));
    EXPECT_EQ(std::string(buffer), full + ".avi");
}

TEST_F(FileDialogTest, ReplacingAsksFirstNoKeepsTheDialogYesReturns) {
    touch(root / "clip.avi", "precious");
    win::dialogs::MessageBoxInfo asked;
    int questions = 0;
    HWND file_dialog = nullptr;
    win::automation::set_modal_hook([&](HWND w) {
        if (win::dialogs::message_box_info(w, &asked)) {
            ++questions;
            win::automation::press(w, 'N', 'n');
            // Once the question is gone, the dialog is still there: cancel it.
            PostMessageA(file_dialog, WM_COMMAND, IDCANCEL, 0);
            return;
        }
        file_dialog = w;
        type_name(w, "clip");
    });
    EXPECT_FALSE(GetSaveFileNameA(&ofn));
    EXPECT_EQ(CommDlgExtendedError(), 0u);
    EXPECT_EQ(questions, 1);
    EXPECT_EQ(asked.text,
              (root / "clip.avi").string() + " already exists.\nDo you want to replace it?");
    EXPECT_EQ(asked.caption, "Save As");
    EXPECT_EQ(asked.icon, win::dialogs::IconKind::Warning);
    EXPECT_EQ(asked.type & MB_TYPEMASK, UINT(MB_YESNO));

    win::automation::set_modal_hook([&](HWND w) {
        if (win::dialogs::message_box_info(w, nullptr)) {
            win::automation::press(w, 'Y', 'y');
            return;
        }
        type_name(w, "clip.avi");
    });
    ASSERT_TRUE(GetSaveFileNameA(&ofn));
    EXPECT_EQ(std::string(buffer), (root / "clip.avi").string());
    std::ifstream in(root / "clip.avi");
    std::string content;
    in >> content;
    EXPECT_EQ(content, "precious");
}

TEST_F(FileDialogTest, NoPromptWithoutTheFlagAndNoneInOpenMode) {
    int boxes = 0;
    win::automation::set_modal_hook([&](HWND w) {
        if (win::dialogs::message_box_info(w, nullptr)) {
            ++boxes;
            win::automation::press(w, VK_RETURN);
            return;
        }
        type_name(w, "clip");
    });
    ASSERT_TRUE(GetOpenFileNameA(&ofn));
    EXPECT_EQ(std::string(buffer), (root / "clip.avi").string());
    EXPECT_EQ(ofn.lpstrTitle, nullptr);
    ofn.Flags = OFN_HIDEREADONLY;
    ASSERT_TRUE(GetSaveFileNameA(&ofn));
    EXPECT_EQ(boxes, 0);
}

TEST_F(FileDialogTest, CancelAndCloseReturnNothing) {
    std::strcpy(buffer, "untouched");
    win::automation::set_modal_hook([](HWND dlg) { win::automation::press(dlg, VK_ESCAPE); });
    EXPECT_FALSE(GetOpenFileNameA(&ofn));
    EXPECT_EQ(CommDlgExtendedError(), 0u);
    EXPECT_STREQ(buffer, "untouched");
    win::automation::set_modal_hook(
        [](HWND dlg) { PostMessageA(dlg, WM_SYSCOMMAND, SC_CLOSE, 0); });
    EXPECT_FALSE(GetSaveFileNameA(&ofn));
    EXPECT_EQ(CommDlgExtendedError(), 0u);
}

TEST_F(FileDialogTest, ListShowsFoldersFirstThenMatchingFilesAndFollowsTheType) {
    std::vector<std::string> avi, all, in_sub;
    std::string path_line;
    win::automation::set_modal_hook([&](HWND dlg) {
        avi = listed(dlg);
        path_line = win::automation::window_text(GetDlgItem(dlg, fd::kPathLine));
        HWND combo = GetDlgItem(dlg, fd::kTypeCombo);
        SendMessageA(combo, CB_SETCURSEL, 1, 0);
        SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(fd::kTypeCombo, CBN_SELCHANGE), LPARAM(combo));
        all = listed(dlg);
        // A folder's name opens the folder.
        SetDlgItemTextA(dlg, fd::kNameEdit, "sub");
        SendMessageA(dlg, WM_COMMAND, IDOK, 0);
        in_sub = listed(dlg);
        win::automation::click_center(GetDlgItem(dlg, IDCANCEL));
    });
    EXPECT_FALSE(GetOpenFileNameA(&ofn));
    EXPECT_EQ(path_line, root.string());
    // Each file with its size.
    EXPECT_EQ(avi, (std::vector<std::string>{"../", "Another/", "sub/", "clip.avi  (1 byte)",
                                             "Movie.AVI  (1 byte)"}));
    EXPECT_EQ(all, (std::vector<std::string>{"../", "Another/", "sub/", "clip.avi  (1 byte)",
                                             "Movie.AVI  (1 byte)", "notes.txt  (1 byte)"}));
    EXPECT_EQ(in_sub, std::vector<std::string>{"../"});
}

TEST_F(FileDialogTest, OpenChecksThatTheFileExists) {
    ofn.Flags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST;
    win::dialogs::MessageBoxInfo said;
    HWND file_dialog = nullptr;
    win::automation::set_modal_hook([&](HWND w) {
        if (win::dialogs::message_box_info(w, &said)) {
            win::automation::press(w, VK_RETURN);
            // Then the existing file, typed into the dialog still up.
            static const char kName[] = "clip.avi";
            PostMessageA(GetDlgItem(file_dialog, fd::kNameEdit), WM_SETTEXT, 0, LPARAM(kName));
            PostMessageA(file_dialog, WM_COMMAND, IDOK, 0);
            return;
        }
        file_dialog = w;
        type_name(w, "missing");
    });
    ASSERT_TRUE(GetOpenFileNameA(&ofn));
    EXPECT_EQ(said.text, (root / "missing.avi").string() +
                             "\nFile not found.\nCheck the file name and try again.");
    EXPECT_EQ(said.caption, "Open");
    EXPECT_EQ(std::string(buffer), (root / "clip.avi").string());
}

TEST_F(FileDialogTest, SaveIntoAMissingFolderIsRefused) {
    win::dialogs::MessageBoxInfo said;
    HWND file_dialog = nullptr;
    win::automation::set_modal_hook([&](HWND w) {
        if (win::dialogs::message_box_info(w, &said)) {
            win::automation::press(w, VK_RETURN);
            PostMessageA(file_dialog, WM_COMMAND, IDCANCEL, 0);
            return;
        }
        file_dialog = w;
        type_name(w, "nowhere/x");
    });
    EXPECT_FALSE(GetSaveFileNameA(&ofn));
    EXPECT_EQ(said.text, (root / "nowhere" / "x.avi").string() +
                             "\nPath does not exist.\nCheck the path and try again.");
}

TEST_F(FileDialogTest, SmallBufferAndBadRecordFailWithTheirErrors) {
    char small[8] = {};
    ofn.lpstrFile = small;
    ofn.nMaxFile = sizeof small;
    win::automation::set_modal_hook([](HWND dlg) { type_name(dlg, "long enough name"); });
    EXPECT_FALSE(GetSaveFileNameA(&ofn));
    EXPECT_EQ(CommDlgExtendedError(), DWORD(FNERR_BUFFERTOOSMALL));
    WORD need = 0;
    std::memcpy(&need, small, 2);
    EXPECT_EQ(need, (root / "long enough name.avi").string().size() + 1);

    ofn.lStructSize = 10;
    EXPECT_FALSE(GetOpenFileNameA(&ofn));
    EXPECT_EQ(CommDlgExtendedError(), DWORD(CDERR_STRUCTSIZE));
    EXPECT_FALSE(GetOpenFileNameA(nullptr));
}

TEST_F(FileDialogTest, StartsInTheCurrentFolderThenRemembersTheLastOne) {
    std::string first, second;
    win::automation::set_modal_hook([&](HWND dlg) {
        first = win::automation::window_text(GetDlgItem(dlg, fd::kPathLine));
        type_name(dlg, "Another/a.avi");
    });
    ASSERT_TRUE(GetSaveFileNameA(&ofn));
    buffer[0] = 0;  // no name to start from: the remembered folder it is
    win::automation::set_modal_hook([&](HWND dlg) {
        second = win::automation::window_text(GetDlgItem(dlg, fd::kPathLine));
        win::automation::pump();
        win::automation::save_png(dlg, (old_cwd / "save_dialog.png").string().c_str());
        win::automation::press(dlg, VK_ESCAPE);
    });
    EXPECT_FALSE(GetSaveFileNameA(&ofn));
    EXPECT_EQ(first, root.string());
    EXPECT_EQ(second, (root / "Another").string());
    EXPECT_EQ(fs::current_path(), root);  // the dialogs never change it
}

TEST_F(FileDialogTest, EnterOnAFolderInTheListOpensItAndUpGoesBack) {
    std::string inside, after_up;
    std::vector<std::string> shown;
    win::automation::set_modal_hook([&](HWND dlg) {
        HWND list = GetDlgItem(dlg, fd::kFolderList);
        SendMessageA(dlg, WM_NEXTDLGCTL, WPARAM(list), TRUE);
        SendMessageA(list, LB_SETCURSEL, 2, 0);  // "sub/"
        SendMessageA(dlg, WM_COMMAND, IDOK, 0);  // what Enter does
        inside = win::automation::window_text(GetDlgItem(dlg, fd::kPathLine));
        shown = listed(dlg);
        SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(fd::kUpButton, BN_CLICKED),
                     LPARAM(GetDlgItem(dlg, fd::kUpButton)));
        after_up = win::automation::window_text(GetDlgItem(dlg, fd::kPathLine));
        win::automation::press(dlg, VK_ESCAPE);
    });
    EXPECT_FALSE(GetOpenFileNameA(&ofn));
    EXPECT_EQ(inside, (root / "sub").string());
    EXPECT_EQ(shown, std::vector<std::string>{"../"});
    EXPECT_EQ(after_up, root.string());
}

TEST_F(FileDialogTest, ChoosingAListedFileFillsTheNameAndDoubleClickReturnsIt) {
    std::string name_box;
    win::automation::set_modal_hook([&](HWND dlg) {
        HWND list = GetDlgItem(dlg, fd::kFolderList);
        SendMessageA(list, LB_SETCURSEL, 4, 0);  // "Movie.AVI"
        SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(fd::kFolderList, LBN_SELCHANGE), LPARAM(list));
        name_box = win::automation::window_text(GetDlgItem(dlg, fd::kNameEdit));
        SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(fd::kFolderList, LBN_DBLCLK), LPARAM(list));
    });
    ofn.Flags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST;
    ASSERT_TRUE(GetOpenFileNameA(&ofn));
    EXPECT_EQ(name_box, "Movie.AVI");
    EXPECT_EQ(std::string(buffer), (root / "Movie.AVI").string());
    EXPECT_EQ(ofn.nFileExtension, std::string(buffer).size() - 3);
}

TEST_F(FileDialogTest, SavingOverAReadOnlyFileIsRefused) {
    touch(root / "locked.avi");
    fs::permissions(root / "locked.avi", fs::perms::owner_read);
    win::dialogs::MessageBoxInfo said;
    HWND file_dialog = nullptr;
    win::automation::set_modal_hook([&](HWND w) {
        if (win::dialogs::message_box_info(w, &said)) {
            win::automation::press(w, VK_RETURN);
            PostMessageA(file_dialog, WM_COMMAND, IDCANCEL, 0);
            return;
        }
        file_dialog = w;
        type_name(w, "locked");
    });
    EXPECT_FALSE(GetSaveFileNameA(&ofn));
    EXPECT_EQ(said.text,
              (root / "locked.avi").string() +
                  "\nThis file is set to read-only.\nTry again with a different file name.");
}

// The user's places, "~" and pasted file:// names, natural order and type-ahead.
class FileDialogPlacesTest : public FileDialogTest {
  protected:
    void SetUp() override {
        FileDialogTest::SetUp();
        saved_home = getenv_or("HOME");
        saved_config = getenv_or("XDG_CONFIG_HOME");
        home = root / "home";
        fs::create_directories(home / "Schreibtisch");
        fs::create_directories(home / "Videos" / "holiday 2026");
        fs::create_directories(root / "config");
        // Desktop renamed, downloads missing: only folders that exist are offered.
        std::ofstream(root / "config" / "user-dirs.dirs")
            << "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n"
               "XDG_VIDEOS_DIR=\"$HOME/Videos\"\n";
        setenv("HOME", home.c_str(), 1);
        setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
    }
    void TearDown() override {
        restore("HOME", saved_home);
        restore("XDG_CONFIG_HOME", saved_config);
        FileDialogTest::TearDown();
    }
    static std::string getenv_or(const char* name) {
        const char* v = std::getenv(name);
        return v ? std::string(v) : std::string("\x01");
    }
    static void restore(const char* name, const std::string& v) {
        if (v == "\x01")
            unsetenv(name);
        else
            setenv(name, v.c_str(), 1);
    }
    static std::vector<std::string> look_in(HWND dlg) {
        std::vector<std::string> out;
        HWND combo = GetDlgItem(dlg, fd::kPathLine);
        LRESULT n = SendMessageA(combo, CB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < n; ++i) {
            char buf[512] = {};
            SendMessageA(combo, CB_GETLBTEXT, WPARAM(i), LPARAM(buf));
            out.push_back(buf);
        }
        return out;
    }
    std::string saved_home, saved_config;
    fs::path home;
};

TEST_F(FileDialogPlacesTest, LookInOffersThePlacesAndGoesToTheOneChosen) {
    std::vector<std::string> places, in_videos;
    std::string shown;
    touch(home / "Videos" / "trip.avi", "12345");
    win::automation::set_modal_hook([&](HWND dlg) {
        places = look_in(dlg);
        HWND combo = GetDlgItem(dlg, fd::kPathLine);
        SendMessageA(combo, CB_SETCURSEL, 3, 0);  // Videos
        SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(fd::kPathLine, CBN_SELCHANGE), LPARAM(combo));
        in_videos = listed(dlg);
        shown = win::automation::window_text(combo);
        type_name(dlg, "trip.avi");
    });
    ASSERT_TRUE(GetOpenFileNameA(&ofn));
    EXPECT_EQ(places, (std::vector<std::string>{
                          root.string(), "Home (" + home.string() + ")",
                          "Desktop (" + (home / "Schreibtisch").string() + ")",
                          "Videos (" + (home / "Videos").string() + ")", "File system (/)"}));
    EXPECT_EQ(in_videos, (std::vector<std::string>{"../", "holiday 2026/", "trip.avi  (5 bytes)"}));
    EXPECT_EQ(shown, (home / "Videos").string());
    EXPECT_EQ(std::string(buffer), (home / "Videos" / "trip.avi").string());
}

TEST_F(FileDialogPlacesTest, NamesFromHomeAndPastedFileAddresses) {
    touch(home / "Videos" / "holiday 2026" / "beach é.avi");
    const struct {
        std::string typed;
        fs::path wanted;
    } cases[] = {
        {"~/Videos/holiday 2026/beach é.avi", home / "Videos" / "holiday 2026" / "beach é.avi"},
        {"file://" + home.string() + "/Videos/holiday%202026/beach%20%C3%A9.avi\r\n",
         home / "Videos" / "holiday 2026" / "beach é.avi"},
        {"file://localhost" + root.string() + "/clip.avi", root / "clip.avi"},
    };
    ofn.Flags |= OFN_FILEMUSTEXIST;
    for (const auto& c : cases) {
        win::automation::set_modal_hook([&](HWND dlg) { type_name(dlg, c.typed); });
        ASSERT_TRUE(GetOpenFileNameA(&ofn)) << c.typed;
        EXPECT_EQ(std::string(buffer), c.wanted.string()) << c.typed;
    }
}

TEST_F(FileDialogPlacesTest, NumbersInNamesInOrderAndTypeAheadSelects) {
    for (const char* name : {"clip 10.avi", "clip 2.avi", "Clip 1.avi", "movie.avi"})
        touch(root / name);
    std::vector<std::string> order;
    std::string after_cl, after_mo, name_box;
    win::automation::set_modal_hook([&](HWND dlg) {
        order = listed(dlg);
        HWND list = GetDlgItem(dlg, fd::kFolderList);
        SendMessageA(dlg, WM_NEXTDLGCTL, WPARAM(list), TRUE);
        auto selected = [&] {
            char buf[256] = {};
            SendMessageA(list, LB_GETTEXT, WPARAM(SendMessageA(list, LB_GETCURSEL, 0, 0)),
                         LPARAM(buf));
            return std::string(buf);
        };
        SendMessageA(list, WM_CHAR, 'c', 0);
        SendMessageA(list, WM_CHAR, 'l', 0);
        after_cl = selected();
        SendMessageA(list, WM_CHAR, 'i', 0);
        SendMessageA(list, WM_CHAR, 'p', 0);
        SendMessageA(list, WM_CHAR, ' ', 0);
        SendMessageA(list, WM_CHAR, '2', 0);
        name_box = win::automation::window_text(GetDlgItem(dlg, fd::kNameEdit));
        win::automation::click_center(GetDlgItem(dlg, IDCANCEL));
    });
    EXPECT_FALSE(GetOpenFileNameA(&ofn));
    EXPECT_EQ(order, (std::vector<std::string>{"../", "Another/", "config/", "home/", "sub/",
                                               "Clip 1.avi  (1 byte)", "clip 2.avi  (1 byte)",
                                               "clip 10.avi  (1 byte)", "clip.avi  (1 byte)",
                                               "Movie.AVI  (1 byte)", "movie.avi  (1 byte)"}));
    EXPECT_EQ(after_cl, "Clip 1.avi  (1 byte)");
    EXPECT_EQ(name_box, "clip 2.avi");
}
