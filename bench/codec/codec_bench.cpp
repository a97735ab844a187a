// Codec layer against ffmpeg on the same 1280 x 720 files, in the same run:
//  - sequential decode to 24-bit RGB: FrameDecoder vs `ffmpeg -f rawvideo -pix_fmt bgr24`
//  - latency of one step forward and of a jump back into a group of pictures
//  - compressed save (decode + re-encode) vs ffmpeg with the same codec and settings
// Usage: codec_bench [frames]   (default 250)
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

extern "C" {
#include <libavutil/log.h>
}

#include "bench/bench_timing.h"
#include "tests/vfw/codec/codec_fixture.h"
#include "vfw/codec/frame_decoder.h"
#include "vfw/codec/video_encoder.h"

namespace {

// The input split into samples by libavformat, so that the bench measures the
// codec layer and not our container; empty when the file cannot be read.
vfw::codec::test::AviVideo load_video(const std::string& file) {
    try {
        return vfw::codec::test::load_avi_video(file);
    } catch (const std::exception&) {
        return {};
    }
}

using bench::best_of;
using bench::Clock;
using bench::seconds_since;
using bench::time_command;

long minor_page_faults() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

struct Input {
    const char* label;
    const char* encode;  // ffmpeg options that make the file
};

void run(const Input& input, const std::string& dir, int frames) {
    const std::string file = dir + "/" + input.label + ".avi";
    const std::string make =
        "ffmpeg -nostdin -loglevel error -y -f lavfi -i testsrc2=size=1280x720:rate=25 "
        "-frames:v " +
        std::to_string(frames) + " " + input.encode + " " + file;
    if (std::system(make.c_str()) != 0) {
        std::printf("%s: could not make the input\n", input.label);
        return;
    }
    vfw::codec::test::AviVideo video = load_video(file);
    const int count = int(video.packets.sample_count());
    if (count == 0) {
        std::printf("%s: could not read the input\n", input.label);
        return;
    }

    // Sequential decode, with the frame cache and without it (as before there was one).
    auto sequential = [&](std::size_t cache_limit) {
        return best_of(3, [&] {
            auto decoder = vfw::codec::FrameDecoder::open(video.packets, video.format);
            if (!decoder) return 1e30;
            decoder.value()->set_cache_limit(cache_limit);
            const auto start = Clock::now();
            for (int n = 0; n < count; ++n)
                if (!decoder.value()->frame(n)) return 1e30;
            return seconds_since(start);
        });
    };
    const double ours = sequential(vfw::codec::FrameDecoder::kDefaultCacheBytes);
    const double uncached = sequential(0);
    const double theirs = best_of(3, [&] {
        return time_command("ffmpeg -nostdin -loglevel error -i " + file +
                            " -f rawvideo -pix_fmt bgr24 -y /dev/null");
    });
    std::printf(
        "%-6s sequential decode, %d frames: FrameDecoder %.1f fps (%.1f fps without the cache), "
        "ffmpeg %.1f fps; ffmpeg's time over ours %.2f (%.2f without the cache)\n",
        input.label, count, count / ours, count / uncached, count / theirs, theirs / ours,
        theirs / uncached);

    // Latency: steps forward from the middle of the file, and jumps back into groups.
    auto decoder = vfw::codec::FrameDecoder::open(video.packets, video.format);
    if (!decoder) return;
    vfw::codec::FrameDecoder& d = *decoder.value();
    const int middle = count / 2;
    (void)d.frame(middle);
    double step_total = 0;
    const int steps = 20;
    for (int i = 1; i <= steps; ++i) {
        const auto start = Clock::now();
        (void)d.frame(middle + i);
        step_total += seconds_since(start);
    }
    // Steps back over the frames just stepped through: from the cache, then with it off.
    auto step_back = [&] {
        double total = 0;
        for (int i = steps - 1; i >= 1; --i) {
            const auto start = Clock::now();
            (void)d.frame(middle + i);
            total += seconds_since(start);
        }
        return 1000 * total / (steps - 1);
    };
    const double back_cached = step_back();
    std::size_t cache_peak = d.cache_bytes();
    d.set_cache_limit(0);
    for (int i = 1; i <= steps; ++i) (void)d.frame(middle + i);
    const double back_uncached = step_back();
    d.set_cache_limit(vfw::codec::FrameDecoder::kDefaultCacheBytes);
    std::printf(
        "%-6s step back inside a group just stepped through: %.2f ms cached, %.2f ms without the "
        "cache\n",
        input.label, back_cached, back_uncached);
    // Cold jumps back into groups not shown since the cache was emptied: it cannot
    // help there, and must not hurt. Page faults tell what fresh memory costs.
    struct Jumps {
        double mean_ms, worst_ms, faults;
    };
    auto jump_back = [&](int first_target) -> Jumps {
        double total = 0, worst = 0;
        long faults = 0;
        int jumps = 0;
        for (int target = first_target; target > 12; target -= 37) {
            (void)d.frame(count - 1);
            // A frame inside a group of pictures: a few frames after its key frame.
            const std::int64_t key = video.packets.key_frame_at_or_before(target - 20);
            const std::int64_t inside = std::max<std::int64_t>(key, 0) + 7;
            const long faults_before = minor_page_faults();
            const auto start = Clock::now();
            (void)d.frame(inside);
            const double t = seconds_since(start);
            faults += minor_page_faults() - faults_before;
            total += t;
            worst = std::max(worst, t);
            ++jumps;
        }
        const double n = std::max(jumps, 1);
        return {1000 * total / n, 1000 * worst, double(faults) / n};
    };
    d.set_cache_limit(0);
    const Jumps cold_uncached = jump_back(count - 1);
    d.set_cache_limit(vfw::codec::FrameDecoder::kDefaultCacheBytes);
    const Jumps cold = jump_back(count - 1);
    // As after playing: the cache full, its last frames not among the targets.
    for (int n = 0; n < count; ++n) (void)d.frame(n);
    const Jumps cold_full = jump_back(count - 1 - 37);
    cache_peak = std::max(cache_peak, d.cache_bytes());
    std::printf(
        "%-6s latency: step forward %.2f ms, cold jump back into a group %.2f ms (worst %.2f ms, "
        "%.0f page faults) with the cache filling, %.2f ms (worst %.2f ms, %.0f page faults) with "
        "it full, without the cache %.2f ms (worst %.2f ms, %.0f page faults)\n",
        input.label, 1000 * step_total / steps, cold.mean_ms, cold.worst_ms, cold.faults,
        cold_full.mean_ms, cold_full.worst_ms, cold_full.faults, cold_uncached.mean_ms,
        cold_uncached.worst_ms, cold_uncached.faults);
    std::printf("%-6s frame cache peak %.1f MiB (bound %.0f MiB)\n", input.label,
                cache_peak / 1048576.0, vfw::codec::FrameDecoder::kDefaultCacheBytes / 1048576.0);
}

void save(const std::string& dir, const char* label, std::uint32_t fourcc, int quality,
          const std::string& ffmpeg_codec, int frames) {
    const std::string file = dir + "/" + label + "-save-src.avi";
    const std::string make =
        "ffmpeg -nostdin -loglevel error -y -f lavfi -i testsrc2=size=1280x720:rate=25 "
        "-frames:v " +
        std::to_string(frames) + " -c:v mpeg4 -q:v 2 -g 12 " + file;
    if (std::system(make.c_str()) != 0) return;
    vfw::codec::test::AviVideo video = load_video(file);
    const int count = int(video.packets.sample_count());
    std::size_t bytes = 0;
    const double ours = best_of(2, [&] {
        bytes = 0;
        auto decoder = vfw::codec::FrameDecoder::open(video.packets, video.format);
        if (!decoder) return 1e30;
        vfw::codec::VideoEncoderSettings settings;
        settings.fourcc = fourcc;
        settings.quality = quality;
        settings.key_frame_every = 12;
        auto encoder = vfw::codec::VideoEncoder::open(decoder.value()->output_format(), settings);
        if (!encoder) return 1e30;
        const auto start = Clock::now();
        for (int n = 0; n < count; ++n) {
            auto packets = encoder.value()->encode(decoder.value()->frame(n));
            if (!packets) return 1e30;
            for (const auto& p : packets.value()) bytes += p.data.size();
        }
        auto rest = encoder.value()->finish();
        if (rest)
            for (const auto& p : rest.value()) bytes += p.data.size();
        return seconds_since(start);
    });
    const double theirs = best_of(2, [&] {
        return time_command("ffmpeg -nostdin -loglevel error -i " + file + " -c:v " + ffmpeg_codec +
                            " -g 12 -bf 0 -f avi -y " + dir + "/ffmpeg-save.avi");
    });
    std::printf(
        "%-6s compressed save, %d frames: ours %.1f fps (%zu KB), ffmpeg %.1f fps, ratio %.2f\n",
        label, count, count / ours, bytes / 1024, count / theirs, theirs / ours);
}

}  // namespace

int main(int argc, char** argv) {
    const int frames = argc > 1 ? std::max(30, std::atoi(argv[1])) : 250;
    av_log_set_level(AV_LOG_ERROR);  // encoders' statistics would drown the results
    char pattern[] = "/tmp/korvane-codec-bench-XXXXXX";
    if (!mkdtemp(pattern)) return 1;
    const std::string dir = pattern;
    const Input inputs[] = {
        {"mpeg4", "-c:v mpeg4 -q:v 3 -bf 2 -g 12"},
        {"h264", "-c:v libx264 -preset fast -bf 2 -g 25 -pix_fmt yuv420p"},
    };
    for (const Input& input : inputs) run(input, dir, frames);
    // Quality 8000 maps to quantiser 31 - 8000 * 29 / 10000 = 8, and to crf 45 - 28 = 17.
    save(dir, "mpeg4", 0x34504D46 /* FMP4 */, 8000, "mpeg4 -qscale:v 8", frames / 2);
    save(dir, "h264", 0x34363248 /* H264 */, 8000, "libx264 -crf 17", frames / 2);
    std::filesystem::remove_all(dir);
    return 0;
}
