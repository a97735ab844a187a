// A parsed resource script, before it is written out as C++ tables.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace rc {

// A resource's number, or its name in upper case (then id is 0).
struct Key {
    std::uint16_t id = 0;
    std::string name;
    bool operator==(const Key&) const = default;
    std::string describe() const { return name.empty() ? std::to_string(id) : name; }
};

struct Control {
    std::string class_name;
    std::string text;
    std::uint16_t text_id = 0;
    std::int32_t id = 0;
    std::uint32_t style = 0;
    std::uint32_t exstyle = 0;
    std::int16_t x = 0, y = 0, cx = 0, cy = 0;
};

struct Dialog {
    Key key;
    std::string caption;
    std::uint32_t style = 0;
    std::uint32_t exstyle = 0;
    std::string font_name;
    std::uint16_t point_size = 0;
    std::int16_t x = 0, y = 0, cx = 0, cy = 0;
    std::optional<Key> menu;
    std::string class_name;
    std::vector<Control> controls;
};

struct MenuItem {
    std::uint16_t depth = 0;
    std::uint32_t flags = 0;
    std::uint32_t id = 0;
    std::string text;
};

struct Menu {
    Key key;
    std::vector<MenuItem> items;  // pre-order
};

struct StringItem {
    std::uint16_t id = 0;
    std::string text;
};

struct FileItem {
    Key key;
    std::string path;  // as written in the script
    int line = 0;
};

struct Script {
    std::vector<Dialog> dialogs;
    std::vector<Menu> menus;
    std::vector<StringItem> strings;
    std::vector<FileItem> bitmaps;
    std::vector<FileItem> icons;
};

struct Diagnostic {
    int line = 0;
    std::string message;
};

}  // namespace rc
