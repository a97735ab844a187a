/* Dialogs from templates, the dialog keyboard and message boxes. */
#pragma once

#include "windef.h"
#include "winuser_controls.h" /* the DLGC_ codes controls answer with */

#ifdef __cplusplus
extern "C" {
#endif

/* In-memory templates: the fixed heads; menu, class, caption, font and each
   item's class, text and creation data follow as WORD-aligned variable data,
   and each item starts on a DWORD boundary. */
#pragma pack(push, 2)
typedef struct {
    DWORD style;
    DWORD dwExtendedStyle;
    WORD cdit;
    short x;
    short y;
    short cx;
    short cy;
} DLGTEMPLATE, *LPDLGTEMPLATEA;
typedef const DLGTEMPLATE* LPCDLGTEMPLATEA;
typedef LPCDLGTEMPLATEA LPCDLGTEMPLATE;

typedef struct {
    DWORD style;
    DWORD dwExtendedStyle;
    short x;
    short y;
    short cx;
    short cy;
    WORD id;
} DLGITEMTEMPLATE;
#pragma pack(pop)

#define DLGWINDOWEXTRA 30
#define WC_DIALOG "#32770"

#ifndef DM_GETDEFID
#define DM_GETDEFID (0x0400 + 0)
#define DM_SETDEFID (0x0400 + 1)
#define DM_REPOSITION (0x0400 + 2)
#define DC_HASDEFID 0x534B
#endif

#ifndef IDOK
#define IDOK 1
#define IDCANCEL 2
#define IDABORT 3
#define IDRETRY 4
#define IDIGNORE 5
#define IDYES 6
#define IDNO 7
#define IDCLOSE 8
#define IDHELP 9
#endif

#ifndef MB_OK
#define MB_OK 0x00000000L
#define MB_OKCANCEL 0x00000001L
#define MB_ABORTRETRYIGNORE 0x00000002L
#define MB_YESNOCANCEL 0x00000003L
#define MB_YESNO 0x00000004L
#define MB_RETRYCANCEL 0x00000005L
#define MB_ICONHAND 0x00000010L
#define MB_ICONQUESTION 0x00000020L
#define MB_ICONEXCLAMATION 0x00000030L
#define MB_ICONASTERISK 0x00000040L
#define MB_ICONERROR MB_ICONHAND
#define MB_ICONSTOP MB_ICONHAND
#define MB_ICONWARNING MB_ICONEXCLAMATION
#define MB_ICONINFORMATION MB_ICONASTERISK
#define MB_DEFBUTTON1 0x00000000L
#define MB_DEFBUTTON2 0x00000100L
#define MB_DEFBUTTON3 0x00000200L
#define MB_APPLMODAL 0x00000000L
#define MB_SYSTEMMODAL 0x00001000L
#define MB_TASKMODAL 0x00002000L
#define MB_SETFOREGROUND 0x00010000L
#define MB_TOPMOST 0x00040000L
#define MB_TYPEMASK 0x0000000FL
#define MB_ICONMASK 0x000000F0L
#define MB_DEFMASK 0x00000F00L
#define MB_MODEMASK 0x00003000L
#endif

/* Creating dialogs. A template is named by number (MAKEINTRESOURCE) or by
   name and found among the installed resource modules. */
HWND CreateDialogParamA(HINSTANCE inst, LPCSTR templateName, HWND parent, DLGPROC proc,
                        LPARAM param);
HWND CreateDialogIndirectParamA(HINSTANCE inst, LPCDLGTEMPLATEA tmpl, HWND parent, DLGPROC proc,
                                LPARAM param);
#define CreateDialogA(i, t, p, f) CreateDialogParamA(i, t, p, f, 0)
#define CreateDialogIndirectA(i, t, p, f) CreateDialogIndirectParamA(i, t, p, f, 0)

/* Modal dialogs: the owner is disabled while the dialog runs; the result is
   EndDialog's value, or -1 when the dialog could not be made. */
INT_PTR DialogBoxParamA(HINSTANCE inst, LPCSTR templateName, HWND owner, DLGPROC proc,
                        LPARAM param);
INT_PTR DialogBoxIndirectParamA(HINSTANCE inst, LPCDLGTEMPLATEA tmpl, HWND owner, DLGPROC proc,
                                LPARAM param);
#define DialogBoxA(i, t, o, f) DialogBoxParamA(i, t, o, f, 0)
#define DialogBoxIndirectA(i, t, o, f) DialogBoxIndirectParamA(i, t, o, f, 0)
BOOL EndDialog(HWND dlg, INT_PTR result);
LRESULT DefDlgProcA(HWND dlg, UINT msg, WPARAM wp, LPARAM lp);

/* Items. */
UINT GetDlgItemTextA(HWND dlg, int id, LPSTR out, int max);
BOOL SetDlgItemTextA(HWND dlg, int id, LPCSTR text);
UINT GetDlgItemInt(HWND dlg, int id, BOOL* translated, BOOL isSigned);
BOOL SetDlgItemInt(HWND dlg, int id, UINT value, BOOL isSigned);
BOOL CheckDlgButton(HWND dlg, int id, UINT check);
UINT IsDlgButtonChecked(HWND dlg, int id);
BOOL CheckRadioButton(HWND dlg, int firstId, int lastId, int checkId);
LRESULT SendDlgItemMessageA(HWND dlg, int id, UINT msg, WPARAM wp, LPARAM lp);
HWND GetNextDlgTabItem(HWND dlg, HWND ctl, BOOL previous);
HWND GetNextDlgGroupItem(HWND dlg, HWND ctl, BOOL previous);

/* Dialog units: MapDialogRect uses the dialog's font (6 x 13 for the 8-point
   dialog font); GetDialogBaseUnits gives the system font's units. */
BOOL MapDialogRect(HWND dlg, LPRECT rect);
LONG GetDialogBaseUnits(void);

/* The dialog keyboard: TRUE when the message was meant for the dialog and
   has been handled (dispatched included). */
BOOL IsDialogMessageA(HWND dlg, LPMSG msg);
#define IsDialogMessage IsDialogMessageA

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
#define MessageBox MessageBoxA

#ifdef __cplusplus
}
#endif
