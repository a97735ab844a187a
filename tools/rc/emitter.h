// Writes a parsed script as a C++ source of constant tables.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "script.h"

namespace rc {

struct EmitOptions {
    std::string module_name;  // stored in the Module
    std::string function;     // the generated accessor: const win::res::Module& function()
    std::string source_name;  // named in the header comment
};

// `bitmap_bytes[i]` and `icon_bytes[i]` hold the files of script.bitmaps[i]
// and script.icons[i].
std::string emit_cpp(const Script& script,
                     const std::vector<std::vector<std::uint8_t>>& bitmap_bytes,
                     const std::vector<std::vector<std::uint8_t>>& icon_bytes,
                     const EmitOptions& options);

// A C++ string literal that reads back as exactly `text`.
std::string cpp_literal(const std::string& text);

}  // namespace rc
