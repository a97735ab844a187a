// Copying a large video stream sample by sample through AVIStreamRead and
// AVIStreamWrite (the program's copy loop), against `ffmpeg -c copy` and
// `cp` on the same file in the same run, with each contender's peak memory.
// Default input is 256 MB; --full makes it 1 GB. --dir picks the folder.
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "bench_util.h"
#include "vfw.h"
#include "vfw/riff/avi_writer.h"

namespace {

constexpr int kWidth = 640, kHeight = 480;
constexpr std::uint32_t kFrameBytes = kWidth * kHeight * 3;

bool generate(const std::string& path, std::uint64_t bytes) {
    std::unique_ptr<vfw::riff::AviWriter> w;
    if (!vfw::riff::ok(vfw::riff::AviWriter::create(path, w))) return false;
    vfw::riff::StreamHeader h{};
    h.type = vfw::riff::cc::vids;
    h.handler = vfw::riff::fourcc('D', 'I', 'B', ' ');
    h.scale = 1;
    h.rate = 25;
    h.frame_right = kWidth;
    h.frame_bottom = kHeight;
    int v = 0;
    BITMAPINFOHEADER bi{40, kWidth, kHeight, 1, 24, BI_RGB, kFrameBytes, 0, 0, 0, 0};
    if (!vfw::riff::ok(w->add_stream(h, v)) || !vfw::riff::ok(w->set_format(v, &bi, sizeof bi)) ||
        !vfw::riff::ok(w->set_chunk_type(v, 0x6264)))
        return false;
    std::vector<std::uint8_t> frame(kFrameBytes);
    std::uint32_t x = 2463534242u;
    for (auto& b : frame) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        b = std::uint8_t(x);
    }
    for (std::uint64_t i = 0; i * kFrameBytes < bytes; ++i) {
        frame[0] = std::uint8_t(i);
        if (!vfw::riff::ok(w->write_sample(v, frame.data(), kFrameBytes, true))) return false;
    }
    return vfw::riff::ok(w->finish());
}

// The program's video copy: position from 0, buffer grown to what a read
// reports, key flag from FIND_KEY | FIND_PREV, write at the same position.
int copy_video(const std::string& in, const std::string& out, LONG limit) {
    PAVIFILE src = nullptr, dst = nullptr;
    PAVISTREAM s = nullptr, d = nullptr;
    if (AVIFileOpenA(&src, in.c_str(), 0, nullptr) || AVIFileGetStream(src, &s, streamtypeVIDEO, 0))
        return 2;
    AVISTREAMINFOA info{};
    AVIStreamInfoA(s, &info, sizeof info);
    BITMAPINFOHEADER format{};
    LONG fsize = sizeof format;
    AVIStreamReadFormat(s, 0, &format, &fsize);
    if (AVIFileOpenA(&dst, out.c_str(), OF_WRITE | OF_CREATE, nullptr) ||
        AVIFileCreateStreamA(dst, &d, &info) || AVIStreamSetFormat(d, 0, &format, sizeof format))
        return 3;
    std::vector<std::uint8_t> buffer;
    HRESULT hr = AVIERR_OK;
    for (LONG pos = 0; hr == AVIERR_OK && pos < limit; ++pos) {
        LONG bytes = 0, samples = 0;
        hr = AVIStreamRead(s, pos, 1, buffer.data(), LONG(buffer.size()), &bytes, &samples);
        if (bytes > LONG(buffer.size())) {
            buffer.resize(std::size_t(bytes));
            hr = AVIStreamRead(s, pos, 1, buffer.data(), LONG(buffer.size()), &bytes, &samples);
        }
        if (bytes > 0) {
            DWORD key =
                AVIStreamFindSample(s, pos, FIND_KEY | FIND_PREV) == pos ? AVIIF_KEYFRAME : 0;
            if (AVIStreamWrite(d, pos, 1, buffer.data(), bytes, key, nullptr, nullptr) != AVIERR_OK)
                return 4;
        }
    }
    AVIStreamRelease(d);
    AVIFileRelease(dst);
    AVIStreamRelease(s);
    AVIFileRelease(src);
    return 0;
}

void report(const char* name, const avibench::Measure& m, double mb) {
    std::printf("  %-34s %8.3f s  %8.1f MB/s  peak %7ld KB%s\n", name, m.seconds, mb / m.seconds,
                m.peak_kb, m.ok ? "" : "  (FAILED)");
}

}  // namespace

int main(int argc, char** argv) {
    const bool full = avibench::flag(argc, argv, "--full");
    const std::uint64_t bytes = full ? (1ull << 30) : (256ull << 20);
    const std::string dir = avibench::folder_arg(argc, argv, "/tmp");
    const std::string in = dir + "/korvane_bench_in.avi", out = dir + "/korvane_bench_out.avi";
    if (!generate(in, bytes)) {
        std::fprintf(stderr, "cannot write %s\n", in.c_str());
        return 1;
    }
    const double mb = double(bytes) / (1 << 20);
    const int runs = 3;
    auto fresh = [&] {
        std::remove(out.c_str());
        sync();  // earlier contenders' dirty pages must not slow the next one
        avibench::warm(in);
    };

    avibench::Measure ours = avibench::best_of(runs, [&] {
        fresh();
        return avibench::in_child([&] { return copy_video(in, out, 0x7FFFFFFF); });
    });
    avibench::Measure half = avibench::best_of(1, [&] {
        fresh();
        return avibench::in_child(
            [&] { return copy_video(in, out, LONG(bytes / kFrameBytes / 2)); });
    });
    avibench::Measure ffmpeg = avibench::best_of(runs, [&] {
        fresh();
        return avibench::command(
            {"ffmpeg", "-v", "error", "-y", "-i", in, "-map", "0:v", "-c", "copy", out});
    });
    avibench::Measure cp = avibench::best_of(runs, [&] {
        fresh();
        return avibench::command({"cp", in, out});
    });
    std::remove(out.c_str());
    std::remove(in.c_str());

    std::printf("copy of a %.0f MB video stream, %u-byte frames (best of %d, page cache warm)\n",
                mb, kFrameBytes, runs);
    report("AVIStreamRead/AVIStreamWrite loop", ours, mb);
    report("ffmpeg -map 0:v -c copy", ffmpeg, mb);
    report("cp", cp, mb);
    std::printf("  ratio ffmpeg time / ours          : %6.2f (aim: above 1)\n",
                ffmpeg.seconds / ours.seconds);
    std::printf("  our speed as a share of cp's      : %6.2f (aim: 0.8 or more)\n",
                cp.seconds / ours.seconds);
    std::printf("  our peak memory, half / whole file: %ld KB / %ld KB\n", half.peak_kb,
                ours.peak_kb);
    return ours.ok && ffmpeg.ok && cp.ok && half.ok ? 0 : 1;
}
