// Opening an AVI file: the RIFF parts, the header list and the stream lists.
// Index loading lives in index_loader.cpp.
#include "vfw/riff/avi_reader.h"

#include <algorithm>

#include "vfw/riff/internal/chunk_cursor.h"

namespace vfw::riff {

Error AviReader::open(const std::string& path, std::unique_ptr<AviReader>& out,
                      const ReaderLimits& limits) {
    auto reader = std::unique_ptr<AviReader>(new AviReader());
    reader->limits_ = limits;
    RIFF_TRY(File::open_read(path, reader->file_));
    RIFF_TRY(reader->parse_top_level());

    if (reader->load_open_dml_index()) {
        reader->source_ = IndexSource::OpenDml;
    } else if (reader->load_legacy_index()) {
        reader->source_ = IndexSource::Legacy;
        // A legacy index shorter than the headers promise may have been cut
        // off; a scan that finds more chunks wins.
        bool short_index = false;
        std::size_t indexed = 0;
        for (const StreamData& s : reader->streams_) {
            indexed += s.index.size();
            if (s.header.sample_size == 0 && s.index.size() < s.header.length) short_index = true;
        }
        if (short_index) {
            std::vector<std::vector<IndexEntry>> kept;
            for (StreamData& s : reader->streams_) kept.push_back(std::move(s.index));
            reader->clear_indexes();
            reader->scan_movi();
            std::size_t scanned = 0;
            for (const StreamData& s : reader->streams_) scanned += s.index.size();
            if (scanned > indexed) {
                reader->source_ = IndexSource::Scan;
            } else {
                for (std::size_t i = 0; i < kept.size(); ++i)
                    reader->streams_[i].index = std::move(kept[i]);
            }
        }
    } else {
        reader->clear_indexes();
        reader->scan_movi();
        reader->source_ = IndexSource::Scan;
    }
    reader->finish_streams();
    out = std::move(reader);
    return Error::None;
}

Error AviReader::parse_top_level() {
    const std::uint64_t file_size = file_.size();
    std::uint8_t head[12];
    if (file_size < 12 || !ok(file_.read_at(0, head, 12))) return Error::BadFormat;
    if (load_u32(head) != cc::RIFF || load_u32(head + 8) != cc::AVI) return Error::BadFormat;
    std::uint64_t declared_end = 8 + std::uint64_t(load_u32(head + 4));
    // A writer that never finished leaves its size fields at zero; the data
    // then runs to the end of the file.
    if (declared_end < 12) declared_end = file_size;
    std::uint64_t riff_end = std::min(declared_end, file_size);

    bool have_header = false;
    ChunkCursor chunks(12, riff_end);
    Chunk c;
    while (chunks.next(file_, c)) {
        std::uint64_t end = c.end();
        if (c.id == cc::LIST && c.data + 4 <= file_size) {
            std::uint8_t type_bytes[4];
            if (!ok(file_.read_at(c.data, type_bytes, 4))) break;
            std::uint32_t type = load_u32(type_bytes);
            if (type == cc::hdrl && !have_header && c.size >= 4) {
                if (end > file_size) return Error::BadFormat;
                RIFF_TRY(parse_header_list(c.data + 4, c.size - 4));
                have_header = true;
            } else if (type == cc::movi) {
                if (c.size < 4) end = riff_end;  // left unpatched: the samples follow to the end
                movi_.push_back({c.data, std::min(end, file_size)});
            }
        } else if (c.id == cc::idx1 && idx1_offset_ == 0) {
            idx1_offset_ = c.data;
            idx1_size_ = c.size;
            if (end > file_size) {
                idx1_truncated_ = true;
                idx1_size_ = file_size > c.data ? file_size - c.data : 0;
            }
        }
    }
    if (!have_header || !have_main_) return Error::BadFormat;

    // OpenDML continuation parts follow the first RIFF back to back.
    ChunkCursor parts(declared_end + (declared_end & 1), file_size);
    Chunk part;
    while (parts.next(file_, part) && part.id == cc::RIFF && part.left >= 4 &&
           chunk_id_at(part.data, cc::AVIX)) {
        if (part.size < 4) break;
        ChunkCursor lists(part.data + 4, std::min(part.end(), file_size));
        while (lists.next(file_, c)) {
            if (c.id == cc::LIST && c.size >= 4 && c.left >= 4 && chunk_id_at(c.data, cc::movi))
                movi_.push_back({c.data, std::min(c.end(), file_size)});
        }
    }
    return Error::None;
}

Error AviReader::parse_header_list(std::uint64_t offset, std::uint64_t size) {
    if (size > limits_.max_header_bytes) return Error::BadFormat;
    std::vector<std::uint8_t> body(size);
    if (!ok(file_.read_at(offset, body.data(), body.size()))) return Error::BadFormat;
    ChunkCursor chunks(0, body.size());
    Chunk c;
    while (chunks.next(body.data(), c)) {
        const std::uint8_t* data = body.data() + c.data;
        const std::size_t n = c.body_size();
        if (c.id == cc::avih) {
            main_ = load_record<MainHeader>(data, n);
            have_main_ = true;
        } else if (c.id == cc::LIST && n >= 4) {
            std::uint32_t type = load_u32(data);
            if (type == cc::strl) {
                if (streams_.size() >= limits_.max_streams) continue;
                RIFF_TRY(parse_stream_list(data + 4, n - 4));
            } else if (type == cc::odml) {
                RIFF_TRY(parse_odml_list(data + 4, n - 4));
            }
        }
    }
    return Error::None;
}

Error AviReader::parse_stream_list(const std::uint8_t* body, std::size_t size) {
    StreamData stream;
    ChunkCursor chunks(0, size);
    Chunk c;
    while (chunks.next(body, c)) {
        const std::uint8_t* data = body + c.data;
        const std::size_t n = c.body_size();
        if (c.id == cc::strh) {
            stream.header = load_record<StreamHeader>(data, n);
        } else if (c.id == cc::strf) {
            stream.format.assign(data, data + n);
        } else if (c.id == cc::strd) {
            stream.handler_data.assign(data, data + n);
        } else if (c.id == cc::strn) {
            stream.name.assign(reinterpret_cast<const char*>(data),
                               std::find(data, data + n, 0) - data);
        } else if (c.id == cc::indx && n >= sizeof(IndexHeader)) {
            auto h = load_record<IndexHeader>(data, n);
            if (h.longs_per_entry != 4 || h.type != kIndexOfIndexes) continue;
            std::size_t count =
                std::min<std::size_t>(h.entries_in_use, (n - sizeof(IndexHeader)) / 16);
            for (std::size_t i = 0; i < count; ++i) {
                auto e = load_record<SuperIndexEntry>(data + sizeof(IndexHeader) + 16 * i, 16);
                if (e.offset_low == 0 && e.offset_high == 0) continue;
                stream.super_index.push_back(e);
            }
        }
    }
    streams_.push_back(std::move(stream));
    return Error::None;
}

Error AviReader::parse_odml_list(const std::uint8_t* body, std::size_t size) {
    ChunkCursor chunks(0, size);
    Chunk c;
    while (chunks.next(body, c))
        if (c.id == cc::dmlh && c.body_size() >= 4) grand_frames_ = load_u32(body + c.data);
    return Error::None;
}

void AviReader::clear_indexes() {
    for (StreamData& s : streams_) {
        s.index.clear();
        s.palette_changes.clear();
    }
}

void AviReader::finish_streams() {
    for (StreamData& s : streams_) {
        s.largest_chunk = 0;
        for (const IndexEntry& e : s.index) s.largest_chunk = std::max(s.largest_chunk, e.size);
        if (s.index.capacity() > s.index.size() + s.index.size() / 4) s.index.shrink_to_fit();
    }
}

}  // namespace vfw::riff
