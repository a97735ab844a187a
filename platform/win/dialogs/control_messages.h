// Message numbers of the standard controls that the dialog manager sends;
// kept here so the manager does not depend on the controls' headers.
#pragma once

#include "windef.h"

namespace win::dialogs::msg {

inline constexpr UINT bm_getcheck = 0x00F0;
inline constexpr UINT bm_setcheck = 0x00F1;
inline constexpr UINT bm_setstyle = 0x00F4;
inline constexpr UINT bm_click = 0x00F5;
inline constexpr UINT em_setsel = 0x00B1;
inline constexpr UINT bn_clicked = 0;

inline constexpr DWORD bs_typemask = 0x0F;
inline constexpr DWORD bs_pushbutton = 0x00;
inline constexpr DWORD bs_defpushbutton = 0x01;
inline constexpr DWORD bs_checkbox = 0x02;
inline constexpr DWORD bs_autocheckbox = 0x03;
inline constexpr DWORD bs_radiobutton = 0x04;
inline constexpr DWORD bs_3state = 0x05;
inline constexpr DWORD bs_auto3state = 0x06;
inline constexpr DWORD bs_groupbox = 0x07;
inline constexpr DWORD bs_autoradiobutton = 0x09;
inline constexpr DWORD bs_ownerdraw = 0x0B;

}  // namespace win::dialogs::msg
