#include "hand_made_avi.h"

#include <fstream>

namespace vfw::test {

namespace {

void put32(Bytes& b, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(std::uint8_t(v >> (8 * i)));
}

void append(Bytes& to, const Bytes& from) { to.insert(to.end(), from.begin(), from.end()); }

Bytes chunk(const std::string& id, const Bytes& data) {
    Bytes b(id.begin(), id.end());
    put32(b, std::uint32_t(data.size()));
    append(b, data);
    if (data.size() & 1) b.push_back(0);
    return b;
}

Bytes list(const std::string& type, const Bytes& body) {
    Bytes data(type.begin(), type.end());
    append(data, body);
    return chunk("LIST", data);
}

}  // namespace

void write_hand_made_avi(const std::filesystem::path& path, const HandVideo& v) {
    Bytes movi, index;
    std::uint32_t frames = 0;
    for (const HandChunk& c : v.chunks) {
        index.insert(index.end(), c.id.begin(), c.id.end());
        put32(index, c.flags);
        put32(index, std::uint32_t(4 + movi.size()));
        put32(index, std::uint32_t(c.data.size()));
        append(movi, chunk(c.id, c.data));
        frames += c.id.ends_with("dc");
    }
    const auto w = std::uint32_t(v.width), h = std::uint32_t(v.height);
    const auto colours = std::uint32_t(v.palette.size() / 4);
    Bytes avih;
    for (std::uint32_t x : {40000u, 0u, 0u, 0x10u, frames, 0u, 1u, 0u, w, h, 0u, 0u, 0u, 0u})
        put32(avih, x);
    Bytes strh{'v', 'i', 'd', 's'};
    put32(strh, v.compression);
    for (std::uint32_t x : {0u, 0u, 0u, 1u, 25u, 0u, frames, 0u, 0xFFFFFFFFu, 0u, 0u, 0u})
        put32(strh, x);
    Bytes strf;
    for (std::uint32_t x : {40u, w, h}) put32(strf, x);
    strf.insert(strf.end(), {1, 0, 8, 0});  // planes, bits
    for (std::uint32_t x : {v.compression, 0u, 0u, 0u, colours, 0u}) put32(strf, x);
    append(strf, v.palette);

    Bytes strl = chunk("strh", strh);
    append(strl, chunk("strf", strf));
    Bytes hdrl = chunk("avih", avih);
    append(hdrl, list("strl", strl));
    Bytes riff{'A', 'V', 'I', ' '};
    append(riff, list("hdrl", hdrl));
    append(riff, list("movi", movi));
    if (v.with_index) append(riff, chunk("idx1", index));
    const Bytes file = chunk("RIFF", riff);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
}

}  // namespace vfw::test
