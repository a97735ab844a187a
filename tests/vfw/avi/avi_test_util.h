// Helpers for AVI tests: a temporary folder, byte builders for hand-made
// RIFF files, and running a command for its output.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "vfw/riff/records.h"

namespace avitest {

using Bytes = std::vector<std::uint8_t>;

class TempDir {
  public:
    TempDir() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "korvane-avi-XXXXXX").string();
        path_ = mkdtemp(pattern.data()) ? pattern : std::string();
    }
    ~TempDir() {
        std::error_code ec;
        if (!path_.empty()) std::filesystem::remove_all(path_, ec);
    }
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

inline void put32(Bytes& b, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(std::uint8_t(v >> (8 * i)));
}
inline void put16(Bytes& b, std::uint16_t v) {
    b.push_back(std::uint8_t(v));
    b.push_back(std::uint8_t(v >> 8));
}
inline std::uint32_t cc(const char* s) { return vfw::riff::fourcc(s[0], s[1], s[2], s[3]); }

inline Bytes chunk(const char* id, const Bytes& data) {
    Bytes b;
    put32(b, cc(id));
    put32(b, std::uint32_t(data.size()));
    b.insert(b.end(), data.begin(), data.end());
    if (data.size() & 1) b.push_back(0);
    return b;
}

inline Bytes list(const char* outer, const char* type, const std::vector<Bytes>& children) {
    Bytes body;
    put32(body, cc(type));
    for (const Bytes& c : children) body.insert(body.end(), c.begin(), c.end());
    Bytes b;
    put32(b, cc(outer));
    put32(b, std::uint32_t(body.size()));
    b.insert(b.end(), body.begin(), body.end());
    return b;
}

template <typename T>
Bytes record(const T& r) {
    Bytes b(sizeof r);
    std::memcpy(b.data(), &r, sizeof r);
    return b;
}

inline Bytes concat(const std::vector<Bytes>& parts) {
    Bytes b;
    for (const Bytes& p : parts) b.insert(b.end(), p.begin(), p.end());
    return b;
}

inline Bytes bitmap_info(std::int32_t w, std::int32_t h, std::uint16_t bits,
                         std::uint32_t compression = 0, std::uint32_t colors = 0) {
    Bytes b;
    put32(b, 40);
    put32(b, std::uint32_t(w));
    put32(b, std::uint32_t(h));
    put16(b, 1);
    put16(b, bits);
    put32(b, compression);
    put32(b, 0);
    put32(b, 0);
    put32(b, 0);
    put32(b, colors);
    put32(b, 0);
    return b;
}

inline Bytes wave_format(std::uint16_t channels, std::uint32_t rate, std::uint16_t bits,
                         std::uint16_t extra = 0) {
    Bytes b;
    std::uint16_t align = std::uint16_t(channels * bits / 8);
    put16(b, 1);
    put16(b, channels);
    put32(b, rate);
    put32(b, rate * align);
    put16(b, align);
    put16(b, bits);
    put16(b, extra);
    return b;
}

inline void write_file(const std::string& path, const Bytes& data) {
    // A fresh file rather than a truncated one: ext4 flushes truncated files
    // to disk on close, which makes tests that rewrite a file crawl.
    std::filesystem::remove(path);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
}

inline Bytes read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Runs a shell command and returns its standard output; status gets the exit code.
inline std::string run(const std::string& command, int* status = nullptr) {
    std::string out;
    FILE* p = popen(command.c_str(), "r");
    if (!p) return out;
    char buf[4096];
    std::size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    int rc = pclose(p);
    if (status) *status = rc;
    return out;
}

}  // namespace avitest
