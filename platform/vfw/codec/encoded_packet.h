// One compressed sample as an encoder hands it out.
#pragma once

#include <cstdint>
#include <vector>

namespace vfw::codec {

struct EncodedPacket {
    std::vector<std::uint8_t> data;
    bool key = false;
};

}  // namespace vfw::codec
