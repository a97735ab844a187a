// Registration of every control class, on request and only once.
#include "commctrl.h"
#include "win/controls/control_classes.h"
#include "win/controls/control_common.h"

namespace win::controls {
namespace {

void register_one(const char* name, WNDPROC proc, UINT style) {
    WNDCLASSA existing{};
    if (GetClassInfoA(nullptr, name, &existing)) return;
    WNDCLASSA wc{};
    wc.style = style | CS_GLOBALCLASS;
    wc.lpfnWndProc = proc;
    wc.cbWndExtra = kStateBytes;
    wc.lpszClassName = name;
    RegisterClassA(&wc);
}

}  // namespace

void register_all() {
    register_one("Button", button_proc, CS_DBLCLKS);
    register_one("Static", static_proc, 0);
    register_one("Edit", edit_proc, CS_DBLCLKS);
    register_one("ListBox", listbox_proc, CS_DBLCLKS);
    register_one("ComboBox", combobox_proc, CS_DBLCLKS);
    register_one(kComboListClass, listbox_proc, CS_DBLCLKS | CS_SAVEBITS);
    register_one(TRACKBAR_CLASSA, trackbar_proc, 0);
    register_one(PROGRESS_CLASSA, progress_proc, 0);
}

}  // namespace win::controls

extern "C" {

void InitCommonControls(void) { win::controls::register_all(); }

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* icc) {
    if (!icc || icc->dwSize != sizeof(INITCOMMONCONTROLSEX)) return FALSE;
    win::controls::register_all();
    return TRUE;
}

}  // extern "C"
