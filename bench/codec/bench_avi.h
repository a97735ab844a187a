// The bench's input: a file ffmpeg made, split into samples with libavformat
// (the bench measures the codec layer, not our container).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "vfw/codec/packet_source.h"

namespace bench {

class MemorySamples : public vfw::codec::PacketSource {
  public:
    struct Sample {
        std::vector<std::uint8_t> bytes;
        bool key;
    };
    std::vector<Sample> samples;

    std::int64_t sample_count() const override { return std::int64_t(samples.size()); }
    std::int64_t sample_size(std::int64_t n) const override {
        return n >= 0 && n < sample_count() ? std::int64_t(samples[std::size_t(n)].bytes.size())
                                            : -1;
    }
    bool is_key_frame(std::int64_t n) const override {
        return n >= 0 && n < sample_count() && samples[std::size_t(n)].key;
    }
    vfw::codec::Status read_sample(std::int64_t n, std::vector<std::uint8_t>& out) override {
        if (n < 0 || n >= sample_count())
            return vfw::codec::make_error(vfw::codec::ErrorCode::OutOfRange, "no sample");
        out = samples[std::size_t(n)].bytes;
        return {};
    }
};

struct AviVideo {
    std::vector<std::uint8_t> format;  // strf of the video stream
    MemorySamples samples;
};

// Throws nothing; an empty result means the file could not be read.
AviVideo load_video(const std::string& path);

}  // namespace bench
