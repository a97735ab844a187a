// libav's own log lines are for whoever works on the program, not for its users:
// they reach the terminal only when KORVANE_LIBAV_LOG is set.
#pragma once

namespace vfw::codec {

// Applies the switch; called whenever a codec is opened, so the setting in force
// when the program runs is the one that counts.
void apply_libav_log_switch();

}  // namespace vfw::codec
