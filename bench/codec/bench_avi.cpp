#include "bench_avi.h"

#include <cstring>
#include <fstream>
#include <iterator>

extern "C" {
#include <libavformat/avformat.h>
}

namespace bench {

namespace {

// The strf chunk after the first 'vids' header; ffmpeg writes video first.
std::vector<std::uint8_t> video_strf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::uint8_t> head(65536);
    in.read(reinterpret_cast<char*>(head.data()), std::streamsize(head.size()));
    head.resize(std::size_t(in.gcount()));
    auto find = [&](const char* tag, std::size_t from) {
        for (std::size_t i = from; i + 8 <= head.size(); ++i)
            if (std::memcmp(&head[i], tag, 4) == 0) return i;
        return head.size();
    };
    const std::size_t strf = find("strf", find("vids", 0));
    if (strf + 8 > head.size()) return {};
    std::uint32_t size = 0;
    std::memcpy(&size, &head[strf + 4], 4);
    if (strf + 8 + size > head.size()) return {};
    return {head.begin() + std::ptrdiff_t(strf + 8),
            head.begin() + std::ptrdiff_t(strf + 8 + size)};
}

}  // namespace

AviVideo load_video(const std::string& path) {
    AviVideo video;
    video.format = video_strf(path);
    AVFormatContext* ctx = avformat_alloc_context();
    ctx->flags |= AVFMT_FLAG_NOPARSE;
    if (avformat_open_input(&ctx, path.c_str(), nullptr, nullptr) < 0) return {};
    AVPacket* pkt = av_packet_alloc();
    while (av_read_frame(ctx, pkt) >= 0) {
        if (ctx->streams[pkt->stream_index]->codecpar->codec_type == AVMEDIA_TYPE_VIDEO)
            video.samples.samples.push_back(
                {std::vector<std::uint8_t>(pkt->data, pkt->data + pkt->size),
                 (pkt->flags & AV_PKT_FLAG_KEY) != 0});
        av_packet_unref(pkt);
    }
    av_packet_free(&pkt);
    avformat_close_input(&ctx);
    return video;
}

}  // namespace bench
