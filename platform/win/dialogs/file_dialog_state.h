// One open or save dialog while it runs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "win/dialogs/file_dialog.h"
#include "win/dialogs/file_listing.h"
#include "win/dialogs/file_names.h"

namespace win::dialogs::file_dialog {

struct Entry {
    std::string name;
    bool folder = false;
    std::uintmax_t size = 0;  // files only
};

struct Run {
    OPENFILENAMEA* ofn = nullptr;
    bool save = false;
    std::string title;
    std::vector<files::FilterEntry> filters;
    int filter = 0;                    // index into filters
    std::string typed_pattern;         // wildcards typed into the name box replace the filter's
    std::string folder;                // absolute, no trailing slash but for "/"
    std::vector<Entry> entries;        // as listed
    std::vector<files::Place> places;  // the "Look in" list after the folder itself
    DWORD error = 0;
};

// Fills the "Look in" list: the folder shown, then the user's places.
void show_places(HWND dlg, Run& run);
// Lists run.folder into the list box and shows it in the path line.
void show_folder(HWND dlg, Run& run);
// Goes to another folder; false (and a message) when it cannot be read.
bool enter_folder(HWND dlg, Run& run, const std::string& folder);
// What OK does with the typed name or the selected entry.
void accept(HWND dlg, Run& run);

}  // namespace win::dialogs::file_dialog
