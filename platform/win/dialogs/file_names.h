// The rules of the file dialogs that need no window: the filter list, which
// names a filter shows, the default extension, how a typed name becomes a
// path, and the offsets handed back.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "windef.h"

namespace win::dialogs::files {

struct FilterEntry {
    std::string description;
    std::vector<std::string> patterns;  // "*.avi", "*.*"...
};

// "Name\0*.a;*.b\0Other\0*.*\0\0": pairs up to the empty string. A pair
// without a pattern ends the list.
std::vector<FilterEntry> parse_filter(const char* filter);

// Wildcards * and ?, case-blind as on the classic platform; "*.*" also
// matches names without a dot.
bool matches(std::string_view name, const std::vector<std::string>& patterns);

// The extension (no dot) to add to a typed name that has none: the selected
// filter's own extension when it is concrete, else the default extension
// (given as "avi", ".avi" or "*.avi"); nothing when no default was given or
// the filter is "*.".
std::string extension_to_add(const FilterEntry* selected, const char* default_ext);

// True when the last part of the path has an extension (a dot after its
// first character, a trailing dot included).
bool has_extension(std::string_view path);

// A typed name, relative or absolute ("~/" for the home folder, or a pasted
// file:// address), as a normal absolute path in the given folder.
std::string resolve_typed(const std::string& folder, const std::string& typed);

struct Offsets {
    WORD file = 0;       // start of the last part
    WORD extension = 0;  // just after the dot; the end with no dot; 0 after a trailing dot
};
Offsets offsets_of(std::string_view path);

}  // namespace win::dialogs::files
