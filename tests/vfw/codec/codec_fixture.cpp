#include "codec_fixture.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

extern "C" {
#include <libavformat/avformat.h>
}

#include "vfw/codec/dib_layout.h"

namespace vfw::codec::test {

namespace fs = std::filesystem;

TempDir::TempDir() {
    std::string pattern = (fs::temp_directory_path() / "korvane-codec-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

bool run_ffmpeg(const std::string& args) {
    const std::string command = "ffmpeg -nostdin -hide_banner -loglevel error -y " + args;
    return std::system(command.c_str()) == 0;
}

std::string run_capture(const std::string& command) {
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
        char buf[256];
        while (fgets(buf, sizeof buf, p)) out += buf;
        pclose(p);
    }
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
    return out;
}

std::int64_t MemoryPacketSource::sample_size(std::int64_t n) const {
    if (n < 0 || n >= sample_count()) return -1;
    return std::int64_t(samples[std::size_t(n)].bytes.size());
}

bool MemoryPacketSource::is_key_frame(std::int64_t n) const {
    return n >= 0 && n < sample_count() && samples[std::size_t(n)].key;
}

Status MemoryPacketSource::read_sample(std::int64_t n, std::vector<std::uint8_t>& out) {
    if (n < 0 || n >= sample_count()) return make_error(ErrorCode::OutOfRange, "no such sample");
    ++reads;
    out = samples[std::size_t(n)].bytes;
    return {};
}

namespace {

std::vector<std::uint8_t> read_file(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The strf chunk after the first 'vids' stream header. ffmpeg's files keep the
// video stream first, so a plain scan is enough here.
std::vector<std::uint8_t> video_strf(const std::vector<std::uint8_t>& file) {
    auto find = [&](const char* tag, std::size_t from) {
        for (std::size_t i = from; i + 8 <= file.size(); ++i)
            if (std::memcmp(&file[i], tag, 4) == 0) return i;
        return file.size();
    };
    const std::size_t vids = find("vids", 0);
    const std::size_t strf = find("strf", vids);
    if (strf + 8 > file.size()) throw std::runtime_error("no video strf");
    std::uint32_t size = 0;
    std::memcpy(&size, &file[strf + 4], 4);
    if (size > file.size() - strf - 8) throw std::runtime_error("video strf cut short");
    return {file.begin() + std::ptrdiff_t(strf + 8),
            file.begin() + std::ptrdiff_t(strf + 8 + size)};
}

}  // namespace

AviVideo load_avi_video(const fs::path& file) {
    AviVideo video;
    video.format = video_strf(read_file(file));
    AVFormatContext* ctx = avformat_alloc_context();
    ctx->flags |= AVFMT_FLAG_NOPARSE;  // the packets exactly as stored
    if (avformat_open_input(&ctx, file.c_str(), nullptr, nullptr) < 0)
        throw std::runtime_error("cannot open " + file.string());
    AVPacket* pkt = av_packet_alloc();
    int video_index = -1;
    for (unsigned i = 0; i < ctx->nb_streams; ++i)
        if (ctx->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_VIDEO) video_index = int(i);
    while (av_read_frame(ctx, pkt) >= 0) {
        if (pkt->stream_index == video_index)
            video.packets.samples.push_back(
                {std::vector<std::uint8_t>(pkt->data, pkt->data + pkt->size),
                 (pkt->flags & AV_PKT_FLAG_KEY) != 0});
        av_packet_unref(pkt);
    }
    av_packet_free(&pkt);
    avformat_close_input(&ctx);
    return video;
}

std::vector<std::vector<std::uint8_t>> ffmpeg_bgr24_frames(const fs::path& file, int width,
                                                           int height) {
    const fs::path raw = file.string() + ".bgr";
    if (!run_ffmpeg("-i " + file.string() +
                    " -map 0:v -fps_mode passthrough -f rawvideo "
                    "-pix_fmt bgr24 " +
                    raw.string()))
        throw std::runtime_error("ffmpeg could not decode " + file.string());
    const std::vector<std::uint8_t> bytes = read_file(raw);
    const std::size_t frame = std::size_t(width) * std::size_t(height) * 3;
    std::vector<std::vector<std::uint8_t>> frames;
    for (std::size_t at = 0; at + frame <= bytes.size(); at += frame)
        frames.emplace_back(bytes.begin() + std::ptrdiff_t(at),
                            bytes.begin() + std::ptrdiff_t(at + frame));
    return frames;
}

std::vector<std::uint8_t> dib_to_bgr(const BITMAPINFOHEADER* dib) {
    const int w = dib->biWidth;
    const int h = std::abs(dib->biHeight);
    const int bpp = dib->biBitCount / 8;
    const std::uint32_t stride = dib_stride(w, dib->biBitCount);
    const auto* bits = reinterpret_cast<const std::uint8_t*>(dib) + dib->biSize;
    std::vector<std::uint8_t> out(std::size_t(w) * std::size_t(h) * 3);
    for (int y = 0; y < h; ++y) {
        const int row = dib->biHeight > 0 ? h - 1 - y : y;
        const std::uint8_t* src = bits + std::size_t(row) * stride;
        for (int x = 0; x < w; ++x)
            std::memcpy(&out[(std::size_t(y) * std::size_t(w) + std::size_t(x)) * 3], src + x * bpp,
                        3);
    }
    return out;
}

double mean_abs_diff(const BITMAPINFOHEADER* dib, const std::vector<std::uint8_t>& bgr) {
    const std::vector<std::uint8_t> mine = dib_to_bgr(dib);
    if (mine.size() != bgr.size() || mine.empty()) return 1e9;
    double sum = 0;
    for (std::size_t i = 0; i < mine.size(); ++i) sum += std::abs(int(mine[i]) - int(bgr[i]));
    return sum / double(mine.size());
}

PixelDiff worst_pixel(const BITMAPINFOHEADER* dib, const std::vector<std::uint8_t>& bgr) {
    const std::vector<std::uint8_t> mine = dib_to_bgr(dib);
    if (mine.size() != bgr.size() || mine.empty()) return {256, -1, -1};
    PixelDiff worst;
    const std::size_t width = std::size_t(dib->biWidth);
    for (std::size_t i = 0; i < mine.size(); ++i) {
        const int d = std::abs(int(mine[i]) - int(bgr[i]));
        if (d <= worst.value) continue;
        worst = {d, int(i / 3 % width), int(i / 3 / width)};
    }
    return worst;
}

}  // namespace vfw::codec::test
