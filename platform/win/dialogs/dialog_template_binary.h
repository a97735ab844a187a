// In-memory dialog templates (DLGTEMPLATE and its items) as the platform
// lays them out, read into the engine's parsed form.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "win/resources/templates.h"
#include "winuser.h"

namespace win::dialogs {

// Null or an extended template (DLGTEMPLATEEX) gives nullopt.
std::optional<res::DialogTemplate> parse_dialog_template(const DLGTEMPLATE* data);

// Lays out a parsed template in the platform's in-memory form (WORD-aligned
// strings, DWORD-aligned items), for callers that hand templates to the
// platform's Indirect calls.
std::vector<std::uint16_t> build_dialog_template(const res::DialogTemplate& tmpl);

}  // namespace win::dialogs
