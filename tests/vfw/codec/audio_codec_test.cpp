// Audio: every format in the catalogue encoded from PCM and decoded again, format
// records as AVI files carry them, resampling, and refusals.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "vfw/codec/audio_decoder.h"
#include "vfw/codec/audio_encoder.h"
#include "vfw/codec/codec_catalog.h"
#include "vfw/codec/wave_format.h"

namespace vfw::codec::test {
namespace {

constexpr int kRate = 44100;

// One second of 16-bit stereo: 440 Hz left, 660 Hz right.
std::vector<std::uint8_t> tone(int rate = kRate, int seconds_x10 = 10) {
    const int samples = rate * seconds_x10 / 10;
    std::vector<std::uint8_t> pcm(std::size_t(samples) * 4);
    for (int i = 0; i < samples; ++i) {
        const auto l = std::int16_t(9000 * std::sin(2 * M_PI * 440 * i / rate));
        const auto r = std::int16_t(7000 * std::sin(2 * M_PI * 660 * i / rate));
        std::memcpy(&pcm[std::size_t(i) * 4], &l, 2);
        std::memcpy(&pcm[std::size_t(i) * 4 + 2], &r, 2);
    }
    return pcm;
}

std::int16_t sample_at(const std::vector<std::uint8_t>& pcm, std::size_t frame, int channel) {
    std::int16_t v;
    std::memcpy(&v, &pcm[frame * 4 + std::size_t(channel) * 2], 2);
    return v;
}

// Best normalised correlation of a window of `b` against `a`, over lags 0..max_lag.
double best_correlation(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b,
                        int max_lag) {
    const std::size_t start = 8000, length = 4096;
    double best = -1;
    for (int lag = 0; lag <= max_lag; ++lag) {
        if ((start + length + std::size_t(lag)) * 4 > b.size()) break;
        double ab = 0, aa = 0, bb = 0;
        for (std::size_t i = start; i < start + length; ++i) {
            const double x = sample_at(a, i, 0), y = sample_at(b, i + std::size_t(lag), 0);
            ab += x * y;
            aa += x * x;
            bb += y * y;
        }
        if (aa > 0 && bb > 0) best = std::max(best, ab / std::sqrt(aa * bb));
    }
    return best;
}

WAVEFORMATEX target_for(const AudioFormatInfo& info) {
    WAVEFORMATEX t{};
    t.wFormatTag = info.tag;
    t.nChannels = 2;
    t.nSamplesPerSec = kRate;
    t.wBitsPerSample = info.bits.empty() ? 0 : info.bits.back();
    if (!info.bit_rates.empty()) t.nAvgBytesPerSec = 192000 / 8;
    return t;
}

class EveryAudioFormat : public ::testing::TestWithParam<AudioFormatInfo> {};

TEST_P(EveryAudioFormat, RoundTripsWithTheRightLengthAndSound) {
    const AudioFormatInfo& info = GetParam();
    const auto input = tone();
    auto enc = AudioEncoder::open(make_pcm_format(kRate, 2, 16), target_for(info));
    ASSERT_TRUE(enc) << enc.error().message;
    const WAVEFORMATEX& out = enc.value()->output_header();
    EXPECT_EQ(out.wFormatTag, info.tag);
    EXPECT_EQ(out.nChannels, 2);
    EXPECT_EQ(out.nSamplesPerSec, std::uint32_t(kRate));
    EXPECT_EQ(enc.value()->output_format().size(), sizeof(WAVEFORMATEX) + out.cbSize);
    EXPECT_GT(out.nAvgBytesPerSec, 0u);
    EXPECT_GT(out.nBlockAlign, 0);

    // Odd-sized pieces, so whole-block handling is exercised.
    std::vector<EncodedPacket> packets;
    for (std::size_t at = 0; at < input.size(); at += 1001) {
        const std::size_t n = std::min<std::size_t>(1001, input.size() - at);
        ASSERT_TRUE(enc.value()->encode({input.data() + at, n}, packets));
    }
    ASSERT_TRUE(enc.value()->finish(packets));
    ASSERT_FALSE(packets.empty());
    std::size_t stream_bytes = 0;
    for (const auto& p : packets) stream_bytes += p.data.size();
    if (out.nBlockAlign > 1) {
        EXPECT_EQ(stream_bytes % out.nBlockAlign, 0u);
    }
    // The stored byte rate describes the stream: one second of sound, within 10%.
    EXPECT_NEAR(double(stream_bytes) / out.nAvgBytesPerSec, 1.0, 0.1);

    auto dec = AudioDecoder::open(enc.value()->output_format());
    ASSERT_TRUE(dec) << dec.error().message;
    EXPECT_EQ(dec.value()->output_format().nSamplesPerSec, std::uint32_t(kRate));
    EXPECT_EQ(dec.value()->output_format().wBitsPerSample, 16);
    // The file's chunks need not match the codec's frames.
    std::vector<std::uint8_t> stream;
    for (const auto& p : packets) stream.insert(stream.end(), p.data.begin(), p.data.end());
    std::vector<std::uint8_t> pcm;
    for (std::size_t at = 0; at < stream.size(); at += 777)
        ASSERT_TRUE(dec.value()->decode(
            {stream.data() + at, std::min<std::size_t>(777, stream.size() - at)}, pcm));
    ASSERT_TRUE(dec.value()->finish(pcm));

    const double frames_in = double(input.size() / 4), frames_out = double(pcm.size() / 4);
    const double slack = 2.0 * enc.value()->samples_per_packet() + 2048;
    EXPECT_NEAR(frames_out, frames_in, slack);
    if (info.tag == WAVE_FORMAT_PCM) {
        EXPECT_EQ(pcm, input);
    } else {
        EXPECT_GT(best_correlation(input, pcm, 3000), 0.95);
    }
}

INSTANTIATE_TEST_SUITE_P(Catalogue, EveryAudioFormat, ::testing::ValuesIn(audio_formats()),
                         [](const auto& info) { return "tag" + std::to_string(info.param.tag); });

TEST(AudioFormats, RecordsCarryWhatDecodersNeed) {
    auto mp3 =
        AudioEncoder::open(make_pcm_format(kRate, 2, 16), target_for(*find_audio_format(0x55)));
    ASSERT_TRUE(mp3);
    const WAVEFORMATEX& m = mp3.value()->output_header();
    EXPECT_EQ(m.cbSize, 12);
    EXPECT_EQ(m.nBlockAlign, 1);
    EXPECT_EQ(m.nAvgBytesPerSec, 24000u);
    EXPECT_EQ(mp3.value()->samples_per_packet(), 1152u);

    auto ima =
        AudioEncoder::open(make_pcm_format(22050, 1, 16), target_for(*find_audio_format(0x11)));
    ASSERT_TRUE(ima);
    const auto& bytes = ima.value()->output_format();
    ASSERT_EQ(bytes.size(), sizeof(WAVEFORMATEX) + 2);
    std::uint16_t per_block;
    std::memcpy(&per_block, bytes.data() + sizeof(WAVEFORMATEX), 2);
    EXPECT_EQ(per_block, ima.value()->samples_per_packet());
    // 256 bytes per channel at 11 kHz, doubling with the rate: stereo at 44.1 kHz.
    EXPECT_EQ(ima.value()->output_header().nBlockAlign, 256 * 2 * 4);

    auto ms = AudioEncoder::open(make_pcm_format(kRate, 2, 16), target_for(*find_audio_format(2)));
    ASSERT_TRUE(ms);
    EXPECT_EQ(ms.value()->output_header().cbSize,
              32);  // samples per block and the 7 coefficient pairs
}

TEST(AudioFormats, ResamplesAndRechannels) {
    // 16-bit stereo at 44.1 kHz to 8-bit mono at 22.05 kHz, as PCM.
    WAVEFORMATEX target = make_pcm_format(22050, 1, 8);
    auto enc = AudioEncoder::open(make_pcm_format(kRate, 2, 16), target);
    ASSERT_TRUE(enc);
    std::vector<EncodedPacket> packets;
    ASSERT_TRUE(enc.value()->encode(tone(), packets));
    ASSERT_TRUE(enc.value()->finish(packets));
    std::size_t bytes = 0;
    int lo = 255, hi = 0;
    for (const auto& p : packets)
        for (std::uint8_t v : p.data) {
            ++bytes;
            lo = std::min<int>(lo, v);
            hi = std::max<int>(hi, v);
        }
    EXPECT_NEAR(double(bytes), 22050.0, 64.0);
    EXPECT_LT(lo, 128 - 20);  // unsigned 8-bit samples swing around 128
    EXPECT_GT(hi, 128 + 20);

    // The 16-byte PCM record older files carry decodes too, to a chosen output.
    std::vector<std::uint8_t> pcm16(16);
    const WAVEFORMATEX in = make_pcm_format(22050, 1, 8);
    std::memcpy(pcm16.data(), &in, 16);
    WAVEFORMATEX want = make_pcm_format(kRate, 2, 16);
    auto dec = AudioDecoder::open(pcm16, &want);
    ASSERT_TRUE(dec) << dec.error().message;
    std::vector<std::uint8_t> out;
    for (const auto& p : packets) ASSERT_TRUE(dec.value()->decode(p.data, out));
    ASSERT_TRUE(dec.value()->finish(out));
    EXPECT_NEAR(double(out.size() / 4), double(kRate), 128.0);
}

TEST(AudioFormats, RefusesWhatItCannotDo) {
    const WAVEFORMATEX pcm = make_pcm_format(kRate, 2, 16);
    auto bytes = wave_format_bytes(pcm);
    EXPECT_TRUE(AudioDecoder::can_decode(bytes));
    struct Bad {
        std::vector<std::uint8_t> format;
        ErrorCode code;
    };
    WAVEFORMATEX unknown = pcm;
    unknown.wFormatTag = 0x7777;
    WAVEFORMATEX silent = pcm;
    silent.nChannels = 0;
    WAVEFORMATEX skewed = pcm;
    skewed.nBlockAlign = 3;
    WAVEFORMATEX twelve = pcm;
    twelve.wBitsPerSample = 12;
    const Bad bad[] = {
        {std::vector<std::uint8_t>(10, 1), ErrorCode::BadFormat},
        {wave_format_bytes(unknown), ErrorCode::Unsupported},
        {wave_format_bytes(silent), ErrorCode::BadFormat},
        {wave_format_bytes(skewed), ErrorCode::BadFormat},
        {wave_format_bytes(twelve), ErrorCode::Unsupported},
    };
    for (const Bad& b : bad) {
        auto d = AudioDecoder::open(b.format);
        ASSERT_FALSE(d);
        EXPECT_EQ(d.error().code, b.code) << d.error().message;
    }
    // A cbSize larger than the record is cut to what is there.
    WAVEFORMATEX lying = pcm;
    auto with_extra = wave_format_bytes(lying, std::vector<std::uint8_t>{1, 2});
    with_extra[16] = 200;
    auto parsed = parse_wave_format(with_extra);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed.value().extra.size(), 2u);

    WAVEFORMATEX want24 = make_pcm_format(kRate, 2, 24);
    EXPECT_FALSE(AudioDecoder::open(bytes, &want24));
    WAVEFORMATEX adpcm_in = pcm;
    adpcm_in.wFormatTag = WAVE_FORMAT_ADPCM;
    EXPECT_FALSE(AudioEncoder::open(adpcm_in, pcm));
    WAVEFORMATEX odd_mp3 = target_for(*find_audio_format(0x55));
    odd_mp3.nSamplesPerSec = 12345;
    auto mp3 = AudioEncoder::open(pcm, odd_mp3);
    ASSERT_FALSE(mp3);
    EXPECT_EQ(mp3.error().code, ErrorCode::CodecFailed);
    WAVEFORMATEX gsm = pcm;
    gsm.wFormatTag = 0x31;
    EXPECT_EQ(AudioEncoder::open(pcm, gsm).error().code, ErrorCode::Unsupported);
}

TEST(AudioFormats, GarbageDecodesToAnErrorOrSilenceNotACrash) {
    for (std::uint16_t tag : {0x55, 0x2000, 0x02, 0x11}) {
        auto enc =
            AudioEncoder::open(make_pcm_format(kRate, 2, 16), target_for(*find_audio_format(tag)));
        ASSERT_TRUE(enc);
        auto dec = AudioDecoder::open(enc.value()->output_format());
        ASSERT_TRUE(dec);
        std::vector<std::uint8_t> junk(20000), pcm;
        for (std::size_t i = 0; i < junk.size(); ++i) junk[i] = std::uint8_t(i * 131 + i / 7);
        const Status a = dec.value()->decode(junk, pcm);
        const Status b = dec.value()->finish(pcm);
        EXPECT_TRUE(pcm.size() % 4 == 0) << tag << (a && b ? "" : " (reported an error)");
    }
}

}  // namespace
}  // namespace vfw::codec::test
