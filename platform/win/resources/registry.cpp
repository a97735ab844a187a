#include "win/resources/registry.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "win/base/handle_table.h"

namespace win::res {

namespace {

struct Installed {
    const Module* module;
    std::uint64_t order;
};

struct Registry {
    HandleTable<Installed> table{HandleKind::Instance};
    std::uint64_t next_order = 0;
};

Registry& registry() {
    static Registry r;
    return r;
}

// Installed modules, oldest first.
std::vector<const Module*> search_list(HINSTANCE instance) {
    std::vector<const Module*> out;
    Registry& r = registry();
    if (instance) {
        if (const Installed* m = r.table.get(instance)) out.push_back(m->module);
        return out;
    }
    std::vector<Installed> all;
    r.table.for_each([&](std::uintptr_t, const Installed& m) { all.push_back(m); });
    std::sort(all.begin(), all.end(),
              [](const Installed& a, const Installed& b) { return a.order < b.order; });
    for (const Installed& m : all) out.push_back(m.module);
    return out;
}

template <typename Entry>
const Entry* find_keyed(std::span<const Entry> Module::*field, const ResourceName& name,
                        HINSTANCE instance) {
    for (const Module* m : search_list(instance))
        for (const Entry& e : m->*field)
            if (name.matches(e.key)) return &e;
    return nullptr;
}

}  // namespace

HINSTANCE install(const Module& module) {
    Registry& r = registry();
    std::uintptr_t found = 0;
    r.table.for_each([&](std::uintptr_t handle, const Installed& m) {
        if (m.module == &module) found = handle;
    });
    if (found) return to_handle<HINSTANCE>(found);
    return to_handle<HINSTANCE>(
        r.table.add(std::make_unique<Installed>(Installed{&module, r.next_order++})));
}

bool uninstall(HINSTANCE instance) { return registry().table.remove(instance) != nullptr; }

HINSTANCE main_instance() {
    Registry& r = registry();
    std::uintptr_t best = 0;
    std::uint64_t best_order = UINT64_MAX;
    r.table.for_each([&](std::uintptr_t handle, const Installed& m) {
        if (m.order < best_order) {
            best_order = m.order;
            best = handle;
        }
    });
    return to_handle<HINSTANCE>(best);
}

const DialogEntry* find_dialog_entry(const ResourceName& name, HINSTANCE instance) {
    return find_keyed(&Module::dialogs, name, instance);
}

const MenuEntry* find_menu_entry(const ResourceName& name, HINSTANCE instance) {
    return find_keyed(&Module::menus, name, instance);
}

const BlobEntry* find_bitmap_entry(const ResourceName& name, HINSTANCE instance) {
    return find_keyed(&Module::bitmaps, name, instance);
}

const BlobEntry* find_icon_entry(const ResourceName& name, HINSTANCE instance) {
    return find_keyed(&Module::icons, name, instance);
}

const StringEntry* find_string_entry(std::uint16_t id, HINSTANCE instance) {
    for (const Module* m : search_list(instance))
        for (const StringEntry& e : m->strings)
            if (e.id == id) return &e;
    return nullptr;
}

HINSTANCE module_holding(ResourceType type, const ResourceName& name) {
    std::uintptr_t found = 0;
    std::uint64_t best_order = UINT64_MAX;
    registry().table.for_each([&](std::uintptr_t handle, const Installed& m) {
        if (m.order >= best_order) return;
        HINSTANCE h = to_handle<HINSTANCE>(handle);
        bool has = false;
        switch (type) {
            case ResourceType::dialog:
                has = find_dialog_entry(name, h);
                break;
            case ResourceType::menu:
                has = find_menu_entry(name, h);
                break;
            case ResourceType::string:
                has = name.is_number() && find_string_entry(name.id(), h);
                break;
            case ResourceType::bitmap:
                has = find_bitmap_entry(name, h);
                break;
            case ResourceType::icon:
                has = find_icon_entry(name, h);
                break;
        }
        if (has) {
            found = handle;
            best_order = m.order;
        }
    });
    return to_handle<HINSTANCE>(found);
}

}  // namespace win::res
