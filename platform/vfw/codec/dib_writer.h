// Turns decoded pictures into the packed DIB (header, colour table, rows) that
// callers of the frame decompressor receive.
#pragma once

#include <cstdint>
#include <vector>

#include "vfw/codec/av_ptr.h"
#include "vfw/codec/codec_result.h"
#include "wingdi.h"

namespace vfw::codec {

class DibWriter {
  public:
    // The output must have passed check_output_format. `colours` sizes the colour table
    // of 8-bit output, for paletted pictures of the output's size that use fewer.
    void configure(const BITMAPINFOHEADER& output, std::uint32_t colours = 256);
    // Converts (and scales, if sizes differ) one picture into the DIB.
    Status write(const AVFrame& frame);

    const BITMAPINFOHEADER* dib() const {
        return reinterpret_cast<const BITMAPINFOHEADER*>(storage_.data() + offset_);
    }
    std::size_t dib_size() const { return header_bytes_ + image_bytes_; }
    const BITMAPINFOHEADER& header() const { return *dib(); }

  private:
    std::uint8_t* base() { return storage_.data() + offset_; }
    std::uint8_t* bits() { return base() + header_bytes_; }
    void set_palette(const RGBQUAD* colors, std::size_t count);
    void copy_pal8(const AVFrame& frame);
    Status scale(const AVFrame& frame);
    void pack_555(std::size_t in_stride);

    std::vector<std::uint8_t> storage_;
    std::size_t offset_ = 0;        // start of the header, chosen so the rows are aligned
    std::size_t header_bytes_ = 0;  // header and colour table
    std::size_t image_bytes_ = 0;
    std::uint32_t colours_ = 0;  // entries of the colour table
    AVPixelFormat out_format_ = AV_PIX_FMT_NONE;
    std::vector<std::uint8_t> scratch_;  // converted rows, padded, on the way to the DIB
    SwsPtr sws_;
    int sws_colorspace_ = -1;
    int sws_range_ = -1;
};

}  // namespace vfw::codec
