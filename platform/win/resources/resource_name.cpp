#include "win/resources/resource_name.h"

#include <cctype>
#include <charconv>

namespace win::res {

namespace {

char upper(char c) { return char(std::toupper(static_cast<unsigned char>(c))); }

bool equal_ignoring_case(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (upper(a[i]) != upper(b[i])) return false;
    return true;
}

}  // namespace

ResourceName::ResourceName(std::string_view name) {
    if (name.size() > 1 && name[0] == '#') {
        unsigned value = 0;
        auto [end, ec] = std::from_chars(name.data() + 1, name.data() + name.size(), value);
        if (ec == std::errc() && end == name.data() + name.size() && value <= 0xffff) {
            id_ = std::uint16_t(value);
            return;
        }
    }
    name_.reserve(name.size());
    for (char c : name) name_.push_back(upper(c));
}

ResourceName ResourceName::from_platform(LPCSTR name) {
    if (IS_INTRESOURCE(name)) return ResourceName(int(reinterpret_cast<ULONG_PTR>(name)));
    return ResourceName(std::string_view(name));
}

bool ResourceName::matches(const ResourceKey& key) const {
    if (is_number()) return key.name == nullptr && key.id == id_;
    return key.name != nullptr && equal_ignoring_case(name_, key.name);
}

ResourceName to_name(const ResourceKey& key) {
    if (key.name) return ResourceName(std::string_view(key.name));
    return ResourceName(int(key.id));
}

}  // namespace win::res
