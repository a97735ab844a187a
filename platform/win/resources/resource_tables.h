// The constant tables that the resource compiler emits for one module. Only
// literal types, so a generated module is constant-initialised and installing
// it is an explicit call, never a side effect of loading the program.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace win::res {

// A resource is known by a number (name null) or by an upper-case name (id 0).
struct ResourceKey {
    std::uint16_t id = 0;
    const char* name = nullptr;
};

struct ControlEntry {
    const char* class_name;
    const char* text;
    std::uint16_t text_id;  // non-zero when the text names a resource (picture statics)
    std::int32_t id;
    std::uint32_t style;
    std::uint32_t exstyle;
    std::int16_t x, y, cx, cy;  // dialog units
};

struct DialogEntry {
    ResourceKey key;
    const char* caption;
    std::uint32_t style;
    std::uint32_t exstyle;
    const char* font_name;  // empty when the template sets no font
    std::uint16_t point_size;
    std::int16_t x, y, cx, cy;  // dialog units
    ResourceKey menu;           // {0, nullptr} for none
    const char* class_name;     // empty for the standard dialog class
    std::span<const ControlEntry> controls;
};

// Menu items in pre-order; an item's depth says which popup holds it.
struct MenuItemEntry {
    std::uint16_t depth;
    std::uint32_t flags;  // menu_flag bits
    std::uint32_t id;
    const char* text;
};

struct MenuEntry {
    ResourceKey key;
    std::span<const MenuItemEntry> items;
};

struct StringEntry {
    std::uint16_t id;
    const char* text;
};

// A file embedded whole: a .bmp for bitmaps, a .ico for icons.
struct BlobEntry {
    ResourceKey key;
    std::span<const std::uint8_t> bytes;
};

struct Module {
    const char* name;
    std::span<const DialogEntry> dialogs;
    std::span<const MenuEntry> menus;
    std::span<const StringEntry> strings;
    std::span<const BlobEntry> bitmaps;
    std::span<const BlobEntry> icons;
};

// Menu item flags, with the platform's MF_ values.
namespace menu_flag {
inline constexpr std::uint32_t grayed = 0x0001;
inline constexpr std::uint32_t disabled = 0x0002;
inline constexpr std::uint32_t checked = 0x0008;
inline constexpr std::uint32_t popup = 0x0010;
inline constexpr std::uint32_t menubarbreak = 0x0020;
inline constexpr std::uint32_t menubreak = 0x0040;
inline constexpr std::uint32_t separator = 0x0800;
inline constexpr std::uint32_t help = 0x4000;
}  // namespace menu_flag

}  // namespace win::res
