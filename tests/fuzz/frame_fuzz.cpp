// libFuzzer target past the reader: the input opened through AVIFileOpenA,
// every sample of every stream read with AVIStreamRead, and the first, a middle
// and the last frame of each video stream decoded through the codec layer. The
// fuzzing build sets a small frame-size limit, so a huge claimed frame is refused
// rather than allocated.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "vfw.h"

namespace {

void read_every_sample(PAVISTREAM stream, std::vector<std::uint8_t>& buffer) {
    const LONG length = AVIStreamLength(stream);
    for (LONG n = 0; n < length; ++n) {
        LONG bytes = 0, samples = 0;
        AVIStreamRead(stream, n, 1, buffer.data(), LONG(buffer.size()), &bytes, &samples);
        if (bytes > LONG(buffer.size())) __builtin_trap();  // wrote past what it was given
    }
}

void decode_some_frames(PAVISTREAM stream) {
    PGETFRAME frames = AVIStreamGetFrameOpen(stream, nullptr);
    if (!frames) return;
    const LONG length = AVIStreamLength(stream);
    for (LONG n : {LONG(0), length / 2, length - 1}) AVIStreamGetFrame(frames, n);
    AVIStreamGetFrameClose(frames);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    int fd = memfd_create("frame_fuzz", MFD_CLOEXEC);
    if (fd < 0) return 0;
    if (size && write(fd, data, size) != ssize_t(size)) {
        close(fd);
        return 0;
    }
    const std::string path = "/proc/self/fd/" + std::to_string(fd);
    PAVIFILE file = nullptr;
    if (AVIFileOpenA(&file, path.c_str(), 0, nullptr) == AVIERR_OK) {
        std::vector<std::uint8_t> buffer(size + 16);
        for (LONG i = 0;; ++i) {
            PAVISTREAM stream = nullptr;
            if (AVIFileGetStream(file, &stream, 0, i) != AVIERR_OK) break;
            read_every_sample(stream, buffer);
            AVISTREAMINFOA info{};
            if (AVIStreamInfoA(stream, &info, sizeof info) == AVIERR_OK &&
                info.fccType == streamtypeVIDEO)
                decode_some_frames(stream);
            AVIStreamRelease(stream);
        }
        if (AVIFileRelease(file) != 0) __builtin_trap();  // a reference was left behind
    }
    close(fd);
    return 0;
}
