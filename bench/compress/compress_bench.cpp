// Compressed save through the AVIFile calls (AVIMakeCompressedStream +
// AVISaveA: our container, decoder, encoder and writer) against ffmpeg
// making the same file with the same codec and settings, in the same run,
// on 1280 x 720 video and on two minutes of stereo sound.
// Usage: compress_bench [frames]   (default 150)
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

extern "C" {
#include <libavutil/log.h>
}

#include "bench/bench_timing.h"
#include "vfw.h"

namespace {

double save_ours(const std::string& in, const std::string& out, DWORD type,
                 AVICOMPRESSOPTIONS options) {
    PAVIFILE file = nullptr;
    PAVISTREAM stream = nullptr, compressed = nullptr;
    if (AVIFileOpenA(&file, in.c_str(), OF_READ, nullptr) != AVIERR_OK) return 1e30;
    double took = 1e30;
    if (AVIFileGetStream(file, &stream, type, 0) == AVIERR_OK) {
        const auto start = bench::Clock::now();
        if (AVIMakeCompressedStream(&compressed, stream, &options, nullptr) == AVIERR_OK &&
            AVISaveA(out.c_str(), nullptr, nullptr, 1, compressed, &options) == AVIERR_OK)
            took = bench::seconds_since(start);
        if (compressed) AVIStreamRelease(compressed);
        AVIStreamRelease(stream);
    }
    AVIFileRelease(file);
    return took;
}

void report(const char* label, double units, const char* unit, double ours, double theirs,
            const std::string& our_file, const std::string& their_file) {
    std::printf("%-22s ours %.1f %s (%ju KB), ffmpeg %.1f %s (%ju KB), ratio %.2f\n", label,
                units / ours, unit, std::uintmax_t(std::filesystem::file_size(our_file) / 1024),
                units / theirs, unit, std::uintmax_t(std::filesystem::file_size(their_file) / 1024),
                theirs / ours);
}

void video(const std::string& dir, const char* label, DWORD fourcc, const std::string& ffmpeg_codec,
           int frames) {
    const std::string src = dir + "/video-src.avi";
    const std::string ours_file = dir + "/ours.avi", theirs_file = dir + "/theirs.avi";
    AVICOMPRESSOPTIONS options{};
    options.fccType = streamtypeVIDEO;
    options.fccHandler = fourcc;
    options.dwQuality = 8000;  // quantiser 8 for MPEG-4, crf 17 for H.264
    options.dwFlags = AVICOMPRESSF_VALID | AVICOMPRESSF_KEYFRAMES;
    options.dwKeyFrameEvery = 12;
    const double ours =
        bench::best_of(2, [&] { return save_ours(src, ours_file, streamtypeVIDEO, options); });
    const double theirs = bench::best_of(2, [&] {
        return bench::time_command("ffmpeg -nostdin -loglevel error -i " + src + " -c:v " +
                                   ffmpeg_codec + " -g 12 -bf 0 -an -f avi -y " + theirs_file);
    });
    report(label, frames, "fps", ours, theirs, ours_file, theirs_file);
}

}  // namespace

int main(int argc, char** argv) {
    const int frames = argc > 1 ? std::max(30, std::atoi(argv[1])) : 150;
    av_log_set_level(AV_LOG_ERROR);  // encoders' statistics would drown the results
    char pattern[] = "/tmp/korvane-compress-bench-XXXXXX";
    if (!mkdtemp(pattern)) return 1;
    const std::string dir = pattern;
    if (std::system(("ffmpeg -nostdin -loglevel error -y -f lavfi -i "
                     "testsrc2=size=1280x720:rate=25 -frames:v " +
                     std::to_string(frames) + " -c:v mpeg4 -q:v 2 -g 12 " + dir + "/video-src.avi")
                        .c_str()) != 0 ||
        std::system(("ffmpeg -nostdin -loglevel error -y -f lavfi -i "
                     "sine=frequency=440:sample_rate=44100:duration=120 "
                     "-ac 2 -c:a pcm_s16le " +
                     dir + "/sound-src.avi")
                        .c_str()) != 0) {
        std::printf("could not make the inputs\n");
        return 1;
    }
    AVIFileInit();
    video(dir, "MPEG-4 720p save", mmioFOURCC('F', 'M', 'P', '4'), "mpeg4 -qscale:v 8", frames);
    video(dir, "H.264 720p save", mmioFOURCC('H', '2', '6', '4'), "libx264 -crf 17", frames);

    WAVEFORMATEX mp3{};
    mp3.wFormatTag = WAVE_FORMAT_MPEGLAYER3;
    mp3.nChannels = 2;
    mp3.nSamplesPerSec = 44100;
    mp3.nAvgBytesPerSec = 128000 / 8;
    AVICOMPRESSOPTIONS options{};
    options.fccType = streamtypeAUDIO;
    options.lpFormat = &mp3;
    options.cbFormat = sizeof mp3;
    options.dwFlags = AVICOMPRESSF_VALID;
    const std::string src = dir + "/sound-src.avi";
    const double ours = bench::best_of(
        2, [&] { return save_ours(src, dir + "/ours.avi", streamtypeAUDIO, options); });
    const double theirs = bench::best_of(2, [&] {
        return bench::time_command("ffmpeg -nostdin -loglevel error -i " + src +
                                   " -c:a libmp3lame -b:a 128k -f avi -y " + dir + "/theirs.avi");
    });
    report("MP3 128k save (120 s)", 120, "x realtime", ours, theirs, dir + "/ours.avi",
           dir + "/theirs.avi");
    AVIFileExit();
    std::filesystem::remove_all(dir);
    return 0;
}
