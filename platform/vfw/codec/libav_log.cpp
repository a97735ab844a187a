#include "vfw/codec/libav_log.h"

#include <cstdlib>
#include <cstring>

extern "C" {
#include <libavutil/log.h>
}

namespace vfw::codec {

void apply_libav_log_switch() {
    const char* value = std::getenv("KORVANE_LIBAV_LOG");
    const bool on = value != nullptr && *value != '\0' && std::strcmp(value, "0") != 0;
    av_log_set_level(on ? AV_LOG_INFO : AV_LOG_QUIET);
}

}  // namespace vfw::codec
