// Key frames of a video stream whose index was rebuilt from its chunks: a scan
// cannot tell them, so each sample's own bitstream is asked.
#pragma once

#include "vfw/avifile/sample_map.h"
#include "vfw/riff/avi_reader.h"

namespace vfw {

void learn_key_samples(const riff::AviReader& reader, const riff::StreamData& stream,
                       SampleMap& samples);

}  // namespace vfw
