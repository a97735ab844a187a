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
    // Converts (and scales, if sizes differ) one picture into the packed DIB at `dib`,
    // dib_size() bytes that the caller owns (the frame cache's, mostly), header and all.
    Status write(const AVFrame& frame, std::uint8_t* dib);

    std::size_t dib_size() const { return header_bytes_ + image_bytes_; }
    const BITMAPINFOHEADER& header() const {
        return *reinterpret_cast<const BITMAPINFOHEADER*>(header_.data());
    }

  private:
    void clear_row_padding(std::uint8_t* bits) const;
    void copy_pal8(const AVFrame& frame, std::uint8_t* dib);
    Status scale(const AVFrame& frame, std::uint8_t* bits);
    void pack_555(std::size_t in_stride, std::uint8_t* bits);

    std::vector<std::uint8_t> header_;  // header and colour table, as every DIB starts
    std::size_t header_bytes_ = 0;
    std::size_t image_bytes_ = 0;
    std::uint32_t colours_ = 0;  // entries of the colour table
    AVPixelFormat out_format_ = AV_PIX_FMT_NONE;
    std::vector<std::uint8_t> scratch_;  // converted rows, padded, on the way to the DIB
    SwsPtr sws_;
    int sws_colorspace_ = -1;
    int sws_range_ = -1;
};

}  // namespace vfw::codec
