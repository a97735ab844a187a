// Section index: creation and streams; header prefix; parts and indexes;
// buffered output; finishing.
#include "vfw/riff/avi_writer.h"

#include <unistd.h>

#include <algorithm>
#include <cassert>
#include <cstdio>
#include <cstring>

namespace vfw::riff {

namespace {

constexpr std::size_t kDmlhSize = 248;

class Bytes {
  public:
    explicit Bytes(std::vector<std::uint8_t>& out) : out_(out) {}
    void u32(std::uint32_t v) {
        std::uint8_t b[4];
        store_u32(b, v);
        raw(b, 4);
    }
    void raw(const void* p, std::size_t n) {
        auto* c = static_cast<const std::uint8_t*>(p);
        out_.insert(out_.end(), c, c + n);
    }
    void zeros(std::size_t n) { out_.insert(out_.end(), n, 0); }
    // Starts a chunk and returns where its size goes.
    std::size_t open(std::uint32_t id) {
        u32(id);
        u32(0);
        return out_.size() - 4;
    }
    void close(std::size_t size_at) {
        std::uint32_t size = std::uint32_t(out_.size() - size_at - 4);
        store_u32(&out_[size_at], size);
        if (size & 1) out_.push_back(0);
    }

  private:
    std::vector<std::uint8_t>& out_;
};

}  // namespace

Error AviWriter::create(const std::string& path, std::unique_ptr<AviWriter>& out,
                        const WriterOptions& options) {
    if (path.empty() || options.part_limit < 4096 || options.super_index_slots == 0)
        return Error::BadParam;
    auto writer = std::unique_ptr<AviWriter>(new AviWriter());
    writer->options_ = options;
    writer->path_ = path;
    RIFF_TRY(File::create_beside(path, writer->file_, writer->temp_path_));
    out = std::move(writer);
    return Error::None;
}

AviWriter::~AviWriter() {
    if (!finished_) abandon();
}

void AviWriter::abandon() {
    file_.close();
    if (!temp_path_.empty()) ::unlink(temp_path_.c_str());
    temp_path_.clear();
    if (!finished_ && ok(sticky_)) sticky_ = Error::Unsupported;
    finished_ = true;
}

Error AviWriter::add_stream(const StreamHeader& header, int& index) {
    if (laid_out_ || finished_) return Error::Unsupported;
    if (streams_.size() >= 100) return Error::Unsupported;
    Stream s;
    s.header = header;
    s.twocc =
        header.type == cc::auds ? std::uint16_t(0x6277) : std::uint16_t(0x6364);  // 'wb' : 'dc'
    streams_.push_back(std::move(s));
    index = int(streams_.size() - 1);
    return Error::None;
}

Error AviWriter::set_header(int stream, const StreamHeader& header) {
    if (stream < 0 || std::size_t(stream) >= streams_.size()) return Error::BadParam;
    if (laid_out_) return Error::Unsupported;
    streams_[std::size_t(stream)].header = header;
    return Error::None;
}

Error AviWriter::set_format(int stream, const void* data, std::size_t size) {
    if (stream < 0 || std::size_t(stream) >= streams_.size() || size > (64u << 20))
        return Error::BadParam;
    if (laid_out_) return Error::Unsupported;
    auto* p = static_cast<const std::uint8_t*>(data);
    streams_[std::size_t(stream)].format.assign(p, p + size);
    return Error::None;
}

bool AviWriter::has_format(int stream) const {
    return stream >= 0 && std::size_t(stream) < streams_.size() &&
           !streams_[std::size_t(stream)].format.empty();
}

Error AviWriter::set_name(int stream, const std::string& name) {
    if (stream < 0 || std::size_t(stream) >= streams_.size()) return Error::BadParam;
    if (laid_out_) return Error::Unsupported;
    streams_[std::size_t(stream)].name = name;
    return Error::None;
}

Error AviWriter::set_chunk_type(int stream, std::uint16_t twocc) {
    if (stream < 0 || std::size_t(stream) >= streams_.size()) return Error::BadParam;
    if (laid_out_) return Error::Unsupported;
    streams_[std::size_t(stream)].twocc = twocc;
    return Error::None;
}

std::uint32_t AviWriter::stream_length(const Stream& s) const {
    std::uint64_t n = s.header.sample_size ? s.stats.bytes / s.header.sample_size : s.stats.chunks;
    return std::uint32_t(std::min<std::uint64_t>(n, 0xFFFFFFFFu));
}

// Everything before the first data chunk. Its size depends only on the
// streams and their formats, so the final version overwrites the first.
std::vector<std::uint8_t> AviWriter::build_prefix() const {
    std::vector<std::uint8_t> out;
    Bytes b(out);
    const Stream* video = nullptr;
    std::uint32_t largest = 0;
    for (const Stream& s : streams_) {
        if (!video && s.header.type == cc::vids) video = &s;
        largest = std::max(largest, s.stats.largest_chunk);
    }
    const Stream* timing = video ? video : (streams_.empty() ? nullptr : &streams_[0]);

    MainHeader main{};
    if (video && video->header.rate)
        main.micro_sec_per_frame = std::uint32_t(
            (1000000ull * video->header.scale + video->header.rate / 2) / video->header.rate);
    if (timing && timing->header.rate && timing->header.scale) {
        double seconds =
            double(stream_length(*timing)) * timing->header.scale / timing->header.rate;
        std::uint64_t total = 0;
        for (const Stream& s : streams_) total += s.stats.bytes;
        if (seconds > 0)
            main.max_bytes_per_sec = std::uint32_t(std::min(total / seconds, 4294967295.0));
    }
    main.flags = kMainHeaderHasIndex | kMainHeaderIsInterleaved;
    main.total_frames = timing ? std::uint32_t(timing->chunks_in_first_part) : 0;
    main.streams = std::uint32_t(streams_.size());
    main.suggested_buffer_size = largest ? largest + 8 : 0;
    if (video) {
        main.width =
            std::uint32_t(std::max(0, video->header.frame_right - video->header.frame_left));
        main.height =
            std::uint32_t(std::max(0, video->header.frame_bottom - video->header.frame_top));
    }

    b.u32(cc::RIFF);
    b.u32(first_riff_size_);
    b.u32(cc::AVI);
    std::size_t hdrl = b.open(cc::LIST);
    b.u32(cc::hdrl);
    std::size_t at = b.open(cc::avih);
    b.raw(&main, sizeof main);
    b.close(at);
    for (std::size_t i = 0; i < streams_.size(); ++i) {
        const Stream& s = streams_[i];
        std::size_t strl = b.open(cc::LIST);
        b.u32(cc::strl);
        StreamHeader h = s.header;
        h.length = stream_length(s);
        h.suggested_buffer_size = s.stats.largest_chunk;
        at = b.open(cc::strh);
        b.raw(&h, sizeof h);
        b.close(at);
        at = b.open(cc::strf);
        b.raw(s.format.data(), s.format.size());
        b.close(at);
        if (!s.name.empty()) {
            at = b.open(cc::strn);
            b.raw(s.name.c_str(), s.name.size() + 1);
            b.close(at);
        }
        // Room for the super index; plain JUNK unless the file became OpenDML.
        at = b.open(open_dml_ ? cc::indx : cc::JUNK);
        if (open_dml_) {
            IndexHeader ih{};
            ih.longs_per_entry = 4;
            ih.type = kIndexOfIndexes;
            ih.entries_in_use = std::uint32_t(s.super_index.size());
            ih.chunk_id = make_chunk_id(int(i), s.twocc);
            b.raw(&ih, sizeof ih);
            b.raw(s.super_index.data(), s.super_index.size() * sizeof(SuperIndexEntry));
            b.zeros((options_.super_index_slots - s.super_index.size()) * sizeof(SuperIndexEntry));
        } else {
            b.zeros(sizeof(IndexHeader) + options_.super_index_slots * sizeof(SuperIndexEntry));
        }
        b.close(at);
        b.close(strl);
    }
    if (open_dml_) {
        std::size_t odml = b.open(cc::LIST);
        b.u32(cc::odml);
        at = b.open(cc::dmlh);
        b.u32(timing ? stream_length(*timing) : 0);
        b.zeros(kDmlhSize - 4);
        b.close(at);
        b.close(odml);
    } else {
        at = b.open(cc::JUNK);
        b.zeros(4 + 8 + kDmlhSize);
        b.close(at);
    }
    b.close(hdrl);
    b.u32(cc::LIST);
    b.u32(first_movi_size_);
    b.u32(cc::movi);
    return out;
}

Error AviWriter::lay_out() {
    std::vector<std::uint8_t> prefix = build_prefix();
    prefix_size_ = prefix.size();
    laid_out_ = true;
    RIFF_TRY(append(prefix.data(), prefix.size()));
    return open_part();
}

Error AviWriter::open_part() {
    if (parts_ == 0) {
        riff_start_ = 0;
        movi_start_ = prefix_size_ - 12;
    } else {
        if (parts_ >= options_.super_index_slots) return stick(Error::Unsupported);
        riff_start_ = position();
        std::uint8_t head[24];
        store_u32(head, cc::RIFF);
        store_u32(head + 4, 0);
        store_u32(head + 8, cc::AVIX);
        store_u32(head + 12, cc::LIST);
        store_u32(head + 16, 0);
        store_u32(head + 20, cc::movi);
        movi_start_ = riff_start_ + 12;
        RIFF_TRY(append(head, sizeof head));
    }
    ++parts_;
    return Error::None;
}

std::uint64_t AviWriter::pending_index_bytes() const {
    std::uint64_t bytes = parts_ == 1 ? 8 + 16 * std::uint64_t(legacy_.size() + 1) : 0;
    for (const Stream& s : streams_)
        bytes += 8 + sizeof(IndexHeader) + 8 * (s.part_entries.size() + 1);
    return bytes;
}

Error AviWriter::write_sample(int stream, const void* data, std::uint32_t size, bool key) {
    if (!ok(sticky_)) return sticky_;
    if (finished_ || stream < 0 || std::size_t(stream) >= streams_.size()) return Error::BadParam;
    if (size > 0x7FFFFFFFu || (size && !data)) return Error::BadParam;
    if (!laid_out_) RIFF_TRY(lay_out());

    std::uint64_t chunk = 8 + std::uint64_t(size) + (size & 1);
    bool part_has_data = position() > movi_start_ + 12;
    if (part_has_data &&
        position() + chunk + pending_index_bytes() - riff_start_ > options_.part_limit) {
        open_dml_ = true;
        RIFF_TRY(close_part());
        RIFF_TRY(open_part());
    }

    Stream& s = streams_[std::size_t(stream)];
    std::uint32_t id = make_chunk_id(stream, s.twocc);
    std::uint64_t header_pos = position();
    if (parts_ == 1) {
        legacy_.push_back(
            {id, key ? kIndexKeyFrame : 0u, std::uint32_t(header_pos - (movi_start_ + 8)), size});
        ++s.chunks_in_first_part;
    }
    s.part_entries.push_back({header_pos + 8, size | (key ? 0u : kDeltaFrameBit)});

    std::uint8_t head[8];
    store_u32(head, id);
    store_u32(head + 4, size);
    if (size >= options_.buffer_bytes / 4) {
        // Large samples go straight from the caller's memory to the file.
        RIFF_TRY(flush());
        static const std::uint8_t pad = 0;
        const void* pieces[] = {head, data, &pad};
        std::size_t sizes[] = {8, size, std::size_t(size & 1)};
        RIFF_TRY_OR(file_.write_pieces_at(flushed_, pieces, sizes, 3), stick);
        flushed_ += chunk;
    } else {
        RIFF_TRY(append(head, 8));
        RIFF_TRY(append(data, size));
        if (size & 1) {
            std::uint8_t pad = 0;
            RIFF_TRY(append(&pad, 1));
        }
    }
    s.stats.chunks++;
    s.stats.bytes += size;
    s.stats.largest_chunk = std::max(s.stats.largest_chunk, size);
    s.samples_in_part += s.header.sample_size ? size / s.header.sample_size : 1;
    return Error::None;
}

Error AviWriter::close_part() {
    if (open_dml_) {
        for (std::size_t i = 0; i < streams_.size(); ++i) {
            Stream& s = streams_[i];
            if (s.part_entries.empty()) continue;
            std::uint64_t ix_pos = position();
            std::vector<std::uint8_t> ix;
            Bytes b(ix);
            std::size_t at = b.open(make_index_chunk_id(int(i)));
            IndexHeader ih{};
            ih.longs_per_entry = 2;
            ih.type = kIndexOfChunks;
            ih.entries_in_use = std::uint32_t(s.part_entries.size());
            ih.chunk_id = make_chunk_id(int(i), s.twocc);
            ih.base_offset_low = std::uint32_t(riff_start_);
            ih.base_offset_high = std::uint32_t(riff_start_ >> 32);
            b.raw(&ih, sizeof ih);
            for (const PartEntry& e : s.part_entries) {
                b.u32(std::uint32_t(e.data_offset - riff_start_));
                b.u32(e.size);
            }
            b.close(at);
            s.super_index.push_back({std::uint32_t(ix_pos), std::uint32_t(ix_pos >> 32),
                                     std::uint32_t(ix.size()), std::uint32_t(s.samples_in_part)});
            RIFF_TRY(append(ix.data(), ix.size()));
        }
    }
    std::uint32_t movi_size = std::uint32_t(position() - (movi_start_ + 8));
    if (parts_ == 1) {
        first_movi_size_ = movi_size;
        std::vector<std::uint8_t> idx;
        Bytes b(idx);
        std::size_t at = b.open(cc::idx1);
        b.raw(legacy_.data(), legacy_.size() * sizeof(LegacyIndexEntry));
        b.close(at);
        legacy_.clear();
        legacy_.shrink_to_fit();
        RIFF_TRY(append(idx.data(), idx.size()));
    }
    std::uint32_t riff_size = std::uint32_t(position() - riff_start_ - 8);
    if (parts_ == 1) first_riff_size_ = riff_size;
    RIFF_TRY(flush());
    RIFF_TRY(patch_u32(movi_start_ + 4, movi_size));
    RIFF_TRY(patch_u32(riff_start_ + 4, riff_size));
    for (Stream& s : streams_) {
        s.part_entries.clear();
        s.samples_in_part = 0;
    }
    return Error::None;
}

Error AviWriter::append(const void* data, std::size_t size) {
    if (!ok(sticky_)) return sticky_;
    if (buffer_.size() + size > options_.buffer_bytes) RIFF_TRY(flush());
    if (size >= options_.buffer_bytes) {
        RIFF_TRY_OR(file_.write_at(flushed_, data, size), stick);
        flushed_ += size;
        return Error::None;
    }
    auto* p = static_cast<const std::uint8_t*>(data);
    buffer_.insert(buffer_.end(), p, p + size);
    return Error::None;
}

Error AviWriter::flush() {
    if (!ok(sticky_)) return sticky_;
    if (buffer_.empty()) return Error::None;
    RIFF_TRY_OR(file_.write_at(flushed_, buffer_.data(), buffer_.size()), stick);
    flushed_ += buffer_.size();
    buffer_.clear();
    return Error::None;
}

Error AviWriter::patch_u32(std::uint64_t offset, std::uint32_t value) {
    std::uint8_t b[4];
    store_u32(b, value);
    RIFF_TRY_OR(file_.write_at(offset, b, 4), stick);
    return Error::None;
}

Error AviWriter::finish() {
    if (finished_) return sticky_;
    auto fail = [this](Error e) {
        abandon();
        finished_ = true;
        return sticky_ = e;
    };
    if (!ok(sticky_)) return fail(sticky_);
    if (!laid_out_) RIFF_TRY_OR(lay_out(), fail);
    RIFF_TRY_OR(close_part(), fail);
    std::vector<std::uint8_t> prefix = build_prefix();
    assert(prefix.size() == prefix_size_ && "the header must keep the size it was laid out with");
    RIFF_TRY_OR(file_.write_at(0, prefix.data(), prefix.size()), fail);
    RIFF_TRY_OR(file_.publish(path_, temp_path_), fail);
    temp_path_.clear();
    finished_ = true;
    return Error::None;
}

}  // namespace vfw::riff
