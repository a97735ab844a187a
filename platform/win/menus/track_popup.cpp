// Popup menus shown at a point (context menus).
#include "win/menus/menu_tracker.h"

using namespace win::menus;

extern "C" BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int, HWND owner, const RECT*) {
    if (!IsWindow(owner) || !IsMenu(menu) || tracking()) return FALSE;
    TrackRequest r;
    r.owner = owner;
    r.popup = menu;
    r.popup_at = POINT{x, y};
    r.tpm_flags = flags;
    r.by_mouse = true;
    long result = track(r);
    if (result < 0) return FALSE;
    return (flags & TPM_RETURNCMD) ? BOOL(result) : TRUE;
}
