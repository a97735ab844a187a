// Small AVI files assembled byte by byte, so that tests control every field:
// headers, chunk order, LIST rec groups, JUNK, and how idx1 counts offsets.
#pragma once

#include <string>
#include <vector>

#include "avi_test_util.h"

namespace avitest {

struct HandStream {
    vfw::riff::StreamHeader header{};
    Bytes format;
    std::string name;
};

struct HandChunk {
    int stream;
    const char* twocc;  // "dc", "db", "wb", "pc"
    Bytes data;
    bool key = true;
};

struct HandOptions {
    bool idx1 = true;
    bool absolute_offsets = false;
    bool rec_pairs = false;  // group chunks two by two in LIST rec
    bool junk_in_movi = true;
    const char* form = "AVI ";
};

inline vfw::riff::StreamHeader video_header(std::uint32_t frames, std::uint32_t scale = 1,
                                            std::uint32_t rate = 25) {
    vfw::riff::StreamHeader h{};
    h.type = cc("vids");
    h.handler = cc("DIB ");
    h.scale = scale;
    h.rate = rate;
    h.length = frames;
    h.quality = 0xFFFFFFFFu;
    return h;
}

inline vfw::riff::StreamHeader audio_header(std::uint32_t samples, std::uint32_t align,
                                            std::uint32_t rate) {
    vfw::riff::StreamHeader h{};
    h.type = cc("auds");
    h.scale = 1;
    h.rate = rate;
    h.length = samples;
    h.sample_size = align;
    h.quality = 0xFFFFFFFFu;
    return h;
}

inline Bytes build_avi(vfw::riff::MainHeader main, const std::vector<HandStream>& streams,
                       const std::vector<HandChunk>& chunks, const HandOptions& opt = {}) {
    std::vector<Bytes> hdrl_children{chunk("avih", record(main))};
    for (const HandStream& s : streams) {
        std::vector<Bytes> strl{chunk("strh", record(s.header)), chunk("strf", s.format)};
        if (!s.name.empty()) {
            Bytes name(s.name.begin(), s.name.end());
            name.push_back(0);
            strl.push_back(chunk("strn", name));
        }
        hdrl_children.push_back(list("LIST", "strl", strl));
    }
    Bytes hdrl = list("LIST", "hdrl", hdrl_children);
    Bytes junk = chunk("JUNK", Bytes(20, 0));

    // Offsets of the movi list type and of every chunk header, in the file.
    std::size_t movi_pos = 12 + hdrl.size() + junk.size() + 8;
    Bytes movi_body;
    put32(movi_body, cc("movi"));
    std::vector<std::size_t> headers;
    std::vector<Bytes> pending_rec;
    auto chunk_id = [](const HandChunk& c) {
        const char* hex = "0123456789ABCDEF";
        char id[5] = {hex[(c.stream >> 4) & 15], hex[c.stream & 15], c.twocc[0], c.twocc[1], 0};
        return std::string(id);
    };
    for (std::size_t i = 0; i < chunks.size(); ++i) {
        if (opt.junk_in_movi && i == (opt.rec_pairs ? 2u : 1u)) {
            Bytes j = chunk("JUNK", Bytes(7, 0));
            movi_body.insert(movi_body.end(), j.begin(), j.end());
        }
        if (opt.rec_pairs && i % 2 == 0) {
            // LIST header (12 bytes) precedes the pair's first chunk.
            std::size_t rec_size = 4;
            for (std::size_t k = i; k < std::min(i + 2, chunks.size()); ++k)
                rec_size += 8 + chunks[k].data.size() + (chunks[k].data.size() & 1);
            put32(movi_body, cc("LIST"));
            put32(movi_body, std::uint32_t(rec_size));
            put32(movi_body, cc("rec "));
        }
        headers.push_back(movi_pos + movi_body.size());
        Bytes c = chunk(chunk_id(chunks[i]).c_str(), chunks[i].data);
        movi_body.insert(movi_body.end(), c.begin(), c.end());
    }
    Bytes movi;
    put32(movi, cc("LIST"));
    put32(movi, std::uint32_t(movi_body.size()));
    movi.insert(movi.end(), movi_body.begin(), movi_body.end());

    Bytes body;
    put32(body, cc(opt.form));
    body = concat({body, hdrl, junk, movi});
    if (opt.idx1) {
        Bytes idx;
        for (std::size_t i = 0; i < chunks.size(); ++i) {
            put32(idx, cc(chunk_id(chunks[i]).c_str()));
            put32(idx, chunks[i].key ? 0x10 : 0);
            put32(idx, std::uint32_t(opt.absolute_offsets ? headers[i] : headers[i] - movi_pos));
            put32(idx, std::uint32_t(chunks[i].data.size()));
        }
        Bytes c = chunk("idx1", idx);
        body.insert(body.end(), c.begin(), c.end());
    }
    Bytes file;
    put32(file, cc("RIFF"));
    put32(file, std::uint32_t(body.size()));
    return concat({file, body});
}

}  // namespace avitest
