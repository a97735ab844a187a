// A stream's frames, asked for in a given order, checked against ffmpeg's
// decode of the same file.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "tests/vfw/codec/codec_fixture.h"
#include "vfw.h"

namespace avitest {

inline void expect_frames_match(PAVISTREAM stream,
                                const std::vector<std::vector<std::uint8_t>>& reference,
                                const std::vector<int>& order) {
    PGETFRAME frames = AVIStreamGetFrameOpen(stream, nullptr);
    ASSERT_NE(frames, nullptr);
    for (const int n : order) {
        const auto* dib = static_cast<const BITMAPINFOHEADER*>(AVIStreamGetFrame(frames, n));
        EXPECT_NE(dib, nullptr) << "position " << n;
        if (!dib) continue;
        EXPECT_LT(vfw::codec::test::mean_abs_diff(dib, reference[std::size_t(n)]), 1.0)
            << "position " << n;
    }
    AVIStreamGetFrameClose(frames);
}

}  // namespace avitest
