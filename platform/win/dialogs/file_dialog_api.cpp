// GetOpenFileNameA, GetSaveFileNameA and CommDlgExtendedError, and the folder
// remembered between dialogs during one run.
#include <unistd.h>

#include <cstddef>
#include <string>

#include "win/dialogs/file_dialog.h"

namespace win::dialogs::file_dialog {

namespace {

struct Memory {
    DWORD last_error = 0;
    std::string last_folder;
};

Memory& memory() {
    static Memory m;
    return m;
}

static_assert(sizeof(OPENFILENAMEA) == 152);
static_assert(offsetof(OPENFILENAMEA, nFilterIndex) == 44);
static_assert(offsetof(OPENFILENAMEA, lpstrFile) == 48);
static_assert(offsetof(OPENFILENAMEA, Flags) == 96);
static_assert(offsetof(OPENFILENAMEA, nFileOffset) == 100);
static_assert(offsetof(OPENFILENAMEA, nFileExtension) == 102);
static_assert(offsetof(OPENFILENAMEA, lpstrDefExt) == 104);
static_assert(offsetof(OPENFILENAMEA, pvReserved) == OPENFILENAME_SIZE_VERSION_400A);
static_assert(offsetof(OPENFILENAMEA, FlagsEx) == 148);

BOOL checked_run(OPENFILENAMEA* ofn, bool save) {
    DWORD& error = memory().last_error;
    error = 0;
    if (!ofn || (ofn->lStructSize != sizeof(OPENFILENAMEA) &&
                 ofn->lStructSize != OPENFILENAME_SIZE_VERSION_400A)) {
        error = CDERR_STRUCTSIZE;
        return FALSE;
    }
    if (!ofn->lpstrFile || ofn->nMaxFile == 0) {
        error = CDERR_INITIALIZATION;
        return FALSE;
    }
    return run(ofn, save, &error);
}

}  // namespace

std::string starting_folder() {
    if (!memory().last_folder.empty() && access(memory().last_folder.c_str(), X_OK) == 0)
        return memory().last_folder;
    char buf[4096];
    return getcwd(buf, sizeof buf) ? std::string(buf) : std::string("/");
}

void remember_folder(const std::string& folder) { memory().last_folder = folder; }

}  // namespace win::dialogs::file_dialog

using namespace win::dialogs::file_dialog;

extern "C" {

BOOL GetOpenFileNameA(LPOPENFILENAMEA ofn) { return checked_run(ofn, false); }
BOOL GetSaveFileNameA(LPOPENFILENAMEA ofn) { return checked_run(ofn, true); }
DWORD CommDlgExtendedError(void) { return memory().last_error; }

}  // extern "C"
