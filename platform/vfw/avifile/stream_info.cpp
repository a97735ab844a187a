// The file and stream records as the standard AVI handler fills them: most
// fields straight from the headers, lengths and buffer sizes from the data
// actually present, so a header that lies about them does not mislead.
#include <algorithm>
#include <cstring>

#include "vfw/avifile/objects.h"

namespace vfw {

namespace {

constexpr char kFileType[] = "AVI file";

void copy_name(char (&dst)[64], const std::string& src) {
    std::memset(dst, 0, sizeof dst);
    std::memcpy(dst, src.data(), std::min(src.size(), sizeof dst - 1));
}

// Stream length expressed in the file's time base, rounded to nearest.
std::uint64_t in_file_units(const AVISTREAMINFOA& s, std::uint32_t file_scale,
                            std::uint32_t file_rate) {
    if (!s.dwRate || !s.dwScale || !file_scale) return 0;
    unsigned __int128 num = (unsigned __int128)s.dwLength * s.dwScale * file_rate;
    unsigned __int128 den = (unsigned __int128)s.dwRate * file_scale;
    return std::uint64_t((num + den / 2) / den);
}

}  // namespace

void derive_stream_info(const riff::AviReader& reader, const riff::StreamData& data,
                        const SampleMap& samples, AVISTREAMINFOA& info) {
    const riff::StreamHeader& h = data.header;
    info = {};
    info.fccType = h.type;
    info.fccHandler = h.handler;
    info.dwFlags = h.flags;
    info.dwCaps = AVIFILECAPS_CANREAD | AVIFILECAPS_CANWRITE;
    info.wPriority = h.priority;
    info.wLanguage = h.language;
    info.dwScale = h.scale;
    info.dwRate = h.rate;
    info.dwStart = h.start;
    info.dwLength = DWORD(samples.length());
    info.dwInitialFrames = h.initial_frames;
    info.dwSuggestedBufferSize = data.largest_chunk;
    info.dwQuality = h.quality;
    info.dwSampleSize = samples.sample_size();
    info.rcFrame = {h.frame_left, h.frame_top, h.frame_right, h.frame_bottom};
    bool empty_frame = !h.frame_left && !h.frame_top && !h.frame_right && !h.frame_bottom;
    if (h.type == riff::cc::vids && empty_frame) {
        LONG w = LONG(std::min<std::uint32_t>(reader.main_header().width, 0x7FFFFFFF));
        LONG ht = LONG(std::min<std::uint32_t>(reader.main_header().height, 0x7FFFFFFF));
        if ((!w || !ht) && data.format.size() >= 12) {
            w = LONG(riff::load_u32(&data.format[4]));
            ht = LONG(riff::load_u32(&data.format[8]));
            if (ht < 0 && ht != INT32_MIN) ht = -ht;
        }
        info.rcFrame = {0, 0, w, ht};
    }
    copy_name(info.szName, data.name);
}

std::uint32_t sample_size_of(const riff::StreamData& data) {
    const riff::StreamHeader& h = data.header;
    if (h.type == riff::cc::vids) return 0;
    if (h.type == riff::cc::auds) {
        // A zero header size marks variable-size audio (one frame per chunk);
        // otherwise the format's block alignment is the sample size.
        if (!h.sample_size) return 0;
        if (data.format.size() >= 14) {
            std::uint32_t align = std::uint32_t(data.format[12]) | std::uint32_t(data.format[13])
                                                                       << 8;
            if (align) return align;
        }
    }
    return h.sample_size;
}

void derive_file_info(const FileObject& file, AVIFILEINFOA& info) {
    info = {};
    info.dwCaps = AVIFILECAPS_CANREAD | AVIFILECAPS_CANWRITE;
    info.dwStreams = DWORD(file.stream_count());
    std::memcpy(info.szFileType, kFileType, sizeof kFileType);

    std::vector<const AVISTREAMINFOA*> streams;
    if (file.reader) {
        const riff::MainHeader& m = file.reader->main_header();
        info.dwMaxBytesPerSec = m.max_bytes_per_sec;
        info.dwFlags = m.flags;
        info.dwWidth = m.width;
        info.dwHeight = m.height;
        info.dwScale = m.micro_sec_per_frame;
        info.dwRate = m.micro_sec_per_frame ? 1000000 : 0;
        for (const ReadStream& s : file.read_streams) streams.push_back(&s.info);
    } else {
        info.dwFlags = AVIFILEINFO_HASINDEX | AVIFILEINFO_ISINTERLEAVED;
        for (const WriteStream& s : file.write_streams) streams.push_back(&s.info);
    }
    const AVISTREAMINFOA* video = nullptr;
    for (const AVISTREAMINFOA* s : streams) {
        info.dwSuggestedBufferSize = std::max(info.dwSuggestedBufferSize, s->dwSuggestedBufferSize);
        if (!video && s->fccType == streamtypeVIDEO) video = s;
    }
    if (video) {
        if (!info.dwWidth || !info.dwHeight) {
            info.dwWidth = DWORD(std::max<LONG>(0, video->rcFrame.right - video->rcFrame.left));
            info.dwHeight = DWORD(std::max<LONG>(0, video->rcFrame.bottom - video->rcFrame.top));
        }
        if (!info.dwScale && video->dwRate) {
            info.dwScale = video->dwScale;
            info.dwRate = video->dwRate;
        }
    }
    std::uint64_t length = 0;
    for (const AVISTREAMINFOA* s : streams)
        length = std::max(length, in_file_units(*s, info.dwScale, info.dwRate));
    info.dwLength = DWORD(std::min<std::uint64_t>(length, 0x7FFFFFFF));
}

}  // namespace vfw
