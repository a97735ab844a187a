// What ffprobe/ffmpeg see in a file, and the same seen through our calls,
// as comparable packet lists.
#pragma once

#include <zlib.h>

#include <cstdio>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "avi_test_util.h"
#include "vfw.h"

namespace avitest {

struct Packet {
    int stream = 0;
    long long size = 0;
    long long pos = 0;  // of the data in the file
    bool key = false;
    std::string crc;  // CRC-32 of the data, as ffprobe prints it

    bool operator==(const Packet&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const Packet& p) {
    return os << "{stream " << p.stream << " size " << p.size << " pos " << p.pos << " key "
              << p.key << " " << p.crc << "}";
}

inline std::map<std::string, std::string> fields(const std::string& line) {
    std::map<std::string, std::string> out;
    std::stringstream ss(line);
    std::string item;
    while (std::getline(ss, item, '|')) {
        auto eq = item.find('=');
        if (eq != std::string::npos) out[item.substr(0, eq)] = item.substr(eq + 1);
    }
    return out;
}

// Packets per stream, in file order, as ffprobe reads them.
inline std::map<int, std::vector<Packet>> probe_packets(const std::string& path,
                                                        bool with_crc = true) {
    std::string cmd = "ffprobe -v error -show_entries packet=stream_index,size,pos,flags" +
                      std::string(with_crc ? ",data_hash -show_data_hash CRC32" : "") +
                      " -of compact=p=0 '" + path + "'";
    std::map<int, std::vector<Packet>> out;
    std::stringstream lines(run(cmd));
    std::string line;
    while (std::getline(lines, line)) {
        auto f = fields(line);
        if (!f.count("stream_index")) continue;
        Packet p;
        p.stream = std::stoi(f["stream_index"]);
        p.size = std::stoll(f["size"]);
        p.pos = std::stoll(f["pos"]);
        p.key = !f["flags"].empty() && f["flags"][0] == 'K';
        if (with_crc) p.crc = f["data_hash"];
        out[p.stream].push_back(p);
    }
    return out;
}

inline std::string crc_of(const Bytes& data) {
    char text[32];
    std::snprintf(text, sizeof text, "CRC32:%08lx", crc32(0L, data.data(), uInt(data.size())));
    return text;
}

// Packets per stream through AVIStreamRead: one per non-empty chunk
// (fixed-size streams are read a chunk at a time with AVISTREAMREAD_CONVENIENT).
inline std::map<int, std::vector<Packet>> our_packets(const std::string& path,
                                                      bool with_crc = true) {
    std::map<int, std::vector<Packet>> out;
    PAVIFILE file = nullptr;
    if (AVIFileOpenA(&file, path.c_str(), OF_READ, nullptr) != AVIERR_OK) return out;
    for (LONG i = 0;; ++i) {
        PAVISTREAM s = nullptr;
        if (AVIFileGetStream(file, &s, 0, i) != AVIERR_OK) break;
        AVISTREAMINFOA info{};
        AVIStreamInfoA(s, &info, sizeof info);
        Bytes data;
        for (LONG pos = 0; pos < AVIStreamLength(s);) {
            LONG want = info.dwSampleSize ? AVISTREAMREAD_CONVENIENT : 1;
            LONG bytes = 0, samples = 0;
            if (AVIStreamRead(s, pos, want, nullptr, 0, &bytes, &samples) != AVIERR_OK) break;
            data.resize(std::size_t(bytes));
            if (AVIStreamRead(s, pos, want, data.data(), bytes, &bytes, &samples) != AVIERR_OK ||
                samples <= 0)
                break;
            Packet p;
            p.stream = int(i);
            p.size = bytes;
            p.pos = AVIStreamFindSample(s, pos, FIND_ANY | FIND_NEXT | FIND_OFFSET);
            p.key = AVIStreamFindSample(s, pos, FIND_KEY | FIND_PREV) == pos;
            if (with_crc) p.crc = crc_of(data);
            // ffprobe passes over empty chunks (a codec's placeholder for a
            // delayed frame); they are still samples to us.
            if (bytes > 0) out[int(i)].push_back(p);
            pos += samples;
        }
        AVIStreamRelease(s);
    }
    AVIFileRelease(file);
    return out;
}

// (size, hash) of every packet of stream `stream` in ffmpeg's framemd5 of the file.
inline std::vector<std::string> frame_hashes(const std::string& path, int stream) {
    std::string cmd = "ffmpeg -v error -i '" + path + "' -map 0:" + std::to_string(stream) +
                      " -c copy -f framemd5 -";
    std::vector<std::string> out;
    std::stringstream lines(run(cmd));
    std::string line;
    while (std::getline(lines, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string> cols;
        std::stringstream ss(line);
        std::string c;
        while (std::getline(ss, c, ',')) cols.push_back(c.substr(c.find_first_not_of(' ')));
        if (cols.size() >= 6) out.push_back(cols[4] + " " + cols[5]);
    }
    return out;
}

inline std::map<std::string, std::string> probe_stream(const std::string& path, int stream) {
    std::string cmd =
        "ffprobe -v error -select_streams " + std::to_string(stream) +
        " -show_entries stream=codec_name,codec_tag_string,width,height,r_frame_rate,nb_frames,"
        "sample_rate,channels,bits_per_sample -of compact=p=0 '" +
        path + "'";
    std::string text = run(cmd);
    return fields(text.substr(0, text.find('\n')));
}

}  // namespace avitest
