// The compression dialogs driven as a user would, through the automation
// hook: the options they return, what they let a user pick, and pictures.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "commctrl.h"
#include "compress_test_util.h"
#include "tests/vfw/codec/codec_fixture.h"
#include "vfw/codec/codec_catalog.h"
#include "vfw/options/audio_choices.h"
#include "vfw/options/audio_dialog.h"
#include "vfw/options/video_dialog.h"
#include "win/core/automation.h"
#include "win/core/clock.h"

namespace {

using compresstest::Opened;
using vfw::codec::test::TempDir;
namespace ids = vfw::options::video_ids;
namespace aids = vfw::options::audio_ids;
namespace automation = win::automation;

class OptionsDialog : public ::testing::Test {
  protected:
    void SetUp() override { automation::reset(&clock); }
    void TearDown() override {
        automation::set_modal_hook({});
        automation::reset(&clock);
    }
    // Picks a combo box entry with the keyboard, as a user would.
    static void choose(HWND dlg, int id, const std::string& text) {
        HWND combo = GetDlgItem(dlg, id);
        SendMessageA(dlg, WM_NEXTDLGCTL, WPARAM(combo), TRUE);
        automation::press(combo, VK_HOME);
        automation::pump();
        for (int i = 0; i < 200 && combo_text(combo) != text; ++i) {
            automation::press(combo, VK_DOWN);
            automation::pump();
        }
    }
    static std::string combo_text(HWND combo) {
        LRESULT i = SendMessageA(combo, CB_GETCURSEL, 0, 0);
        if (i < 0) return {};
        char buf[256] = {};
        SendMessageA(combo, CB_GETLBTEXT, WPARAM(i), LPARAM(buf));
        return buf;
    }
    static bool enabled(HWND dlg, int id) { return IsWindowEnabled(GetDlgItem(dlg, id)); }

    win::VirtualClock clock;
};

std::filesystem::path make_clip(const TempDir& dir) {
    const auto file = dir / "clip.avi";
    EXPECT_TRUE(
        vfw::codec::test::run_ffmpeg("-f lavfi -i testsrc2=size=160x120:rate=25 -f lavfi -i "
                                     "sine=duration=1:sample_rate=22050 -t 1 "
                                     "-c:v mjpeg -c:a pcm_s16le " +
                                     file.string()));
    return file;
}

TEST_F(OptionsDialog, VideoChoicesComeBackInTheRecord) {
    TempDir dir;
    Opened video(make_clip(dir), streamtypeVIDEO);
    ASSERT_NE(video.stream, nullptr);
    std::string caption, first_entry;
    bool quality_for_ffv1 = true, keys_for_ffv1 = false, rate_for_ffv1 = true,
         edit_before_check = true;
    std::string preview_text;
    automation::set_modal_hook([&](HWND dlg) {
        caption = automation::window_text(dlg);
        HWND combo = GetDlgItem(dlg, ids::kCompressor);
        char buf[256] = {};
        SendMessageA(combo, CB_GETLBTEXT, 0, LPARAM(buf));
        first_entry = buf;
        // A lossless compressor has no quality and no data rate.
        choose(dlg, ids::kCompressor, "FFV1 Lossless");
        quality_for_ffv1 = enabled(dlg, ids::kQuality);
        keys_for_ffv1 = enabled(dlg, ids::kKeyFrameCheck);
        rate_for_ffv1 = enabled(dlg, ids::kDataRateCheck);

        choose(dlg, ids::kCompressor, "MPEG-4 Part 2");
        HWND track = GetDlgItem(dlg, ids::kQuality);
        SendMessageA(dlg, WM_NEXTDLGCTL, WPARAM(track), TRUE);
        automation::press(track, VK_END);    // 100
        automation::press(track, VK_PRIOR);  // one page (10) down: 90
        automation::press(track, VK_LEFT);   // 89
        edit_before_check = enabled(dlg, ids::kKeyFrameEdit);
        automation::click_center(GetDlgItem(dlg, ids::kKeyFrameCheck));
        automation::pump();
        HWND keys = GetDlgItem(dlg, ids::kKeyFrameEdit);
        SetWindowTextA(keys, "");
        SendMessageA(dlg, WM_NEXTDLGCTL, WPARAM(keys), TRUE);
        automation::type(keys, "8");
        automation::click_center(GetDlgItem(dlg, ids::kDataRateCheck));
        HWND rate = GetDlgItem(dlg, ids::kDataRateEdit);
        SetWindowTextA(rate, "");
        SendMessageA(dlg, WM_NEXTDLGCTL, WPARAM(rate), TRUE);
        automation::type(rate, "120");
        automation::pump();
        preview_text = automation::window_text(GetDlgItem(dlg, ids::kPreviewText));
        EXPECT_TRUE(automation::save_png(dlg, "video_compression_dialog.png"));
        automation::click_center(GetDlgItem(dlg, IDOK));
    });
    AVICOMPRESSOPTIONS opts{};
    LPAVICOMPRESSOPTIONS list[1] = {&opts};
    PAVISTREAM streams[1] = {video.stream};
    EXPECT_EQ(
        AVISaveOptions(nullptr, ICMF_CHOOSE_KEYFRAME | ICMF_CHOOSE_DATARATE | ICMF_CHOOSE_PREVIEW,
                       1, streams, list),
        TRUE);
    EXPECT_EQ(caption, "Video Compression");
    EXPECT_EQ(first_entry, "Full Frames (Uncompressed)");
    EXPECT_FALSE(quality_for_ffv1);
    EXPECT_TRUE(keys_for_ffv1);
    EXPECT_FALSE(rate_for_ffv1);
    EXPECT_FALSE(edit_before_check);
    EXPECT_EQ(preview_text.rfind("Frame size: ", 0), 0u) << preview_text;
    EXPECT_EQ(opts.fccType, streamtypeVIDEO);
    EXPECT_EQ(opts.fccHandler, mmioFOURCC('F', 'M', 'P', '4'));
    EXPECT_EQ(opts.dwQuality, 8900u);
    EXPECT_EQ(opts.dwFlags,
              DWORD(AVICOMPRESSF_VALID | AVICOMPRESSF_KEYFRAMES | AVICOMPRESSF_DATARATE));
    EXPECT_EQ(opts.dwKeyFrameEvery, 8u);
    EXPECT_EQ(opts.dwBytesPerSecond, 120u * 1024);
    EXPECT_EQ(AVISaveOptionsFree(1, list), AVIERR_OK);

    // What the dialog filled in makes a stream that saves.
    PAVISTREAM compressed = nullptr;
    ASSERT_EQ(AVIMakeCompressedStream(&compressed, video.stream, &opts, nullptr), AVIERR_OK);
    const auto out = dir / "out.avi";
    EXPECT_EQ(AVISaveA(out.c_str(), nullptr, nullptr, 1, compressed, &opts), AVIERR_OK);
    AVIStreamRelease(compressed);
    EXPECT_EQ(compresstest::probe(out, "v", "codec_name"), "mpeg4");

    // Opened again on that record, the dialog starts from it; Cancel leaves it alone.
    int start_quality = -1;
    std::string start_compressor;
    automation::set_modal_hook([&](HWND dlg) {
        start_quality = int(SendDlgItemMessageA(dlg, ids::kQuality, TBM_GETPOS, 0, 0));
        start_compressor = combo_text(GetDlgItem(dlg, ids::kCompressor));
        choose(dlg, ids::kCompressor, "Motion JPEG");
        automation::press(dlg, VK_ESCAPE);
    });
    const AVICOMPRESSOPTIONS before = opts;
    EXPECT_EQ(AVISaveOptions(nullptr, ICMF_CHOOSE_KEYFRAME, 1, streams, list), FALSE);
    EXPECT_EQ(start_quality, 89);
    EXPECT_EQ(start_compressor, "MPEG-4 Part 2");
    EXPECT_EQ(std::memcmp(&before, &opts, sizeof opts), 0);
}

TEST_F(OptionsDialog, WithoutFlagsThereIsNoKeyFrameDataRateOrPreview) {
    TempDir dir;
    Opened video(make_clip(dir), streamtypeVIDEO);
    bool has_keys = true, has_rate = true, has_preview = true;
    automation::set_modal_hook([&](HWND dlg) {
        has_keys = GetDlgItem(dlg, ids::kKeyFrameCheck) != nullptr;
        has_rate = GetDlgItem(dlg, ids::kDataRateCheck) != nullptr;
        has_preview = GetDlgItem(dlg, ids::kPreview) != nullptr;
        automation::press(dlg, VK_RETURN);
    });
    AVICOMPRESSOPTIONS opts{};
    LPAVICOMPRESSOPTIONS list[1] = {&opts};
    PAVISTREAM streams[1] = {video.stream};
    EXPECT_EQ(AVISaveOptions(nullptr, 0, 1, streams, list), TRUE);
    EXPECT_FALSE(has_keys);
    EXPECT_FALSE(has_rate);
    EXPECT_FALSE(has_preview);
    // The source's own compressor is the first choice.
    EXPECT_EQ(opts.fccHandler, mmioFOURCC('M', 'J', 'P', 'G'));
    EXPECT_EQ(opts.dwFlags, DWORD(AVICOMPRESSF_VALID));
}

TEST_F(OptionsDialog, SoundSelectionReturnsTheFormatPicked) {
    TempDir dir;
    Opened audio(make_clip(dir), streamtypeAUDIO);
    ASSERT_NE(audio.stream, nullptr);
    std::string caption, first_format, first_attributes;
    int mp3_count = 0;
    automation::set_modal_hook([&](HWND dlg) {
        caption = automation::window_text(dlg);
        first_format = combo_text(GetDlgItem(dlg, aids::kFormat));
        first_attributes = combo_text(GetDlgItem(dlg, aids::kAttributes));
        choose(dlg, aids::kFormat, "MPEG Layer-3");
        HWND attrs = GetDlgItem(dlg, aids::kAttributes);
        mp3_count = int(SendMessageA(attrs, CB_GETCOUNT, 0, 0));
        choose(dlg, aids::kAttributes, "96 kBit/s, 32,000 Hz, Mono  12 KB/s");
        EXPECT_TRUE(automation::save_png(dlg, "sound_selection_dialog.png"));
        automation::click_center(GetDlgItem(dlg, IDOK));
    });
    AVICOMPRESSOPTIONS opts{};
    LPAVICOMPRESSOPTIONS list[1] = {&opts};
    PAVISTREAM streams[1] = {audio.stream};
    EXPECT_EQ(AVISaveOptions(nullptr, 7, 1, streams, list), TRUE);
    EXPECT_EQ(caption, "Sound Selection");
    // The source's format comes first: 22,050 Hz 16-bit mono PCM.
    EXPECT_EQ(first_format, "PCM");
    EXPECT_EQ(first_attributes, "22,050 Hz, 16 Bit, Mono  43 KB/s");
    EXPECT_GT(mp3_count, 20);
    ASSERT_NE(opts.lpFormat, nullptr);
    ASSERT_GE(opts.cbFormat, sizeof(WAVEFORMATEX));
    WAVEFORMATEX wf;
    std::memcpy(&wf, opts.lpFormat, sizeof wf);
    EXPECT_EQ(wf.wFormatTag, WAVE_FORMAT_MPEGLAYER3);
    EXPECT_EQ(wf.nSamplesPerSec, 32000u);
    EXPECT_EQ(wf.nChannels, 1);
    EXPECT_EQ(wf.nAvgBytesPerSec, 12000u);
    EXPECT_EQ(opts.fccType, streamtypeAUDIO);

    const auto out = dir / "out.avi";
    PAVISTREAM compressed = nullptr;
    ASSERT_EQ(AVIMakeCompressedStream(&compressed, audio.stream, &opts, nullptr), AVIERR_OK);
    EXPECT_EQ(AVISaveA(out.c_str(), nullptr, nullptr, 1, compressed, &opts), AVIERR_OK);
    AVIStreamRelease(compressed);
    EXPECT_EQ(compresstest::probe(out, "a", "codec_name"), "mp3");
    EXPECT_EQ(compresstest::probe(out, "a", "sample_rate"), "32000");

    EXPECT_EQ(AVISaveOptionsFree(1, list), AVIERR_OK);
    EXPECT_EQ(opts.lpFormat, nullptr);
    EXPECT_EQ(opts.cbFormat, 0u);
    AVICOMPRESSOPTIONS empty{};
    LPAVICOMPRESSOPTIONS empty_list[1] = {&empty};
    EXPECT_EQ(AVISaveOptionsFree(1, empty_list), AVIERR_OK);

    automation::set_modal_hook(
        [&](HWND dlg) { automation::click_center(GetDlgItem(dlg, IDCANCEL)); });
    EXPECT_EQ(AVISaveOptions(nullptr, 7, 1, streams, list), FALSE);
    EXPECT_EQ(opts.lpFormat, nullptr);
}

// Every format offers attributes of its own tag; rates read with separators.
TEST(AudioChoices, ListOnlyWhatTheEncoderTakes) {
    for (const auto& format : vfw::codec::audio_formats()) {
        SCOPED_TRACE(format.name);
        const auto choices = vfw::options::audio_choices(format);
        EXPECT_FALSE(choices.empty());
        for (const auto& c : choices) EXPECT_EQ(c.header().wFormatTag, format.tag);
    }
    EXPECT_EQ(vfw::options::with_thousands(44100), "44,100");
    EXPECT_EQ(vfw::options::with_thousands(8000), "8,000");
    EXPECT_EQ(vfw::options::with_thousands(1234567), "1,234,567");
    EXPECT_EQ(vfw::options::with_thousands(999), "999");
}

}  // namespace
