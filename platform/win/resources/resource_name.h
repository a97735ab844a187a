// How a caller names a resource: a number or a name, names compared without
// regard to case so that a caption "St" plus "U" finds "STU".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "win/resources/resource_tables.h"
#include "windef.h"

namespace win::res {

class ResourceName {
  public:
    ResourceName() = default;
    ResourceName(int id) : id_(std::uint16_t(id)) {}  // NOLINT: numbers convert as in the platform
    ResourceName(std::string_view name);              // "#12" names number 12
    ResourceName(const char* name) : ResourceName(std::string_view(name ? name : "")) {}
    ResourceName(const std::string& name) : ResourceName(std::string_view(name)) {}

    // Understands MAKEINTRESOURCE values as well as strings.
    static ResourceName from_platform(LPCSTR name);

    bool is_number() const { return name_.empty(); }
    std::uint16_t id() const { return id_; }
    const std::string& name() const { return name_; }
    bool empty() const { return is_number() && id_ == 0; }

    bool matches(const ResourceKey& key) const;
    bool operator==(const ResourceName&) const = default;

  private:
    std::uint16_t id_ = 0;
    std::string name_;  // upper case
};

ResourceName to_name(const ResourceKey& key);

}  // namespace win::res
