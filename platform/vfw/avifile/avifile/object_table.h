// Handles of the AVIFile layer: an index, a kind and a generation packed into
// the pointer value, so a released or bogus handle is caught by the lookup
// instead of being dereferenced.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace vfw {

template <typename T, std::uint8_t Kind>
class ObjectTable {
public:
    std::uintptr_t add(std::unique_ptr<T> object) {
        std::uint32_t slot;
        if (!free_.empty()) {
            slot = free_.back();
            free_.pop_back();
        } else {
            slot = std::uint32_t(slots_.size());
            slots_.push_back({});
        }
        slots_[slot].object = std::move(object);
        return pack(slot, slots_[slot].generation);
    }

    T* get(const void* handle) const {
        const Slot* s = find(reinterpret_cast<std::uintptr_t>(handle));
        return s ? s->object.get() : nullptr;
    }

    std::unique_ptr<T> remove(const void* handle) {
        Slot* s = const_cast<Slot*>(find(reinterpret_cast<std::uintptr_t>(handle)));
        if (!s) return nullptr;
        std::unique_ptr<T> out = std::move(s->object);
        ++s->generation;
        free_.push_back(std::uint32_t(s - slots_.data()));
        return out;
    }

    std::size_t size() const { return slots_.size() - free_.size(); }

private:
    struct Slot {
        std::unique_ptr<T> object;
        std::uint32_t generation = 1;
    };

    static std::uintptr_t pack(std::uint32_t slot, std::uint32_t generation) {
        return (std::uintptr_t{generation} << 32) | (std::uintptr_t{Kind} << 24) | (slot + 1);
    }

    const Slot* find(std::uintptr_t value) const {
        if (((value >> 24) & 0xff) != Kind) return nullptr;
        std::uint32_t low = value & 0xffffff;
        if (low == 0 || low > slots_.size()) return nullptr;
        const Slot& s = slots_[low - 1];
        if (!s.object || s.generation != std::uint32_t(value >> 32)) return nullptr;
        return &s;
    }

    std::vector<Slot> slots_;
    std::vector<std::uint32_t> free_;
};

}  // namespace vfw
