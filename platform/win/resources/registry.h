// The installed resource modules. A program installs its generated module
// once at start-up; tests install their own and remove them again.
#pragma once

#include "win/resources/resource_name.h"
#include "win/resources/resource_tables.h"
#include "windef.h"

namespace win::res {

// Returns the module's instance handle; installing a module again returns
// the handle it already has.
[[nodiscard]] HINSTANCE install(const Module& module);
// The handle turns stale; false when it named no installed module.
bool uninstall(HINSTANCE instance);
// The first module installed and still present, or null.
HINSTANCE main_instance();

// Raw table lookups. A null instance searches every installed module in the
// order of installation; a stale instance finds nothing.
const DialogEntry* find_dialog_entry(const ResourceName& name, HINSTANCE instance = nullptr);
const MenuEntry* find_menu_entry(const ResourceName& name, HINSTANCE instance = nullptr);
const StringEntry* find_string_entry(std::uint16_t id, HINSTANCE instance = nullptr);
const BlobEntry* find_bitmap_entry(const ResourceName& name, HINSTANCE instance = nullptr);
const BlobEntry* find_icon_entry(const ResourceName& name, HINSTANCE instance = nullptr);

enum class ResourceType { dialog, menu, string, bitmap, icon };

// The first installed module holding the resource, or null: what a framework
// asks before loading from a module (for strings, the name is the number).
HINSTANCE module_holding(ResourceType type, const ResourceName& name);

}  // namespace win::res
