// Menus made from the templates in a module's resources.
#include "win/resources/resource_name.h"
#include "win/resources/templates.h"
#include "winuser.h"

namespace {

bool fill(HMENU menu, const std::vector<win::res::MenuTemplateItem>& items, int depth) {
    if (depth > 16) return false;
    for (const auto& item : items) {
        BOOL ok;
        if (item.is_popup()) {
            HMENU popup = CreatePopupMenu();
            if (!fill(popup, item.children, depth + 1)) {
                DestroyMenu(popup);
                return false;
            }
            ok = AppendMenuA(menu, (item.flags & ~MF_SEPARATOR) | MF_POPUP, UINT_PTR(popup),
                             item.text.c_str());
            if (!ok) DestroyMenu(popup);
        } else if (item.is_separator()) {
            ok = AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        } else {
            ok = AppendMenuA(menu, item.flags, item.id, item.text.c_str());
        }
        if (!ok) return false;
    }
    return true;
}

}  // namespace

extern "C" HMENU LoadMenuA(HINSTANCE module, LPCSTR name) {
    auto found = win::res::find_menu(win::res::ResourceName::from_platform(name), module);
    if (!found) return nullptr;
    HMENU bar = CreateMenu();
    if (!fill(bar, found->items, 0)) {
        DestroyMenu(bar);
        return nullptr;
    }
    return bar;
}
