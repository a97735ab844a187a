// Keys as the X server names them (keysyms) turned into the platform's
// virtual-key codes and the character a key press types. Kept free of X
// headers so the table can be tested without a display.
#pragma once

#include <cstdint>
#include <string_view>

#include "windef.h"

namespace win::x11 {

// base: the key's keysym without modifiers (group 0, level 0), so that 'a'
// and 'A' are the same key. typed: the keysym the modifiers produce, which
// tells keypad digits (Num Lock on) from keypad arrows. 0 for unknown keys.
UINT virtual_key(std::uint32_t base, std::uint32_t typed);

// The character for WM_CHAR, from the Latin-1 text the key press typed;
// 0 when the key types nothing, or types more than one character.
char typed_char(UINT vk, std::string_view typed_text);

}  // namespace win::x11
