#include "vfw/codec/picture_types.h"

#include <cstddef>

namespace vfw::codec {

namespace {

// Exp-Golomb reader over the first bytes of a NAL unit, dropping emulation-prevention bytes.
class BitReader {
  public:
    BitReader(const std::uint8_t* data, std::size_t size) {
        for (std::size_t i = 0; i < size && bytes_.size() < 32; ++i) {
            if (i >= 2 && data[i] == 3 && data[i - 1] == 0 && data[i - 2] == 0) continue;
            bytes_.push_back(data[i]);
        }
    }
    bool bit(unsigned& out) {
        if (pos_ >= bytes_.size() * 8) return false;
        out = (bytes_[pos_ / 8] >> (7 - pos_ % 8)) & 1;
        ++pos_;
        return true;
    }
    bool ue(unsigned& out) {
        int zeros = 0;
        unsigned b = 0;
        while (bit(b) && b == 0)
            if (++zeros > 31) return false;
        if (b != 1) return false;
        unsigned value = 1;
        for (int i = 0; i < zeros; ++i) {
            if (!bit(b)) return false;
            value = value << 1 | b;
        }
        out = value - 1;
        return true;
    }

  private:
    std::vector<std::uint8_t> bytes_;
    std::size_t pos_ = 0;
};

// The slice type of a coded-slice NAL unit, if `nal` is one.
bool slice_type(const std::uint8_t* nal, std::size_t size, PictureType& type) {
    if (size < 2) return false;
    const int nal_type = nal[0] & 0x1f;
    if (nal_type != 1 && nal_type != 5) return false;
    BitReader r(nal + 1, size - 1);
    unsigned first_mb = 0, kind = 0;
    if (!r.ue(first_mb) || !r.ue(kind)) return false;
    switch (kind % 5) {
        case 1:
            type = PictureType::Bidirectional;
            break;
        case 2:
        case 4:
            type = PictureType::Intra;
            break;
        default:
            type = PictureType::Predicted;
            break;
    }
    return true;
}

}  // namespace

void mpeg4_picture_types(const std::vector<std::uint8_t>& bytes, std::vector<PictureType>& types) {
    types.clear();
    for (std::size_t i = 0; i + 4 < bytes.size(); ++i) {
        if (bytes[i] != 0 || bytes[i + 1] != 0 || bytes[i + 2] != 1 || bytes[i + 3] != 0xB6)
            continue;
        switch (bytes[i + 4] >> 6) {
            case 0:
                types.push_back(PictureType::Intra);
                break;
            case 2:
                types.push_back(PictureType::Bidirectional);
                break;
            default:
                types.push_back(PictureType::Predicted);
                break;
        }
    }
}

void h264_picture_types(const std::vector<std::uint8_t>& bytes, int length_size,
                        std::vector<PictureType>& types) {
    types.clear();
    PictureType type{};
    if (length_size > 0) {
        for (std::size_t at = 0; at + std::size_t(length_size) <= bytes.size();) {
            std::size_t size = 0;
            for (int k = 0; k < length_size; ++k) size = size << 8 | bytes[at + std::size_t(k)];
            at += std::size_t(length_size);
            if (size > bytes.size() - at) return;
            if (slice_type(bytes.data() + at, size, type)) {
                types.push_back(type);
                return;
            }
            at += size;
        }
        return;
    }
    for (std::size_t i = 0; i + 3 < bytes.size(); ++i) {
        if (bytes[i] != 0 || bytes[i + 1] != 0 || bytes[i + 2] != 1) continue;
        if (slice_type(bytes.data() + i + 3, bytes.size() - i - 3, type)) {
            types.push_back(type);
            return;
        }
        i += 2;
    }
}

}  // namespace vfw::codec
