// The three ways to a sample index: OpenDML standard indexes reached through
// each stream's super index, the legacy idx1, and a scan of the movi lists.
// A loader that meets anything inconsistent gives up so that the next one
// can try; the scan always yields what the file really holds.
#include <algorithm>
#include <set>

#include "vfw/riff/avi_reader.h"
#include "vfw/riff/internal/chunk_cursor.h"

namespace vfw::riff {

bool AviReader::chunk_id_at(std::uint64_t pos, std::uint32_t id) const {
    std::uint8_t head[4];
    return ok(file_.read_at(pos, head, 4)) && load_u32(head) == id;
}

bool AviReader::note_palette_change(std::uint32_t chunk_id, std::uint64_t data,
                                    std::uint32_t size) {
    const int stream = stream_of_chunk(chunk_id);
    if (chunk_twocc(chunk_id) != kTwoccPalette || stream < 0 ||
        std::size_t(stream) >= streams_.size())
        return false;
    StreamData& s = streams_[std::size_t(stream)];
    // A change holds at most 256 entries after its 4-byte head.
    if (size >= 4 && size <= 4 + 256 * 4 && data <= file_.size() && size <= file_.size() - data)
        s.palette_changes.push_back({std::uint32_t(s.index.size()), data, size});
    return true;
}

bool AviReader::load_open_dml_index() {
    bool any = std::any_of(streams_.begin(), streams_.end(),
                           [](const StreamData& s) { return !s.super_index.empty(); });
    if (!any) return false;
    const std::uint64_t file_size = file_.size();
    std::size_t total = 0;
    for (std::size_t si = 0; si < streams_.size(); ++si) {
        StreamData& stream = streams_[si];
        std::set<std::uint64_t> seen;  // a standard index named twice is read once
        for (const SuperIndexEntry& super : stream.super_index) {
            std::uint64_t at = std::uint64_t(super.offset_low) | std::uint64_t(super.offset_high)
                                                                     << 32;
            if (!seen.insert(at).second) continue;
            std::uint8_t head[8 + sizeof(IndexHeader)];
            if (!ok(file_.read_at(at, head, sizeof head))) return false;
            std::uint64_t chunk_size = load_u32(head + 4);
            if (chunk_size < sizeof(IndexHeader) || at + 8 + chunk_size > file_size) return false;
            auto h = load_record<IndexHeader>(head + 8, sizeof(IndexHeader));
            if (h.longs_per_entry != 2 || h.type != kIndexOfChunks) return false;
            std::uint64_t count = h.entries_in_use;
            if (count > (chunk_size - sizeof(IndexHeader)) / 8) return false;
            total += count;
            if (total > entry_cap()) return false;
            std::uint64_t base =
                std::uint64_t(h.base_offset_low) | std::uint64_t(h.base_offset_high) << 32;
            std::vector<std::uint8_t> raw(count * 8);
            if (!ok(file_.read_at(at + sizeof head, raw.data(), raw.size()))) return false;
            for (std::uint64_t i = 0; i < count; ++i) {
                std::uint32_t off = load_u32(&raw[i * 8]), size_field = load_u32(&raw[i * 8 + 4]);
                std::uint32_t size = size_field & ~kDeltaFrameBit;
                std::uint64_t data = base + off;
                if (data < base || data > file_size || size > file_size - data) return false;
                stream.index.push_back({data, size, (size_field & kDeltaFrameBit) ? 0u : 1u});
            }
        }
    }
    // Standard indexes list a stream's data chunks only. The palette changes of
    // 8-bit video come from a scan, each in force from the first indexed chunk after it.
    const auto paletted = [](const StreamData& s) {
        return s.header.type == cc::vids && s.format.size() >= 16 &&
               (s.format[14] | s.format[15] << 8) <= 8;
    };
    if (std::none_of(streams_.begin(), streams_.end(), paletted)) return true;
    std::vector<std::vector<IndexEntry>> kept;
    for (StreamData& s : streams_) kept.push_back(std::move(s.index));
    clear_indexes();
    scan_movi();
    for (std::size_t i = 0; i < streams_.size(); ++i) {
        StreamData& s = streams_[i];
        s.index = std::move(kept[i]);
        std::vector<std::uint64_t> offsets;
        offsets.reserve(s.index.size());
        for (const IndexEntry& e : s.index) offsets.push_back(e.offset);
        std::sort(offsets.begin(), offsets.end());
        for (PaletteChange& c : s.palette_changes)
            c.from = std::uint32_t(std::lower_bound(offsets.begin(), offsets.end(), c.offset) -
                                   offsets.begin());
        if (!paletted(s)) s.palette_changes.clear();
    }
    return true;
}

// Offsets in idx1 count either from the 'movi' list type or from the file's
// start. The first usable entry decides: its chunk id must be found at one
// of the two places.
bool AviReader::legacy_base(const LegacyIndexEntry& first, std::uint64_t& base) const {
    if (movi_.empty()) return false;
    std::uint64_t movi_pos = movi_.front().fourcc_pos;
    if (chunk_id_at(movi_pos + first.offset, first.chunk_id)) {
        base = movi_pos;
        return true;
    }
    if (chunk_id_at(first.offset, first.chunk_id)) {
        base = 0;
        return true;
    }
    return false;
}

bool AviReader::load_legacy_index() {
    clear_indexes();
    if (idx1_offset_ == 0 || idx1_truncated_ || idx1_size_ < 16) return false;
    const std::uint64_t file_size = file_.size();
    const std::uint64_t count = idx1_size_ / 16;
    if (count > entry_cap()) return false;

    // The whole idx1 at once: it costs what the index will cost anyway, and
    // counting first lets every stream's index be allocated exactly.
    std::vector<std::uint8_t> raw(count * 16);
    if (!ok(file_.read_at(idx1_offset_, raw.data(), raw.size()))) return false;
    auto usable = [&](const LegacyIndexEntry& e) -> int {
        if (e.flags & kIndexList) return -1;
        int stream = stream_of_chunk(e.chunk_id);
        if (stream < 0 || std::size_t(stream) >= streams_.size()) return -1;
        if (chunk_twocc(e.chunk_id) == kTwoccPalette) return -1;
        return stream;
    };
    std::vector<std::size_t> per_stream(streams_.size());
    for (std::uint64_t i = 0; i < count; ++i) {
        int stream = usable(load_record<LegacyIndexEntry>(&raw[i * 16], 16));
        if (stream >= 0) per_stream[std::size_t(stream)]++;
    }
    for (std::size_t s = 0; s < streams_.size(); ++s) streams_[s].index.reserve(per_stream[s]);

    bool have_base = false;
    std::uint64_t base = 0;
    std::uint64_t last_header = 0;
    std::uint32_t last_id = 0;
    std::uint64_t entries = 0, missing = 0;
    for (std::uint64_t i = 0; i < count; ++i) {
        auto e = load_record<LegacyIndexEntry>(&raw[i * 16], 16);
        int stream = usable(e);
        if (stream < 0) {
            if (have_base) note_palette_change(e.chunk_id, base + e.offset + 8, e.size);
            continue;
        }
        if (!have_base) {
            if (!legacy_base(e, base)) return false;
            have_base = true;
        }
        std::uint64_t header = base + e.offset;
        std::uint64_t data = header + 8;
        ++entries;
        if (data > file_size || e.size > file_size - data) {
            // One damaged chunk costs its own position, not the ones after it.
            streams_[std::size_t(stream)].index.push_back({0, 0, kMissingChunk});
            ++missing;
            continue;
        }
        streams_[std::size_t(stream)].index.push_back(
            {data, e.size, (e.flags & kIndexKeyFrame) ? 1u : 0u});
        last_header = header;
        last_id = e.chunk_id;
    }
    if (!have_base || missing * 2 > entries) return false;  // mostly wrong: not this file's index
    // The last entry must also land on its chunk, or the index is not this file's.
    return chunk_id_at(last_header, last_id);
}

void AviReader::scan_movi() {
    constexpr int kDeepest = 4;
    const int max_depth = std::min(limits_.max_list_depth, kDeepest);
    const std::size_t cap = entry_cap();
    std::size_t total = 0;
    for (const MoviList& movi : movi_) {
        ChunkCursor lists[kDeepest + 1];  // the movi list and the rec lists inside it
        int depth = 0;
        lists[0] = ChunkCursor(movi.fourcc_pos + 4, movi.end);
        Chunk c;
        for (;;) {
            if (!lists[depth].next(file_, c)) {
                if (depth == 0) break;
                --depth;
                continue;
            }
            if (c.id == cc::LIST) {
                if (c.size >= 4 && c.left >= 4 && depth < max_depth &&
                    chunk_id_at(c.data, cc::rec)) {
                    const std::uint64_t end = std::min(lists[depth].end(), c.end());
                    lists[depth + 1] = ChunkCursor(c.data + 4, end);
                    ++depth;
                }
            } else if (!c.fits()) {
                break;  // cut off by the end of the file
            } else {
                int stream = stream_of_chunk(c.id);
                if (!note_palette_change(c.id, c.data, c.size) && stream >= 0 &&
                    std::size_t(stream) < streams_.size()) {
                    if (++total > cap) return;
                    // Without an index nothing says which frames are key frames.
                    streams_[std::size_t(stream)].index.push_back({c.data, c.size, 1u});
                }
            }
        }
    }
}

}  // namespace vfw::riff
