#include "vfw/avifile/sample_map.h"

#include <algorithm>

namespace vfw {

void SampleMap::build(const std::vector<riff::IndexEntry>& index, std::uint32_t sample_size) {
    index_ = &index;
    sample_size_ = sample_size;
    starts_.clear();
    keys_.clear();
    if (sample_size_) {
        starts_.reserve(index.size() + 1);
        std::uint64_t total = 0;
        for (const riff::IndexEntry& e : index) {
            starts_.push_back(total);
            total += e.size / sample_size_;
        }
        starts_.push_back(total);
    } else {
        std::size_t n = std::min<std::size_t>(index.size(), 0x7FFFFFFF);
        for (std::size_t i = 0; i < n; ++i)
            if (index[i].key == 1) keys_.push_back(std::int32_t(i));
    }
}

std::int32_t SampleMap::length() const {
    std::uint64_t n = sample_size_ ? (starts_.empty() ? 0 : starts_.back()) : entry_count();
    return std::int32_t(std::min<std::uint64_t>(n, 0x7FFFFFFF));
}

bool SampleMap::locate(std::int64_t pos, std::size_t& entry, std::uint64_t& byte) const {
    if (pos < 0 || pos >= length()) return false;
    if (!sample_size_) {
        entry = std::size_t(pos);
        byte = 0;
        return true;
    }
    // The last chunk whose first sample is at or before pos; empty chunks
    // share their start with the next one, and upper_bound steps past them.
    auto it = std::upper_bound(starts_.begin(), starts_.end() - 1, std::uint64_t(pos));
    entry = std::size_t(it - starts_.begin()) - 1;
    byte = (std::uint64_t(pos) - starts_[entry]) * sample_size_;
    return true;
}

std::int64_t SampleMap::samples_left_in_chunk(std::int64_t pos) const {
    std::size_t entry;
    std::uint64_t byte;
    if (!locate(pos, entry, byte)) return 0;
    if (!sample_size_) return 1;
    return std::int64_t(starts_[entry + 1] - std::uint64_t(pos));
}

bool SampleMap::is_key(std::int64_t pos) const {
    if (pos < 0 || pos >= length()) return false;
    if (sample_size_) return true;
    return std::binary_search(keys_.begin(), keys_.end(), std::int32_t(pos));
}

std::int64_t SampleMap::key_at_or_before(std::int64_t pos) const {
    if (pos < 0 || length() == 0) return -1;
    pos = std::min<std::int64_t>(pos, length() - 1);
    if (sample_size_) return pos;
    auto it = std::upper_bound(keys_.begin(), keys_.end(), pos);
    return it == keys_.begin() ? -1 : *(it - 1);
}

std::int64_t SampleMap::key_at_or_after(std::int64_t pos) const {
    pos = std::max<std::int64_t>(pos, 0);
    if (pos >= length()) return -1;
    if (sample_size_) return pos;
    auto it = std::lower_bound(keys_.begin(), keys_.end(), pos);
    return it == keys_.end() ? -1 : *it;
}

}  // namespace vfw
