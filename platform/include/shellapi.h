/* The shell: handing a document or a web address to the desktop's opener. */
#pragma once

#include "windef.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Results of ShellExecuteA; values over 32 mean success. */
#define SE_ERR_FNF 2
#define SE_ERR_PNF 3
#define SE_ERR_ACCESSDENIED 5
#define SE_ERR_OOM 8
#define SE_ERR_SHARE 26
#define SE_ERR_ASSOCINCOMPLETE 27
#define SE_ERR_DDETIMEOUT 28
#define SE_ERR_DDEFAIL 29
#define SE_ERR_DDEBUSY 30
#define SE_ERR_NOASSOC 31
#define SE_ERR_DLLNOTFOUND 32

/* Opens a file (relative names resolve against dir, or against the current
   directory when dir is empty) or a web address in its associated program
   and returns at once. verb is null, "" or "open". */
HINSTANCE ShellExecuteA(HWND hwnd, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory,
                        INT showCommand);
#define ShellExecute ShellExecuteA

/* Files dropped onto a window that accepts them (WM_DROPFILES, wParam). */
DECLARE_HANDLE(HDROP);
/* index 0xFFFFFFFF: the number of files. Otherwise copies file `index`
   (cut to size - 1 bytes, always terminated) and returns its full length;
   with no buffer only the length. 0 for a stale handle or a bad index. */
UINT DragQueryFileA(HDROP drop, UINT index, LPSTR file, UINT size);
#define DragQueryFile DragQueryFileA
/* Where the files were dropped, in the window's client coordinates. */
BOOL DragQueryPoint(HDROP drop, POINT* point);
void DragFinish(HDROP drop);
/* Sets or clears WS_EX_ACCEPTFILES. */
void DragAcceptFiles(HWND hwnd, BOOL accept);

#ifdef __cplusplus
}
#endif
