#include "win/resources/templates.h"

#include "winuser.h"

namespace win::res {

namespace {

std::string str(const char* s) { return s ? std::string(s) : std::string(); }

// Builds the children of one level from the pre-order list; `pos` advances
// past every item that belongs to this level or below.
void build_level(std::span<const MenuItemEntry> items, std::size_t& pos, std::uint16_t depth,
                 std::vector<MenuTemplateItem>& out) {
    while (pos < items.size() && items[pos].depth == depth) {
        const MenuItemEntry& e = items[pos++];
        MenuTemplateItem item{str(e.text), e.id, e.flags, {}};
        if (item.is_popup()) build_level(items, pos, std::uint16_t(depth + 1), item.children);
        out.push_back(std::move(item));
    }
    // Items deeper than a popup allows (a malformed table) are skipped, never
    // attached to the wrong parent.
    while (pos < items.size() && items[pos].depth > depth) ++pos;
}

}  // namespace

DialogTemplate to_template(const DialogEntry& e) {
    DialogTemplate t;
    t.caption = str(e.caption);
    t.style = e.style;
    t.exstyle = e.exstyle;
    t.font_name = str(e.font_name);
    t.point_size = e.point_size;
    t.x = e.x;
    t.y = e.y;
    t.cx = e.cx;
    t.cy = e.cy;
    if (e.menu.id || e.menu.name) t.menu = to_name(e.menu);
    t.class_name = str(e.class_name);
    t.controls.reserve(e.controls.size());
    for (const ControlEntry& c : e.controls)
        t.controls.push_back({str(c.class_name), str(c.text), c.text_id, c.id, c.style, c.exstyle,
                              c.x, c.y, c.cx, c.cy});
    return t;
}

MenuTemplate to_template(const MenuEntry& e) {
    MenuTemplate t;
    std::size_t pos = 0;
    while (pos < e.items.size()) build_level(e.items, pos, 0, t.items);
    return t;
}

std::optional<DialogTemplate> find_dialog(const ResourceName& name, HINSTANCE instance) {
    const DialogEntry* e = find_dialog_entry(name, instance);
    if (!e) return std::nullopt;
    return to_template(*e);
}

std::optional<MenuTemplate> find_menu(const ResourceName& name, HINSTANCE instance) {
    const MenuEntry* e = find_menu_entry(name, instance);
    if (!e) return std::nullopt;
    return to_template(*e);
}

DialogControl control(const char* class_name, const char* text, int id, DWORD style, int x, int y,
                      int cx, int cy) {
    DialogControl c;
    c.class_name = class_name;
    c.text = text;
    c.id = id;
    c.style = WS_CHILD | WS_VISIBLE | style;
    c.x = x, c.y = y, c.cx = cx, c.cy = cy;
    return c;
}

}  // namespace win::res
