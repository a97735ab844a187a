// The open and save dialogs: a path line with Up, a list of the folder's
// sub-folders and of the files that match the chosen type, the "File name:"
// box and the "Files of type:" list. Built from a template like any dialog.
#include "win/dialogs/file_dialog.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "win/dialogs/dialogs.h"
#include "win/dialogs/file_dialog_state.h"
#include "win/dialogs/file_listing.h"

namespace win::dialogs::file_dialog {

namespace {

namespace fs = std::filesystem;
using res::DialogControl;

DialogControl item(const char* cls, const char* text, int id, DWORD style, int x, int y, int cx,
                   int cy, DWORD ex = 0) {
    DialogControl c;
    c.class_name = cls;
    c.text = text;
    c.id = id;
    c.style = WS_CHILD | WS_VISIBLE | style;
    c.exstyle = ex;
    c.x = x, c.y = y, c.cx = cx, c.cy = cy;
    return c;
}

res::DialogTemplate layout(const Run& run) {
    res::DialogTemplate t;
    t.caption = run.title;
    t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
    t.font_name = "MS Sans Serif";
    t.point_size = 8;
    t.cx = 281;
    t.cy = 152;
    t.controls = {
        item("STATIC", run.save ? "Save in:" : "Look in:", kFolderLabel, SS_LEFT | SS_NOPREFIX, 7,
             8, 42, 8),
        item("COMBOBOX", "", kPathLine, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 50, 6, 188, 90),
        item("BUTTON", "Up", kUpButton, BS_PUSHBUTTON | WS_TABSTOP, 242, 5, 32, 14),
        item("LISTBOX", "", kFolderList,
             LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP | WS_BORDER, 7, 24, 267,
             84, WS_EX_CLIENTEDGE),
        item("STATIC", "File name:", kNameLabel, SS_LEFT | SS_NOPREFIX, 7, 116, 50, 8),
        item("EDIT", "", kNameEdit, ES_AUTOHSCROLL | WS_TABSTOP | WS_BORDER, 60, 114, 156, 12,
             WS_EX_CLIENTEDGE),
        item("BUTTON", run.save ? "Save" : "Open", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 222, 113,
             52, 14),
        item("STATIC", "Files of type:", kTypeLabel, SS_LEFT | SS_NOPREFIX, 7, 134, 50, 8),
        item("COMBOBOX", "", kTypeCombo, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 60, 132, 156,
             60),
        item("BUTTON", "Cancel", IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 222, 131, 52, 14),
    };
    return t;
}

bool less_natural(const Entry& a, const Entry& b) { return files::natural_less(a.name, b.name); }

std::string parent_of(const std::string& folder) {
    if (folder == "/") return folder;
    std::string p = fs::path(folder).parent_path().string();
    return p.empty() ? "/" : p;
}

const Entry* selected_entry(HWND dlg, const Run& run) {
    LRESULT sel = SendDlgItemMessageA(dlg, kFolderList, LB_GETCURSEL, 0, 0);
    if (sel < 0) return nullptr;
    LRESULT index = SendDlgItemMessageA(dlg, kFolderList, LB_GETITEMDATA, WPARAM(sel), 0);
    if (index < 0 || size_t(index) >= run.entries.size()) return nullptr;
    return &run.entries[size_t(index)];
}

// The initial name and folder from lpstrFile and lpstrInitialDir.
void initial_place(Run& run, std::string* name) {
    const OPENFILENAMEA& o = *run.ofn;
    std::string given;
    if (o.lpstrFile) given.assign(o.lpstrFile, strnlen(o.lpstrFile, o.nMaxFile));
    std::string folder;
    if (o.lpstrInitialDir && *o.lpstrInitialDir)
        folder = files::resolve_typed(starting_folder(), o.lpstrInitialDir);
    if (given.find('/') != std::string::npos) {
        std::string full = files::resolve_typed(folder.empty() ? starting_folder() : folder, given);
        folder = parent_of(full);
        given = fs::path(full).filename().string();
    }
    std::error_code ec;
    if (folder.empty() || !fs::is_directory(folder, ec)) folder = starting_folder();
    run.folder = folder;
    *name = given;
}

INT_PTR CALLBACK proc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    auto* run = reinterpret_cast<Run*>(GetWindowLongPtrA(dlg, DWLP_USER));
    switch (msg) {
        case WM_INITDIALOG: {
            run = reinterpret_cast<Run*>(lp);
            SetWindowLongPtrA(dlg, DWLP_USER, lp);
            for (const files::FilterEntry& f : run->filters)
                SendDlgItemMessageA(dlg, kTypeCombo, CB_ADDSTRING, 0,
                                    LPARAM(f.description.c_str()));
            SendDlgItemMessageA(dlg, kTypeCombo, CB_SETCURSEL, WPARAM(run->filter), 0);
            std::string name;
            initial_place(*run, &name);
            SetDlgItemTextA(dlg, kNameEdit, name.c_str());
            show_folder(dlg, *run);
            SendMessageA(dlg, WM_NEXTDLGCTL, WPARAM(GetDlgItem(dlg, kNameEdit)), TRUE);
            SendDlgItemMessageA(dlg, kNameEdit, EM_SETSEL, 0, -1);
            return FALSE;
        }
        case WM_COMMAND: {
            if (!run) return FALSE;
            int id = LOWORD(wp), code = HIWORD(wp);
            if (id == IDOK) {
                accept(dlg, *run);
            } else if (id == IDCANCEL) {
                EndDialog(dlg, FALSE);
            } else if (id == kUpButton && code == BN_CLICKED) {
                enter_folder(dlg, *run, parent_of(run->folder));
            } else if (id == kPathLine && code == CBN_SELCHANGE) {
                LRESULT sel = SendDlgItemMessageA(dlg, kPathLine, CB_GETCURSEL, 0, 0);
                if (sel >= 1 && size_t(sel) <= run->places.size()) {
                    std::string place = run->places[size_t(sel) - 1].path;
                    if (!enter_folder(dlg, *run, place)) show_places(dlg, *run);
                }
            } else if (id == kTypeCombo && code == CBN_SELCHANGE) {
                LRESULT sel = SendDlgItemMessageA(dlg, kTypeCombo, CB_GETCURSEL, 0, 0);
                if (sel >= 0) run->filter = int(sel);
                run->typed_pattern.clear();
                show_folder(dlg, *run);
            } else if (id == kFolderList && code == LBN_SELCHANGE) {
                if (const Entry* e = selected_entry(dlg, *run); e && !e->folder)
                    SetDlgItemTextA(dlg, kNameEdit, e->name.c_str());
            } else if (id == kFolderList && code == LBN_DBLCLK) {
                if (const Entry* e = selected_entry(dlg, *run)) {
                    if (e->folder)
                        enter_folder(dlg, *run, files::resolve_typed(run->folder, e->name));
                    else
                        accept(dlg, *run);
                }
            }
            return TRUE;
        }
    }
    return FALSE;
}

}  // namespace

void show_folder(HWND dlg, Run& run) {
    std::vector<Entry> folders, names;
    std::error_code ec;
    const std::vector<std::string>* patterns = nullptr;
    std::vector<std::string> typed;
    if (!run.typed_pattern.empty()) {
        typed = {run.typed_pattern};
        patterns = &typed;
    } else if (size_t(run.filter) < run.filters.size()) {
        patterns = &run.filters[size_t(run.filter)].patterns;
    }
    for (fs::directory_iterator it(run.folder, fs::directory_options::skip_permission_denied, ec),
         end;
         !ec && it != end; it.increment(ec)) {
        std::string name = it->path().filename().string();
        if (name.empty() || name[0] == '.') continue;  // hidden, as the desktop keeps them
        std::error_code e2;
        if (it->is_directory(e2))
            folders.push_back({name, true});
        else if (!patterns || files::matches(name, *patterns))
            names.push_back({name, false, it->file_size(e2)});
    }
    std::sort(folders.begin(), folders.end(), less_natural);
    std::sort(names.begin(), names.end(), less_natural);
    run.entries.clear();
    if (run.folder != "/") run.entries.push_back({"..", true});
    run.entries.insert(run.entries.end(), folders.begin(), folders.end());
    run.entries.insert(run.entries.end(), names.begin(), names.end());

    HWND list = GetDlgItem(dlg, kFolderList);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (size_t i = 0; i < run.entries.size(); ++i) {
        const Entry& e = run.entries[i];
        std::string shown =
            e.folder ? e.name + "/" : e.name + "  (" + files::size_text(e.size) + ")";
        LRESULT at = SendMessageA(list, LB_ADDSTRING, 0, LPARAM(shown.c_str()));
        if (at >= 0) SendMessageA(list, LB_SETITEMDATA, WPARAM(at), LPARAM(i));
    }
    show_places(dlg, run);
}

void show_places(HWND dlg, Run& run) {
    // The folder shown comes first, then the places to go to from it.
    HWND look_in = GetDlgItem(dlg, kPathLine);
    SendMessageA(look_in, CB_RESETCONTENT, 0, 0);
    SendMessageA(look_in, CB_ADDSTRING, 0, LPARAM(run.folder.c_str()));
    run.places = files::existing_user_places();
    for (const files::Place& p : run.places) {
        std::string shown = p.label + " (" + p.path + ")";
        SendMessageA(look_in, CB_ADDSTRING, 0, LPARAM(shown.c_str()));
    }
    SendMessageA(look_in, CB_SETCURSEL, 0, 0);
}

bool enter_folder(HWND dlg, Run& run, const std::string& folder) {
    std::error_code ec;
    fs::directory_iterator probe(folder, ec);
    if (ec) {
        std::string text = folder + "\nThe folder cannot be opened.\n" + ec.message() + ".";
        MessageBoxA(dlg, text.c_str(), run.title.c_str(), MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    run.folder = folder;
    run.typed_pattern.clear();
    show_folder(dlg, run);
    return true;
}

BOOL run(OPENFILENAMEA* ofn, bool save, DWORD* error) {
    Run r;
    r.ofn = ofn;
    r.save = save;
    r.title = ofn->lpstrTitle ? ofn->lpstrTitle : save ? "Save As" : "Open";
    r.filters = files::parse_filter(ofn->lpstrFilter);
    if (ofn->nFilterIndex >= 1 && ofn->nFilterIndex <= r.filters.size())
        r.filter = int(ofn->nFilterIndex) - 1;
    INT_PTR result = dialog_box(layout(r), nullptr, ofn->hwndOwner, proc, LPARAM(&r));
    *error = result < 0 ? CDERR_DIALOGFAILURE : r.error;
    return result > 0 ? TRUE : FALSE;
}

}  // namespace win::dialogs::file_dialog
