// Tables that hand out opaque handles: an index, a kind and a generation
// packed into a pointer-sized value, so a stale or bogus handle is caught by
// the lookup instead of being dereferenced.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace win {

enum class HandleKind : std::uint8_t {
    Window = 1,
    DeviceContext,
    Brush,
    Pen,
    Bitmap,
    Font,
    Icon,
    Menu,
    Instance,
    Region,
    DrawDib,
    Drop,
    AviFile = 0xA1,
    AviStream,
    GetFrame,
};

// Layout of a handle value: generation (32 bits) | kind (8 bits) | slot + 1 (24 bits).
inline std::uintptr_t pack_handle(HandleKind kind, std::uint32_t slot, std::uint32_t generation) {
    return (std::uintptr_t{generation} << 32) | (std::uintptr_t(kind) << 24) | (slot + 1);
}

inline HandleKind handle_kind(const void* handle) {
    return HandleKind((reinterpret_cast<std::uintptr_t>(handle) >> 24) & 0xff);
}

template <typename T>
class HandleTable {
  public:
    // The most slots a handle value can name.
    static constexpr std::uint32_t kMaxSlots = 0xffffff;

    explicit HandleTable(HandleKind kind, std::uint32_t max_slots = kMaxSlots)
        : kind_(kind), max_slots_(std::min(max_slots, kMaxSlots)) {}

    // Takes ownership; returns the handle value, or 0 when every slot is in
    // use (the object is then destroyed).
    std::uintptr_t add(std::unique_ptr<T> object) {
        std::uint32_t slot;
        if (!free_.empty()) {
            slot = free_.back();
            free_.pop_back();
        } else if (slots_.size() < max_slots_) {
            slot = std::uint32_t(slots_.size());
            slots_.push_back({});
        } else {
            return 0;
        }
        Slot& s = slots_[slot];
        s.object = std::move(object);
        return pack_handle(kind_, slot, s.generation);
    }

    T* get(std::uintptr_t value) const {
        const Slot* s = find(value);
        return s ? s->object.get() : nullptr;
    }

    template <typename H>
    T* get(H handle) const {
        return get(reinterpret_cast<std::uintptr_t>(handle));
    }

    // Removes and returns the object; the handle turns stale at once.
    std::unique_ptr<T> remove(std::uintptr_t value) {
        Slot* s = const_cast<Slot*>(find(value));
        if (!s) return nullptr;
        std::unique_ptr<T> out = std::move(s->object);
        // A slot whose generation wraps is retired: reusing it could revive
        // a handle that went stale long ago.
        if (++s->generation != 0) free_.push_back(std::uint32_t(s - slots_.data()));
        return out;
    }

    template <typename H>
    std::unique_ptr<T> remove(H handle) {
        return remove(reinterpret_cast<std::uintptr_t>(handle));
    }

    template <typename F>
    void for_each(F&& f) const {
        for (std::size_t i = 0; i < slots_.size(); ++i)
            if (slots_[i].object)
                f(pack_handle(kind_, std::uint32_t(i), slots_[i].generation), *slots_[i].object);
    }

    std::size_t size() const { return slots_.size() - free_.size(); }

  private:
    struct Slot {
        std::unique_ptr<T> object;
        std::uint32_t generation = 1;
    };

    const Slot* find(std::uintptr_t value) const {
        if (HandleKind((value >> 24) & 0xff) != kind_) return nullptr;
        std::uint32_t low = value & 0xffffff;
        if (low == 0 || low > slots_.size()) return nullptr;
        const Slot& s = slots_[low - 1];
        if (!s.object || s.generation != std::uint32_t(value >> 32)) return nullptr;
        return &s;
    }

    HandleKind kind_;
    std::uint32_t max_slots_;
    std::vector<Slot> slots_;
    std::vector<std::uint32_t> free_;
};

template <typename H>
H to_handle(std::uintptr_t value) {
    return reinterpret_cast<H>(value);
}

}  // namespace win
