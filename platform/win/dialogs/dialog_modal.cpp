// Modal and modeless dialogs through the platform's calls, and EndDialog.
// A modal dialog disables its owner, runs a nested loop that keeps every
// other window (timers included) going, and gives the owner back its
// activation before it goes.
#include <optional>

#include "win/core/modal_loop.h"
#include "win/dialogs/dialog_state.h"
#include "win/dialogs/dialog_template_binary.h"
#include "win/resources/templates.h"

namespace win::dialogs {

namespace {

void give_back_owner(DialogState& st) {
    if (st.owner_disabled && IsWindow(st.owner)) EnableWindow(st.owner, TRUE);
    st.owner_disabled = false;
    if (IsWindow(st.owner)) SetActiveWindow(st.owner);
}

std::optional<res::DialogTemplate> named_template(HINSTANCE inst, LPCSTR name) {
    if (!name) return std::nullopt;
    return res::find_dialog(res::ResourceName::from_platform(name), inst);
}

}  // namespace

INT_PTR run_modal(HWND dialog, HWND owner, const std::function<bool(MSG&)>& filter) {
    DialogState* st = dialog_state(dialog);
    if (!st) return -1;
    st->modal = true;
    st->owner = owner;
    if (owner && IsWindow(owner) && IsWindowEnabled(owner) && !st->ended) {
        EnableWindow(owner, FALSE);
        st->owner_disabled = true;
    }
    if (!st->ended && !IsWindowVisible(dialog)) ShowWindow(dialog, SW_SHOWNORMAL);
    run_modal_loop(
        dialog, [dialog] { return dialog_ended(dialog); },
        [dialog, &filter](MSG& m) {
            return filter ? filter(m) : IsDialogMessageA(dialog, &m) != FALSE;
        });
    INT_PTR result = 0;
    if ((st = dialog_state(dialog))) {
        result = st->result;
        give_back_owner(*st);
    } else if (owner && IsWindow(owner)) {
        // The dialog went without EndDialog (destroyed from inside).
        EnableWindow(owner, TRUE);
        SetActiveWindow(owner);
    }
    if (IsWindow(dialog)) DestroyWindow(dialog);
    return result;
}

INT_PTR dialog_box(const res::DialogTemplate& tmpl, HINSTANCE instance, HWND owner, DLGPROC proc,
                   LPARAM param) {
    while (owner && (GetWindowLongA(owner, GWL_STYLE) & WS_CHILD)) owner = GetParent(owner);
    res::DialogTemplate hidden = tmpl;
    // The modal run shows it once WM_INITDIALOG is done.
    hidden.style &= ~WS_VISIBLE;
    HWND dlg = create_dialog(hidden, instance, owner, proc, param);
    if (!dlg) return -1;
    return run_modal(dlg, owner);
}

}  // namespace win::dialogs

using namespace win;
using namespace win::dialogs;

extern "C" {

BOOL EndDialog(HWND dlg, INT_PTR result) {
    DialogState* st = dialog_state(dlg);
    if (!st) return FALSE;
    st->ended = true;
    st->result = result;
    if (st->modal) {
        give_back_owner(*st);
        ShowWindow(dlg, SW_HIDE);
    }
    return TRUE;
}

HWND CreateDialogParamA(HINSTANCE inst, LPCSTR name, HWND parent, DLGPROC proc, LPARAM param) {
    auto tmpl = named_template(inst, name);
    return tmpl ? create_dialog(*tmpl, inst, parent, proc, param) : nullptr;
}

HWND CreateDialogIndirectParamA(HINSTANCE inst, LPCDLGTEMPLATEA data, HWND parent, DLGPROC proc,
                                LPARAM param) {
    auto tmpl = parse_dialog_template(data);
    return tmpl ? create_dialog(*tmpl, inst, parent, proc, param) : nullptr;
}

INT_PTR DialogBoxParamA(HINSTANCE inst, LPCSTR name, HWND owner, DLGPROC proc, LPARAM param) {
    auto tmpl = named_template(inst, name);
    return tmpl ? dialog_box(*tmpl, inst, owner, proc, param) : -1;
}

INT_PTR DialogBoxIndirectParamA(HINSTANCE inst, LPCDLGTEMPLATEA data, HWND owner, DLGPROC proc,
                                LPARAM param) {
    auto tmpl = parse_dialog_template(data);
    return tmpl ? dialog_box(*tmpl, inst, owner, proc, param) : -1;
}

}  // extern "C"
