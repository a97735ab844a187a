// Opening an AVI file: the RIFF parts, the header list and the stream lists.
// Index loading lives in index_loader.cpp.
#include <algorithm>

#include "riff/avi_reader.h"

namespace vfw::riff {

namespace {

struct ChunkHeader {
    std::uint32_t id;
    std::uint32_t size;
};

// Walks the chunks of an in-memory list body; a chunk that claims more than
// is left is cut to what is there, and the walk ends after it.
class MemoryChunks {
public:
    MemoryChunks(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool next(std::uint32_t& id, const std::uint8_t*& body, std::size_t& body_size) {
        if (pos_ > size_ || size_ - pos_ < 8) return false;
        id = load_u32(data_ + pos_);
        std::size_t claimed = load_u32(data_ + pos_ + 4);
        std::size_t left = size_ - pos_ - 8;
        body = data_ + pos_ + 8;
        body_size = std::min(claimed, left);
        if (claimed >= left) {
            pos_ = size_;
        } else {
            pos_ += 8 + claimed + (claimed & 1);
            if (pos_ > size_) pos_ = size_;
        }
        return true;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

}  // namespace

Error AviReader::open(const std::string& path, std::unique_ptr<AviReader>& out, const ReaderLimits& limits) {
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
                for (std::size_t i = 0; i < kept.size(); ++i) reader->streams_[i].index = std::move(kept[i]);
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
    std::uint64_t pos = 12;
    while (pos + 8 <= riff_end) {
        std::uint8_t ck[12];
        if (!ok(file_.read_at(pos, ck, 8))) break;
        std::uint32_t id = load_u32(ck), size = load_u32(ck + 4);
        std::uint64_t data = pos + 8, end = data + size;
        if (id == cc::LIST && data + 4 <= file_size) {
            if (!ok(file_.read_at(data, ck + 8, 4))) break;
            std::uint32_t type = load_u32(ck + 8);
            if (type == cc::hdrl && !have_header && size >= 4) {
                if (end > file_size) return Error::BadFormat;
                RIFF_TRY(parse_header_list(data + 4, size - 4));
                have_header = true;
            } else if (type == cc::movi) {
                if (size < 4) end = riff_end;  // left unpatched: the samples follow to the end
                movi_.push_back({data, std::min(end, file_size)});
            }
        } else if (id == cc::idx1 && idx1_offset_ == 0) {
            idx1_offset_ = data;
            idx1_size_ = size;
            if (end > file_size) {
                idx1_truncated_ = true;
                idx1_size_ = file_size > data ? file_size - data : 0;
            }
        }
        if (end > riff_end) break;
        pos = end + (size & 1);
    }
    if (!have_header || !have_main_) return Error::BadFormat;

    // OpenDML continuation parts follow the first RIFF back to back.
    pos = declared_end + (declared_end & 1);
    while (pos + 12 <= file_size) {
        std::uint8_t ck[12];
        if (!ok(file_.read_at(pos, ck, 12))) break;
        if (load_u32(ck) != cc::RIFF || load_u32(ck + 8) != cc::AVIX) break;
        std::uint64_t part_end = pos + 8 + std::uint64_t(load_u32(ck + 4));
        std::uint64_t inner = pos + 12, inner_end = std::min(part_end, file_size);
        while (inner + 12 <= inner_end) {
            std::uint8_t sub[12];
            if (!ok(file_.read_at(inner, sub, 12))) break;
            std::uint32_t size = load_u32(sub + 4);
            std::uint64_t end = inner + 8 + size;
            if (load_u32(sub) == cc::LIST && load_u32(sub + 8) == cc::movi && size >= 4)
                movi_.push_back({inner + 8, std::min(end, file_size)});
            inner = end + (size & 1);
        }
        if (part_end < pos + 12) break;
        pos = part_end + (part_end & 1);
    }
    return Error::None;
}

Error AviReader::parse_header_list(std::uint64_t offset, std::uint64_t size) {
    if (size > limits_.max_header_bytes) return Error::BadFormat;
    std::vector<std::uint8_t> body(size);
    if (!ok(file_.read_at(offset, body.data(), body.size()))) return Error::BadFormat;
    MemoryChunks chunks(body.data(), body.size());
    std::uint32_t id;
    const std::uint8_t* data;
    std::size_t n;
    while (chunks.next(id, data, n)) {
        if (id == cc::avih) {
            main_ = load_record<MainHeader>(data, n);
            have_main_ = true;
        } else if (id == cc::LIST && n >= 4) {
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
    MemoryChunks chunks(body, size);
    std::uint32_t id;
    const std::uint8_t* data;
    std::size_t n;
    while (chunks.next(id, data, n)) {
        if (id == cc::strh) {
            stream.header = load_record<StreamHeader>(data, n);
        } else if (id == cc::strf) {
            stream.format.assign(data, data + n);
        } else if (id == cc::strd) {
            stream.handler_data.assign(data, data + n);
        } else if (id == cc::strn) {
            stream.name.assign(reinterpret_cast<const char*>(data), std::find(data, data + n, 0) - data);
        } else if (id == cc::indx && n >= sizeof(IndexHeader)) {
            auto h = load_record<IndexHeader>(data, n);
            if (h.longs_per_entry != 4 || h.type != kIndexOfIndexes) continue;
            std::size_t count = std::min<std::size_t>(h.entries_in_use, (n - sizeof(IndexHeader)) / 16);
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
    MemoryChunks chunks(body, size);
    std::uint32_t id;
    const std::uint8_t* data;
    std::size_t n;
    while (chunks.next(id, data, n))
        if (id == cc::dmlh && n >= 4) grand_frames_ = load_u32(data);
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
