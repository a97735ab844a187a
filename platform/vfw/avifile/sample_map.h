// Maps sample positions onto a stream's chunks. Positions count from 0 at
// the stream's first chunk whatever its header's start says. A stream with
// a fixed sample size (audio) holds size / sample_size samples per chunk;
// any other stream holds one sample per chunk.
#pragma once

#include <cstdint>
#include <vector>

#include "vfw/riff/avi_reader.h"

namespace vfw {

class SampleMap {
  public:
    void build(const std::vector<riff::IndexEntry>& index, std::uint32_t sample_size);

    std::uint32_t sample_size() const { return sample_size_; }
    bool fixed_size() const { return sample_size_ != 0; }
    // Samples in the stream, clamped to what a LONG position can reach.
    std::int32_t length() const;
    std::size_t entry_count() const { return index_ ? index_->size() : 0; }
    const riff::IndexEntry& entry(std::size_t i) const { return (*index_)[i]; }

    // The chunk holding sample pos and the sample's first byte inside it.
    [[nodiscard]] bool locate(std::int64_t pos, std::size_t& entry, std::uint64_t& byte) const;
    // Samples from pos to the end of the chunk holding it.
    std::int64_t samples_left_in_chunk(std::int64_t pos) const;

    bool is_key(std::int64_t pos) const;
    // Replaces the index's key flags (positions of key samples, ascending).
    void set_keys(std::vector<std::int32_t> keys) { keys_ = std::move(keys); }
    // Nearest key sample at or before / at or after pos; -1 when none.
    std::int64_t key_at_or_before(std::int64_t pos) const;
    std::int64_t key_at_or_after(std::int64_t pos) const;

  private:
    const std::vector<riff::IndexEntry>* index_ = nullptr;
    std::uint32_t sample_size_ = 0;
    std::vector<std::uint64_t> starts_;  // fixed size: first sample of each chunk, then the total
    std::vector<std::int32_t> keys_;     // one sample per chunk: positions of key samples
};

}  // namespace vfw
