// Helpers for the codec tests: files made by ffmpeg at test time, their packets
// (demuxed with libavformat, only here in the tests), and ffmpeg's own decode.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "vfw/codec/packet_source.h"
#include "wingdi.h"

namespace vfw::codec::test {

// A fresh folder removed again with everything in it.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

  private:
    std::filesystem::path path_;
};

// Runs ffmpeg (quietly) with the arguments; true when it succeeded.
bool run_ffmpeg(const std::string& args);

// What a shell command prints, without the last line break; empty when it cannot run.
std::string run_capture(const std::string& command);

struct Sample {
    std::vector<std::uint8_t> bytes;
    bool key = false;
};

// Samples kept in memory; counts how often each is read.
class MemoryPacketSource : public PacketSource {
  public:
    std::vector<Sample> samples;
    mutable std::int64_t reads = 0;

    std::int64_t sample_count() const override { return std::int64_t(samples.size()); }
    std::int64_t sample_size(std::int64_t n) const override;
    bool is_key_frame(std::int64_t n) const override;
    Status read_sample(std::int64_t n, std::vector<std::uint8_t>& out) override;
};

struct AviVideo {
    std::vector<std::uint8_t> format;  // the video stream's strf bytes
    MemoryPacketSource packets;
};

// First video stream of an AVI: format record and packets in file order.
AviVideo load_avi_video(const std::filesystem::path& file);

// ffmpeg's decode of every picture, each as top-down BGR rows without padding.
std::vector<std::vector<std::uint8_t>> ffmpeg_bgr24_frames(const std::filesystem::path& file,
                                                           int width, int height);

// Mean absolute difference per channel between a 24-bit packed DIB and top-down BGR rows.
double mean_abs_diff(const BITMAPINFOHEADER* dib, const std::vector<std::uint8_t>& bgr);

struct PixelDiff {
    int value = 0;  // largest difference of one channel of one pixel
    int x = -1;
    int y = -1;
};
// The pixel that differs most between a 24- or 32-bit packed DIB and top-down BGR rows.
PixelDiff worst_pixel(const BITMAPINFOHEADER* dib, const std::vector<std::uint8_t>& bgr);

// The rows of a 24- or 32-bit packed DIB as top-down BGR without padding.
std::vector<std::uint8_t> dib_to_bgr(const BITMAPINFOHEADER* dib);

}  // namespace vfw::codec::test
