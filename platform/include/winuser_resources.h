/* Resources of a module: bitmaps, icons and strings. */
#pragma once

#include "windef.h"

#ifdef __cplusplus
extern "C" {
#endif

/* A null module searches every installed resource module in the order they
   were installed. Names are matched without regard to case; "#123" and
   MAKEINTRESOURCE(123) both name resource number 123. */
HBITMAP LoadBitmapA(HINSTANCE module, LPCSTR name);
HICON LoadIconA(HINSTANCE module, LPCSTR name);
int LoadStringA(HINSTANCE module, UINT id, LPSTR buffer, int bufferMax);

#ifdef __cplusplus
}
#endif
