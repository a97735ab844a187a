// Reads the structure of an AVI file: headers, stream formats and one sample
// index per stream. Sample data stays on disk; memory grows with the index only.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "vfw/riff/error.h"
#include "vfw/riff/file.h"
#include "vfw/riff/records.h"

namespace vfw::riff {

// One data chunk of a stream: where its bytes lie and whether it is a key frame.
struct IndexEntry {
    std::uint64_t offset;  // of the chunk data, past its 8-byte header
    std::uint32_t size;
    std::uint32_t key;  // 1 for a key frame
};
static_assert(sizeof(IndexEntry) == 16);
// IndexEntry::key of an entry whose chunk cannot lie inside the file: the
// position stays, and delivers nothing.
inline constexpr std::uint32_t kMissingChunk = 2;

// A palette-change chunk (##pc): in force from the stream's sample `from` on.
struct PaletteChange {
    std::uint32_t from;
    std::uint64_t offset;  // of the chunk data
    std::uint32_t size;
};

struct StreamData {
    StreamHeader header{};
    std::vector<std::uint8_t> format;        // strf
    std::vector<std::uint8_t> handler_data;  // strd
    std::string name;                        // strn
    std::vector<IndexEntry> index;
    std::uint32_t largest_chunk = 0;
    std::vector<PaletteChange> palette_changes;  // in file order

    // OpenDML super index, as found in the stream's header list.
    std::vector<SuperIndexEntry> super_index;
};

enum class IndexSource { None, OpenDml, Legacy, Scan };

struct ReaderLimits {
    std::uint32_t max_streams = 100;
    std::uint32_t max_header_bytes = 16u << 20;
    int max_list_depth = 8;
};

class AviReader {
  public:
    [[nodiscard]] static Error open(const std::string& path, std::unique_ptr<AviReader>& out,
                                    const ReaderLimits& limits = {});

    const MainHeader& main_header() const { return main_; }
    const std::vector<StreamData>& streams() const { return streams_; }
    std::uint32_t grand_frames() const { return grand_frames_; }
    IndexSource index_source() const { return source_; }
    std::uint64_t file_size() const { return file_.size(); }

    // Reads the whole chunk of an index entry into out (entry.size bytes).
    [[nodiscard]] Error read_chunk(const IndexEntry& entry, void* out) const {
        return file_.read_at(entry.offset, out, entry.size);
    }
    const File& file() const { return file_; }

  private:
    struct MoviList {
        std::uint64_t fourcc_pos;  // position of the 'movi' list type
        std::uint64_t end;
    };

    Error parse_top_level();
    Error parse_header_list(std::uint64_t offset, std::uint64_t size);
    Error parse_stream_list(const std::uint8_t* data, std::size_t size);
    Error parse_odml_list(const std::uint8_t* data, std::size_t size);

    // Index builders; each fills every stream's index or reports failure.
    bool load_open_dml_index();
    bool load_legacy_index();
    void scan_movi();
    // Records a ##pc chunk against its stream; false when the chunk is no palette change.
    bool note_palette_change(std::uint32_t chunk_id, std::uint64_t data, std::uint32_t size);
    bool legacy_base(const LegacyIndexEntry& first, std::uint64_t& base) const;
    bool chunk_id_at(std::uint64_t pos, std::uint32_t id) const;
    std::size_t entry_cap() const { return std::size_t(file_.size() / 8 + 1); }
    void finish_streams();
    void clear_indexes();

    File file_;
    ReaderLimits limits_;
    MainHeader main_{};
    bool have_main_ = false;
    std::vector<StreamData> streams_;
    std::vector<MoviList> movi_;
    std::uint64_t idx1_offset_ = 0;  // of the idx1 data; 0 when there is none
    std::uint64_t idx1_size_ = 0;
    bool idx1_truncated_ = false;
    std::uint32_t grand_frames_ = 0;
    IndexSource source_ = IndexSource::None;
};

}  // namespace vfw::riff
