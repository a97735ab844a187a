// Opening an AVI file whose index holds 100,000 entries: AVIFileOpenA with a
// stream and its record, against libavformat opening the same file (which
// also loads the whole index), best of several runs in the same process.
extern "C" {
#include <libavformat/avformat.h>
}

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "bench/bench_timing.h"
#include "bench_util.h"
#include "vfw.h"
#include "vfw/riff/avi_writer.h"

namespace {

constexpr int kEntries = 100000;

bool generate(const std::string& path) {
    std::unique_ptr<vfw::riff::AviWriter> w;
    if (!vfw::riff::ok(vfw::riff::AviWriter::create(path, w))) return false;
    vfw::riff::StreamHeader h{};
    h.type = vfw::riff::cc::vids;
    h.handler = vfw::riff::fourcc('M', 'J', 'P', 'G');
    h.scale = 1;
    h.rate = 25;
    h.frame_right = 16;
    h.frame_bottom = 16;
    int v = 0;
    BITMAPINFOHEADER bi{40, 16, 16, 1, 24, vfw::riff::fourcc('M', 'J', 'P', 'G'), 0, 0, 0, 0, 0};
    if (!vfw::riff::ok(w->add_stream(h, v)) || !vfw::riff::ok(w->set_format(v, &bi, sizeof bi)))
        return false;
    std::vector<std::uint8_t> frame(16, 7);
    for (int i = 0; i < kEntries; ++i)
        if (!vfw::riff::ok(
                w->write_sample(v, frame.data(), std::uint32_t(frame.size()), i % 25 == 0)))
            return false;
    return vfw::riff::ok(w->finish());
}

template <typename F>
double best_ms(int runs, F&& fn) {
    double best = bench::best_of(runs, [&] {
        const auto start = bench::Clock::now();
        return fn() ? bench::seconds_since(start) : -1.0;
    });
    return best < 0 ? best : best * 1000;
}

}  // namespace

int main(int argc, char** argv) {
    std::string dir = avibench::folder_arg(argc, argv, "/tmp");
    std::string path = dir + "/korvane_bench_open.avi";
    if (!generate(path)) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return 1;
    }
    avibench::warm(path);
    const int runs = 15;

    double ours = best_ms(runs, [&] {
        PAVIFILE f = nullptr;
        if (AVIFileOpenA(&f, path.c_str(), OF_READ, nullptr) != AVIERR_OK) return false;
        PAVISTREAM s = nullptr;
        AVISTREAMINFOA info{};
        bool ok = AVIFileGetStream(f, &s, streamtypeVIDEO, 0) == AVIERR_OK &&
                  AVIStreamInfoA(s, &info, sizeof info) == AVIERR_OK &&
                  info.dwLength == DWORD(kEntries);
        if (s) AVIStreamRelease(s);
        AVIFileRelease(f);
        return ok;
    });
    double peer = best_ms(runs, [&] {
        AVFormatContext* ctx = nullptr;
        if (avformat_open_input(&ctx, path.c_str(), nullptr, nullptr) < 0) return false;
        bool ok =
            ctx->nb_streams == 1 && avformat_index_get_entries_count(ctx->streams[0]) == kEntries;
        avformat_close_input(&ctx);
        return ok;
    });
    std::remove(path.c_str());
    if (ours < 0 || peer < 0) {
        std::fprintf(stderr, "an open failed (ours %.3f, libavformat %.3f)\n", ours, peer);
        return 1;
    }
    std::printf("open, %d index entries (best of %d)\n", kEntries, runs);
    std::printf("  AVIFileOpenA + stream + info : %8.2f ms\n", ours);
    std::printf("  libavformat open_input       : %8.2f ms\n", peer);
    std::printf("  ratio libavformat / ours     : %8.2f (above 1: we are faster)\n", peer / ours);
    return 0;
}
