// What OK does in the open and save dialogs: a folder is entered, wildcards
// filter the list, and a file name is checked (folder there, file there when
// it must be, replace only after the user said Yes) before it is handed back.
#include <strings.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "win/dialogs/dialogs.h"
#include "win/dialogs/file_dialog_state.h"

namespace win::dialogs::file_dialog {

namespace {

namespace fs = std::filesystem;

std::string trimmed(std::string s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.pop_back();
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.erase(0, 1);
    return s;
}

std::string name_text(HWND dlg) {
    char buf[4096] = {};
    GetDlgItemTextA(dlg, kNameEdit, buf, sizeof buf);
    return buf;
}

int warn(HWND dlg, const Run& run, const std::string& text, UINT buttons = MB_OK) {
    return MessageBoxA(dlg, text.c_str(), run.title.c_str(), buttons | MB_ICONEXCLAMATION);
}

void back_to_name(HWND dlg) {
    SendMessageA(dlg, WM_NEXTDLGCTL, WPARAM(GetDlgItem(dlg, kNameEdit)), TRUE);
    SendDlgItemMessageA(dlg, kNameEdit, EM_SETSEL, 0, -1);
}

// Read-only as the user sees it: no write permission for anyone, or none
// for us.
bool read_only(const std::string& p) {
    std::error_code ec;
    fs::perms perms = fs::status(p, ec).permissions();
    if (ec) return false;
    const fs::perms any_write =
        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    return (perms & any_write) == fs::perms::none || access(p.c_str(), W_OK) != 0;
}

bool exists(const std::string& p) {
    std::error_code ec;
    return fs::exists(p, ec);
}

bool is_folder(const std::string& p) {
    std::error_code ec;
    return fs::is_directory(p, ec);
}

// Copies the path into the caller's buffers; false when lpstrFile is too
// small, which leaves the needed size in its first two bytes.
bool hand_back(Run& run, const std::string& path) {
    OPENFILENAMEA& o = *run.ofn;
    if (path.size() + 1 > o.nMaxFile || path.size() + 1 > 0xFFFF) {
        run.error = FNERR_BUFFERTOOSMALL;
        if (o.nMaxFile >= 2) {
            WORD need = WORD(std::min<size_t>(path.size() + 1, 0xFFFF));
            std::memcpy(o.lpstrFile, &need, 2);
        }
        return false;
    }
    std::memcpy(o.lpstrFile, path.c_str(), path.size() + 1);
    files::Offsets off = files::offsets_of(path);
    o.nFileOffset = off.file;
    o.nFileExtension = off.extension;
    if (o.lpstrFileTitle && o.nMaxFileTitle > 0) {
        std::string title = path.substr(off.file);
        size_t n = std::min<size_t>(title.size(), o.nMaxFileTitle - 1);
        std::memcpy(o.lpstrFileTitle, title.data(), n);
        o.lpstrFileTitle[n] = 0;
    }
    o.nFilterIndex = DWORD(run.filter + 1);
    std::string ext =
        off.extension && off.extension < path.size() ? path.substr(off.extension) : "";
    std::string def = o.lpstrDefExt ? files::extension_to_add(nullptr, o.lpstrDefExt) : "";
    if (o.lpstrDefExt && strcasecmp(ext.c_str(), def.c_str()) != 0)
        o.Flags |= OFN_EXTENSIONDIFFERENT;
    else
        o.Flags &= ~DWORD(OFN_EXTENSIONDIFFERENT);
    return true;
}

// The path for a typed name: with the default extension when it has none.
// An open dialog takes the bare name when only that exists.
std::string with_extension(const Run& run, const std::string& path) {
    if (files::has_extension(path)) return path;
    const files::FilterEntry* f =
        size_t(run.filter) < run.filters.size() ? &run.filters[size_t(run.filter)] : nullptr;
    std::string ext = files::extension_to_add(f, run.ofn->lpstrDefExt);
    if (ext.empty()) return path;
    std::string candidate = path + "." + ext;
    if (!run.save && !exists(candidate) && exists(path)) return path;
    return candidate;
}

}  // namespace

void accept(HWND dlg, Run& run) {
    const OPENFILENAMEA& o = *run.ofn;
    // Enter on a folder in the list opens it.
    HWND list = GetDlgItem(dlg, kFolderList);
    std::string typed = trimmed(name_text(dlg));
    LRESULT sel = SendMessageA(list, LB_GETCURSEL, 0, 0);
    if (sel >= 0 && (GetFocus() == list || typed.empty())) {
        LRESULT index = SendMessageA(list, LB_GETITEMDATA, WPARAM(sel), 0);
        if (index >= 0 && size_t(index) < run.entries.size() && run.entries[size_t(index)].folder) {
            enter_folder(dlg, run,
                         files::resolve_typed(run.folder, run.entries[size_t(index)].name));
            return;
        }
    }
    if (typed.empty()) return;

    std::string path = files::resolve_typed(run.folder, typed);
    if (typed.find_first_of("*?") != std::string::npos) {
        // A pattern: show what matches it, in its folder.
        std::string folder = fs::path(path).parent_path().string();
        if (folder.empty()) folder = "/";
        std::string pattern = fs::path(path).filename().string();
        if (folder != run.folder && !enter_folder(dlg, run, folder)) return;
        run.typed_pattern = pattern;
        show_folder(dlg, run);
        return;
    }
    if (is_folder(path)) {
        if (enter_folder(dlg, run, path)) SetDlgItemTextA(dlg, kNameEdit, "");
        return;
    }
    path = with_extension(run, path);
    std::string folder = fs::path(path).parent_path().string();
    if (folder.empty()) folder = "/";

    bool must_have_folder = run.save || (o.Flags & (OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST));
    if (must_have_folder && !is_folder(folder)) {
        warn(dlg, run, path + "\nPath does not exist.\nCheck the path and try again.");
        back_to_name(dlg);
        return;
    }
    bool there = exists(path);
    if (there && is_folder(path)) {
        if (enter_folder(dlg, run, path)) SetDlgItemTextA(dlg, kNameEdit, "");
        return;
    }
    if (!run.save) {
        if (!there && (o.Flags & OFN_FILEMUSTEXIST)) {
            warn(dlg, run, path + "\nFile not found.\nCheck the file name and try again.");
            back_to_name(dlg);
            return;
        }
        if (!there && (o.Flags & OFN_CREATEPROMPT) &&
            warn(dlg, run, path + "\nThis file does not exist.\nDo you want to create it?",
                 MB_YESNO) != IDYES) {
            back_to_name(dlg);
            return;
        }
    } else if (there) {
        if (read_only(path)) {
            warn(dlg, run,
                 path + "\nThis file is set to read-only.\nTry again with a different file name.");
            back_to_name(dlg);
            return;
        }
        if ((o.Flags & OFN_OVERWRITEPROMPT) &&
            warn(dlg, run, path + " already exists.\nDo you want to replace it?", MB_YESNO) !=
                IDYES) {
            back_to_name(dlg);
            return;
        }
    }
    if (!hand_back(run, path)) {
        EndDialog(dlg, FALSE);
        return;
    }
    remember_folder(folder);
    EndDialog(dlg, TRUE);
}

}  // namespace win::dialogs::file_dialog
