// The "Video Compression" dialog: compressor, quality and, as the flags ask,
// key-frame interval, data rate and a preview of one frame.
#pragma once

#include "vfw.h"
#include "win/resources/templates.h"

namespace vfw::options {

namespace video_ids {
inline constexpr int kCompressor = 1100;
inline constexpr int kQuality = 1101;
inline constexpr int kQualityText = 1102;
inline constexpr int kKeyFrameCheck = 1103;
inline constexpr int kKeyFrameEdit = 1104;
inline constexpr int kDataRateCheck = 1105;
inline constexpr int kDataRateEdit = 1106;
inline constexpr int kPreview = 1107;
inline constexpr int kPreviewText = 1108;
inline constexpr int kConfigure = 1109;
inline constexpr int kAbout = 1110;
inline constexpr int kQualityLabel = 1111;
}  // namespace video_ids

win::res::DialogTemplate video_dialog_template(UINT flags);

// Shows the dialog for a video stream, starting from what `options` holds
// when it is marked valid. True on OK with `options` filled; false on Cancel
// or when the dialog cannot be shown, `options` untouched.
bool run_video_dialog(HWND owner, UINT flags, PAVISTREAM stream, AVICOMPRESSOPTIONS& options);

}  // namespace vfw::options
