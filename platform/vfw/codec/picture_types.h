// The coding type of each picture in a sample, read from the bitstream headers
// without decoding: enough to see which B-frames a key frame carries ahead of it.
#pragma once

#include <cstdint>
#include <vector>

namespace vfw::codec {

enum class PictureType { Intra, Predicted, Bidirectional };

// MPEG-4 part 2: one entry per picture (a packed sample holds two).
void mpeg4_picture_types(const std::vector<std::uint8_t>& sample, std::vector<PictureType>& types);

// H.264: the type of the sample's first slice. `length_size` is 0 for start-code
// streams, else the size of the NAL length fields (streams with an 'avcC' record).
void h264_picture_types(const std::vector<std::uint8_t>& sample, int length_size,
                        std::vector<PictureType>& types);

}  // namespace vfw::codec
