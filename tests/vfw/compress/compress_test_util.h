// Helpers for the compression tests: fixtures ffmpeg writes, what ffprobe
// says about a file, and opening a file's first stream of a type.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>

#include "tests/vfw/avi/avi_test_util.h"
#include "vfw.h"

namespace compresstest {

// A command's standard output without its trailing line end.
inline std::string run(const std::string& command) {
    std::string out = avitest::run(command);
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
    return out;
}

// One stream entry as ffprobe prints it, e.g. "codec_name" or "nb_read_packets".
inline std::string probe(const std::filesystem::path& file, const char* type,
                         const std::string& entry) {
    return run(std::string("ffprobe -v error -count_packets -select_streams ") + type +
               ":0 -show_entries stream=" + entry + " -of default=nw=1:nk=1 '" + file.string() +
               "'");
}

inline double probe_duration(const std::filesystem::path& file, const char* type) {
    // Packets' own timing: the headers' duration is not what is checked here.
    std::string out =
        run(std::string("ffprobe -v error -select_streams ") + type +
            ":0 -show_entries packet=dts_time,duration_time -of csv=p=0 '" + file.string() +
            "' | awk -F, 'BEGIN{m=0} {e=$1+$2; if (e>m) m=e} END{print m}'");
    return out.empty() ? -1.0 : std::stod(out);
}

// ffmpeg decodes the whole file without a complaint.
inline bool ffmpeg_decodes(const std::filesystem::path& file) {
    return run("ffmpeg -nostdin -v error -i '" + file.string() + "' -f null - 2>&1; echo rc=$?") ==
           "rc=0";
}

// A file and its first stream of a type, released at the end of the scope.
struct Opened {
    PAVIFILE file = nullptr;
    PAVISTREAM stream = nullptr;
    Opened(const std::filesystem::path& path, DWORD type) {
        if (AVIFileOpenA(&file, path.c_str(), OF_READ, nullptr) == AVIERR_OK)
            (void)AVIFileGetStream(file, &stream, type, 0);
    }
    ~Opened() {
        if (stream) AVIStreamRelease(stream);
        if (file) AVIFileRelease(file);
    }
    Opened(const Opened&) = delete;
    Opened& operator=(const Opened&) = delete;
};

}  // namespace compresstest
