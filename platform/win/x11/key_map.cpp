#include "win/x11/key_map.h"

#include <X11/keysym.h>

#include "winuser.h"

namespace win::x11 {

namespace {

// Virtual keys the public headers do not name yet (US layout values).
constexpr UINT kVkClear = 0x0C;
constexpr UINT kVkCapital = 0x14;
constexpr UINT kVkLWin = 0x5B;
constexpr UINT kVkApps = 0x5D;
constexpr UINT kVkNumpad0 = 0x60;
constexpr UINT kVkMultiply = 0x6A;
constexpr UINT kVkAdd = 0x6B;
constexpr UINT kVkSubtract = 0x6D;
constexpr UINT kVkDecimal = 0x6E;
constexpr UINT kVkDivide = 0x6F;
constexpr UINT kVkNumLock = 0x90;
constexpr UINT kVkScroll = 0x91;

struct KeyPair {
    std::uint32_t keysym;
    UINT vk;
};

constexpr KeyPair kNamedKeys[] = {
    {XK_BackSpace, VK_BACK},
    {XK_Tab, VK_TAB},
    {XK_ISO_Left_Tab, VK_TAB},
    {XK_Return, VK_RETURN},
    {XK_KP_Enter, VK_RETURN},
    {XK_Escape, VK_ESCAPE},
    {XK_space, VK_SPACE},
    {XK_KP_Space, VK_SPACE},
    {XK_Pause, VK_PAUSE},
    {XK_Prior, VK_PRIOR},
    {XK_Next, VK_NEXT},
    {XK_End, VK_END},
    {XK_Home, VK_HOME},
    {XK_Left, VK_LEFT},
    {XK_Up, VK_UP},
    {XK_Right, VK_RIGHT},
    {XK_Down, VK_DOWN},
    {XK_Insert, VK_INSERT},
    {XK_Delete, VK_DELETE},
    {XK_KP_Prior, VK_PRIOR},
    {XK_KP_Next, VK_NEXT},
    {XK_KP_End, VK_END},
    {XK_KP_Home, VK_HOME},
    {XK_KP_Left, VK_LEFT},
    {XK_KP_Up, VK_UP},
    {XK_KP_Right, VK_RIGHT},
    {XK_KP_Down, VK_DOWN},
    {XK_KP_Insert, VK_INSERT},
    {XK_KP_Delete, VK_DELETE},
    {XK_KP_Begin, kVkClear},
    {XK_KP_Multiply, kVkMultiply},
    {XK_KP_Add, kVkAdd},
    {XK_KP_Subtract, kVkSubtract},
    {XK_KP_Divide, kVkDivide},
    {XK_Shift_L, VK_SHIFT},
    {XK_Shift_R, VK_SHIFT},
    {XK_Control_L, VK_CONTROL},
    {XK_Control_R, VK_CONTROL},
    {XK_Alt_L, VK_MENU},
    {XK_Alt_R, VK_MENU},
    {XK_Meta_L, VK_MENU},
    {XK_Meta_R, VK_MENU},
    {XK_Caps_Lock, kVkCapital},
    {XK_Num_Lock, kVkNumLock},
    {XK_Scroll_Lock, kVkScroll},
    {XK_Super_L, kVkLWin},
    {XK_Menu, kVkApps},
    // Punctuation keys of the US layout.
    {XK_semicolon, 0xBA},
    {XK_equal, 0xBB},
    {XK_comma, 0xBC},
    {XK_minus, 0xBD},
    {XK_period, 0xBE},
    {XK_slash, 0xBF},
    {XK_grave, 0xC0},
    {XK_bracketleft, 0xDB},
    {XK_backslash, 0xDC},
    {XK_bracketright, 0xDD},
    {XK_apostrophe, 0xDE},
};

}  // namespace

UINT virtual_key(std::uint32_t base, std::uint32_t typed) {
    // With Num Lock on the keypad types digits; the key is then a number key.
    if (typed >= XK_KP_0 && typed <= XK_KP_9) return kVkNumpad0 + (typed - XK_KP_0);
    if (typed == XK_KP_Decimal || typed == XK_KP_Separator) return kVkDecimal;
    if (base >= XK_a && base <= XK_z) return 'A' + (base - XK_a);
    if (base >= XK_A && base <= XK_Z) return base;
    if (base >= XK_0 && base <= XK_9) return base;
    if (base >= XK_F1 && base <= XK_F24) return VK_F1 + (base - XK_F1);
    if (base >= XK_KP_0 && base <= XK_KP_9) return kVkNumpad0 + (base - XK_KP_0);
    for (const KeyPair& k : kNamedKeys)
        if (k.keysym == base) return k.vk;
    return 0;
}

char typed_char(UINT vk, std::string_view typed_text) {
    // The Delete key types DEL on X but no character on this platform.
    if (vk == VK_DELETE || typed_text.size() != 1) return 0;
    return typed_text[0];
}

}  // namespace win::x11
