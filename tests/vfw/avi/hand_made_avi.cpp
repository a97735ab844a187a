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

// A standard index of the frame chunks, offsets counted from the movi list's
// type, and the super index naming it, once the index's file offset is known.
struct OpenDmlIndexes {
    Bytes entries;
    std::uint32_t count = 0;

    Bytes standard() const {
        Bytes b{2, 0, 0, 1};  // two longs an entry, index of chunks
        put32(b, count);
        b.insert(b.end(), {'0', '0', 'd', 'c'});
        put32(b, 0);  // base offset: set by the caller
        put32(b, 0);
        put32(b, 0);
        append(b, entries);
        return chunk("ix00", b);
    }
    static Bytes super(std::uint64_t at, std::uint32_t size, std::uint32_t frames) {
        Bytes b{4, 0, 0, 0};  // four longs an entry, index of indexes
        put32(b, 1);
        b.insert(b.end(), {'0', '0', 'd', 'c'});
        for (std::uint32_t x :
             {0u, 0u, 0u, std::uint32_t(at), std::uint32_t(at >> 32), size, frames})
            put32(b, x);
        return chunk("indx", b);
    }
};

void write_hand_made_avi(const std::filesystem::path& path, const HandVideo& v) {
    Bytes movi, index;
    OpenDmlIndexes odml;
    std::uint32_t frames = 0;
    for (const HandChunk& c : v.chunks) {
        index.insert(index.end(), c.id.begin(), c.id.end());
        put32(index, c.flags);
        put32(index, std::uint32_t(4 + movi.size()));
        put32(index, std::uint32_t(c.data.size()));
        if (c.id.ends_with("dc")) {
            put32(odml.entries, std::uint32_t(4 + movi.size() + 8));
            put32(odml.entries, std::uint32_t(c.data.size()) | (c.flags & 0x10 ? 0u : 0x80000000u));
            ++odml.count;
        }
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
    const std::size_t movi_at = 4 + list("strl", strl).size() +
                                list("hdrl", chunk("avih", avih)).size() +
                                (v.open_dml ? OpenDmlIndexes::super(0, 0, 0).size() : 0) + 12;
    if (v.open_dml) {
        Bytes ix = odml.standard();
        const std::uint64_t base = 8 + movi_at - 4;  // the movi list's type, from the file's start
        for (int i = 0; i < 8; ++i) ix[8 + 12 + std::size_t(i)] = std::uint8_t(base >> (8 * i));
        append(strl,
               OpenDmlIndexes::super(8 + movi_at + movi.size(), std::uint32_t(ix.size()), frames));
        append(movi, ix);
    }
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
