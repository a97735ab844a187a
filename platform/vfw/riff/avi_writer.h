// Writes an AVI file: plain AVI 1.0 while the data stays under the part
// limit, OpenDML (AVIX parts, super and standard indexes) beyond it.
// The file is built nameless (or under a temporary name) beside the target
// and put into place only when it is complete and on the disk, so a failure
// or a killed process leaves nothing behind and an older file stays whole.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "vfw/riff/error.h"
#include "vfw/riff/file.h"
#include "vfw/riff/records.h"

namespace vfw::riff {

struct WriterOptions {
    // Bytes after which a RIFF part is closed and the file turns OpenDML.
    std::uint64_t part_limit = 1000ull << 20;
    // Room reserved in each stream's header for super index entries.
    std::uint32_t super_index_slots = 256;
    std::size_t buffer_bytes = 1u << 20;
};

struct WriterStreamStats {
    std::uint64_t chunks = 0;
    std::uint64_t bytes = 0;
    std::uint32_t largest_chunk = 0;
};

class AviWriter {
  public:
    [[nodiscard]] static Error create(const std::string& path, std::unique_ptr<AviWriter>& out,
                                      const WriterOptions& options = {});
    ~AviWriter();
    AviWriter(const AviWriter&) = delete;
    AviWriter& operator=(const AviWriter&) = delete;

    // Streams and their formats are fixed once the first sample is written.
    [[nodiscard]] Error add_stream(const StreamHeader& header, int& index);
    [[nodiscard]] Error set_header(int stream, const StreamHeader& header);
    const StreamHeader& header(int stream) const { return streams_[std::size_t(stream)].header; }
    [[nodiscard]] Error set_format(int stream, const void* data, std::size_t size);
    [[nodiscard]] Error set_name(int stream, const std::string& name);
    // The two-letter chunk type ('dc', 'db', 'wb') of the stream's data chunks.
    [[nodiscard]] Error set_chunk_type(int stream, std::uint16_t twocc);
    bool has_format(int stream) const;
    bool is_laid_out() const { return laid_out_; }

    [[nodiscard]] Error write_sample(int stream, const void* data, std::uint32_t size, bool key);

    // Completes the file and moves it into place. Without a successful
    // finish the destructor removes everything written.
    [[nodiscard]] Error finish();
    // Drops everything written; the target stays as it was.
    void abandon();

    std::size_t stream_count() const { return streams_.size(); }
    const WriterStreamStats& stats(int stream) const { return streams_[std::size_t(stream)].stats; }
    std::size_t part_count() const { return parts_; }

  private:
    struct PartEntry {
        std::uint64_t data_offset;
        std::uint32_t size;  // bit 31 set: not a key frame
    };
    struct Stream {
        StreamHeader header{};
        std::vector<std::uint8_t> format;
        std::string name;
        std::uint16_t twocc = 0;
        WriterStreamStats stats;
        std::uint64_t chunks_in_first_part = 0;
        std::uint64_t samples_in_part = 0;
        std::vector<PartEntry> part_entries;
        std::vector<SuperIndexEntry> super_index;
    };

    AviWriter() = default;
    std::vector<std::uint8_t> build_prefix() const;
    std::uint32_t stream_length(const Stream& s) const;
    Error lay_out();
    Error open_part();
    Error close_part();
    Error append(const void* data, std::size_t size);
    Error flush();
    Error patch_u32(std::uint64_t offset, std::uint32_t value);
    // Keeps a failed write's error for every later call.
    Error stick(Error e) { return sticky_ = e; }
    std::uint64_t position() const { return flushed_ + buffer_.size(); }
    std::uint64_t pending_index_bytes() const;

    WriterOptions options_;
    std::string path_;
    std::string temp_path_;  // empty while the file has no name
    File file_;
    std::vector<Stream> streams_;
    bool laid_out_ = false;
    bool finished_ = false;
    bool open_dml_ = false;
    Error sticky_ = Error::None;

    std::vector<std::uint8_t> buffer_;
    std::uint64_t flushed_ = 0;  // bytes of the file already written
    std::size_t prefix_size_ = 0;

    std::size_t parts_ = 0;
    std::uint64_t riff_start_ = 0;
    std::uint64_t movi_start_ = 0;  // of the movi LIST header
    std::vector<LegacyIndexEntry> legacy_;
    std::uint32_t first_riff_size_ = 0;
    std::uint32_t first_movi_size_ = 0;
};

}  // namespace vfw::riff
