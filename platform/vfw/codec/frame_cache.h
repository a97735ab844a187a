// The frames a frame decoder has handed out, kept as the packed DIBs they were,
// so that showing one again costs no decode. Bounded by bytes, not frames, so
// large and small pictures alike get a sensible depth. The least recently shown
// goes first, and its memory takes the next frame: once the cache is full,
// keeping a frame costs neither a copy nor fresh pages.
#pragma once

#include <cstdint>
#include <list>
#include <memory>
#include <unordered_map>

namespace vfw::codec {

class FrameCache {
  public:
    explicit FrameCache(std::size_t limit) : limit_(limit) {}

    // The DIB kept for `position`, now the most recently shown; null if none is.
    std::uint8_t* find(std::int64_t position);
    // Room for the `bytes` of the DIB at `position`, which becomes its entry: the
    // caller writes the frame there. Null when the bound cannot hold it or memory
    // runs out; the caller then writes elsewhere and nothing is kept.
    std::uint8_t* insert(std::int64_t position, std::size_t bytes);
    // Drops the entry for `position` (a frame that could not be written after all).
    void erase(std::int64_t position);

    void set_limit(std::size_t bytes);
    std::size_t bytes() const { return bytes_; }

  private:
    struct Entry {
        std::int64_t position;
        std::size_t size;
        std::unique_ptr<std::uint8_t[]> dib;
    };
    // Drops the least recently shown entries until `room` more bytes fit; hands back
    // the memory of one dropped entry of exactly that size, for reuse.
    std::unique_ptr<std::uint8_t[]> make_room(std::size_t room);
    void drop_oldest();

    std::list<Entry> entries_;  // most recently shown first
    std::unordered_map<std::int64_t, std::list<Entry>::iterator> index_;
    std::size_t bytes_ = 0;
    std::size_t limit_;
};

}  // namespace vfw::codec
