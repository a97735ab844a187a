// The "Sound Selection" dialog: an audio format and its attributes.
#pragma once

#include "vfw.h"
#include "win/resources/templates.h"

namespace vfw::options {

namespace audio_ids {
inline constexpr int kName = 1200;
inline constexpr int kFormat = 1201;
inline constexpr int kAttributes = 1202;
inline constexpr int kSaveAs = 1203;
inline constexpr int kRemove = 1204;
}  // namespace audio_ids

win::res::DialogTemplate audio_dialog_template();

// Shows the dialog for an audio stream. True on OK: `options` gets the
// chosen WAVEFORMATEX in a block of its own (lpFormat, cbFormat) that
// AVISaveOptionsFree releases. False on Cancel, `options` untouched.
bool run_audio_dialog(HWND owner, PAVISTREAM stream, AVICOMPRESSOPTIONS& options);

}  // namespace vfw::options
