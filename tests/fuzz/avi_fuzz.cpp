// libFuzzer target: opens the input as an AVI file, then reads every chunk
// that the index of every stream names. Any crash, hang, leak or huge
// allocation is a bug in the reader.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "vfw/riff/avi_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    int fd = memfd_create("avi_fuzz", MFD_CLOEXEC);
    if (fd < 0) return 0;
    if (size && write(fd, data, size) != ssize_t(size)) {
        close(fd);
        return 0;
    }
    std::string path = "/proc/self/fd/" + std::to_string(fd);
    std::unique_ptr<vfw::riff::AviReader> reader;
    if (vfw::riff::ok(vfw::riff::AviReader::open(path, reader))) {
        std::vector<std::uint8_t> chunk;
        for (const vfw::riff::StreamData& s : reader->streams()) {
            for (const vfw::riff::IndexEntry& e : s.index) {
                if (e.size > size) __builtin_trap();  // an index entry larger than the file
                chunk.resize(e.size);
                if (!vfw::riff::ok(reader->read_chunk(e, chunk.data()))) __builtin_trap();
            }
        }
    }
    close(fd);
    return 0;
}
