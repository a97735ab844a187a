#include "vfw/avifile/key_samples.h"

#include <algorithm>
#include <cstring>

#include "vfw/codec/key_frames.h"

namespace vfw {

void learn_key_samples(const riff::AviReader& reader, const riff::StreamData& stream,
                       SampleMap& samples) {
    if (stream.header.type != riff::cc::vids || samples.fixed_size()) return;
    if (stream.format.size() < sizeof(BITMAPINFOHEADER)) return;
    BITMAPINFOHEADER format;
    std::memcpy(&format, stream.format.data(), sizeof format);
    const std::uint32_t handler = stream.header.handler;
    const std::size_t head = codec::key_test_bytes(format, handler);
    std::vector<std::int32_t> keys;
    std::vector<std::uint8_t> bytes;
    const std::size_t count = std::min<std::size_t>(samples.entry_count(), 0x7FFFFFFF);
    for (std::size_t i = 0; i < count; ++i) {
        riff::IndexEntry entry = samples.entry(i);
        if (entry.size == 0) continue;  // a dropped frame starts nothing
        if (head != 0) entry.size = std::uint32_t(std::min<std::size_t>(entry.size, head));
        bytes.resize(entry.size);
        if (!riff::ok(reader.read_chunk(entry, bytes.data()))) continue;
        const std::optional<bool> key = codec::sample_is_key(format, handler, bytes);
        if (!key) return;  // the codec cannot tell: every sample stays a key frame
        if (*key) keys.push_back(std::int32_t(i));
    }
    samples.set_keys(std::move(keys));
}

}  // namespace vfw
