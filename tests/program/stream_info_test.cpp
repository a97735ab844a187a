// The two stream information dialogs: what they show of a stream's header,
// the integer check at each keystroke, and the checks before they open.
#include <filesystem>
#include <functional>
#include <map>

#include "commctrl.h"
#include "program_fixture.h"

using namespace program_test;
using win::dialogs::IconKind;

namespace {

constexpr UINT kVideoInfo = 32781, kAudioInfo = 32782;
constexpr int kScale = 1019, kName = 1027;
using Fields = std::map<int, std::string>;

// A file with one frame of video and a little audio whose headers are these.
void write_headers(const std::string& path, AVISTREAMINFOA video, AVISTREAMINFOA audio) {
    std::filesystem::remove(path);
    PAVIFILE file = nullptr;
    ASSERT_EQ(AVIFileOpenA(&file, path.c_str(), OF_WRITE | OF_CREATE, nullptr), 0);
    PAVISTREAM vs = nullptr, as = nullptr;
    video.fccType = streamtypeVIDEO;
    video.fccHandler = mmioFOURCC('D', 'I', 'B', ' ');
    ASSERT_EQ(AVIFileCreateStreamA(file, &vs, &video), 0);
    BITMAPINFOHEADER bi{};
    bi.biSize = sizeof bi;
    bi.biWidth = 320;
    bi.biHeight = 240;
    bi.biPlanes = 1;
    bi.biBitCount = 24;
    bi.biSizeImage = 320 * 3 * 240;
    ASSERT_EQ(AVIStreamSetFormat(vs, 0, &bi, sizeof bi), 0);
    audio.fccType = streamtypeAUDIO;
    audio.dwSampleSize = 2;
    ASSERT_EQ(AVIFileCreateStreamA(file, &as, &audio), 0);
    WAVEFORMATEX wf = kMonoPcm8k;
    ASSERT_EQ(AVIStreamSetFormat(as, 0, &wf, sizeof wf), 0);
    std::vector<BYTE> pixels(bi.biSizeImage, 0x40), samples(200, 0);
    ASSERT_EQ(AVIStreamWrite(vs, 0, 1, pixels.data(), LONG(pixels.size()), AVIIF_KEYFRAME, nullptr,
                             nullptr),
              0);
    ASSERT_EQ(AVIStreamWrite(as, 0, 100, samples.data(), LONG(samples.size()), AVIIF_KEYFRAME,
                             nullptr, nullptr),
              0);
    AVIStreamRelease(as);
    AVIStreamRelease(vs);
    AVIFileRelease(file);
}

Fields fields_of(HWND dlg) {
    Fields out;
    for (int id = 1017; id <= kName; ++id)
        out[id] = win::automation::window_text(GetDlgItem(dlg, id));
    return out;
}

Fields numbers(std::initializer_list<const char*> ten, const char* name) {
    Fields out;
    int id = 1017;
    for (const char* n : ten) out[id++] = n;
    out[kName] = name;
    return out;
}

// Acts on an information dialog one timer tick at a time, only while the
// dialog is free (not while a message box of its own is up).
struct DialogScript {
    HWND dlg = nullptr;
    std::vector<std::function<void(HWND)>> steps;
    size_t done = 0;
    static DialogScript* current;
    static void CALLBACK tick(HWND hwnd, UINT, UINT_PTR id, DWORD) {
        DialogScript* s = current;
        if (!s || !IsWindowEnabled(hwnd)) return;
        if (s->done >= s->steps.size()) {
            KillTimer(hwnd, id);
            return;
        }
        s->steps[s->done++](hwnd);
    }
};
DialogScript* DialogScript::current = nullptr;

// Every opening of an information dialog: its caption, its fields as shown
// at once, and a script to run on it (clicking OK when it has none).
struct Openings {
    std::vector<std::string> captions;
    std::vector<Fields> shown;
    std::vector<std::vector<std::function<void(HWND)>>> scripts;
    DialogScript script;

    bool take(HWND h) {
        std::string caption = win::automation::window_text(h);
        if (caption != "Video Stream Information" && caption != "Audio Stream Information")
            return false;
        captions.push_back(caption);
        shown.push_back(fields_of(h));
        size_t n = captions.size() - 1;
        script = DialogScript{h, n < scripts.size() ? scripts[n] : decltype(scripts)::value_type{}};
        script.steps.push_back([](HWND d) { click(d, 1000); });
        DialogScript::current = &script;
        SetTimer(h, 79, 10, &DialogScript::tick);
        return true;
    }
};

void select_all_and_delete(HWND dlg, int id) {
    HWND edit = GetDlgItem(dlg, id);
    SetFocus(edit);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    win::automation::press(edit, VK_DELETE);
}

class StreamInfo : public ProgramTest {
  protected:
    void TearDown() override {
        DialogScript::current = nullptr;
        ProgramTest::TearDown();
    }
    // Opens the file, then sends each command in turn.
    void open_and_send(Session& r, Openings& o, const std::string& file,
                       std::initializer_list<UINT> commands) {
        r.file_answers = {file};
        r.own_modal = [&o](HWND h) { return o.take(h); };
        r.steps.push_back([](CKorvaneDlg& d) { click(d.m_hWnd, 1012); });
        for (UINT c : commands) r.steps.push_back([c](CKorvaneDlg& d) { command(d.m_hWnd, c); });
        run(r);
    }
};

TEST_F(StreamInfo, EachDialogShowsItsStreamsHeader) {
    AVISTREAMINFOA video{}, audio{};
    video.wPriority = 3;
    video.wLanguage = 0xFFFF;  // widened without sign
    video.dwScale = 1001;
    video.dwRate = 30000;
    video.dwStart = 5;
    video.dwQuality = 0xFFFFFFFFu;  // the stream default, shown signed
    video.rcFrame = {0, 0, 320, 240};
    std::strcpy(video.szName, "Korvane video");
    audio.wPriority = 1;
    audio.wLanguage = 0x0409;
    audio.dwScale = 2;
    audio.dwRate = 16000;
    audio.dwQuality = 7500;
    std::strcpy(audio.szName, "speech");
    write_headers(path("h.avi"), video, audio);

    Session r;
    Openings o;
    open_and_send(r, o, path("h.avi"), {kVideoInfo, kAudioInfo});
    EXPECT_TRUE(r.boxes.empty()) << r.boxes[0].text;
    ASSERT_EQ(o.captions,
              (std::vector<std::string>{"Video Stream Information", "Audio Stream Information"}));
    // Priority, Language, Scale, Rate, Start, Quality, Top, Left, Bottom, Right.
    EXPECT_EQ(o.shown[0],
              numbers({"3", "65535", "1001", "30000", "5", "-1", "0", "0", "240", "320"},
                      "Korvane video"));
    EXPECT_EQ(o.shown[1],
              numbers({"1", "1033", "2", "16000", "0", "7500", "0", "0", "0", "0"}, "speech"));
}

TEST_F(StreamInfo, ANameLongerThanTheRecordIsCutAt63Characters) {
    std::string name(80, 'n');
    for (size_t i = 0; i < name.size(); ++i) name[i] = char('a' + i % 26);
    ASSERT_TRUE(
        ffmpeg("-f lavfi -i testsrc=size=320x240:rate=25 -frames:v 2 -c:v mjpeg "
               "-metadata:s:v:0 title=" +
               name + " " + path("long.avi")));
    Session r;
    Openings o;
    open_and_send(r, o, path("long.avi"), {kVideoInfo});
    ASSERT_EQ(o.shown.size(), 1u);
    EXPECT_EQ(o.shown[0][kName], name.substr(0, 63));
    EXPECT_EQ(o.shown[0][1023], "0");
    EXPECT_EQ(o.shown[0][1024], "0");
    EXPECT_EQ(o.shown[0][1025], "240");
    EXPECT_EQ(o.shown[0][1026], "320");
}

TEST_F(StreamInfo, AFieldThatIsNoWholeNumberIsReportedAtTheKeystrokeAndTheDialogStays) {
    write_avi(path("a.avi"), {.width = 320, .height = 240, .frames = 3, .audio = true});
    Session r;
    Openings o;
    struct After {
        bool open = false, focus_back = false;
        size_t boxes = 0;
    };
    std::vector<After> after;
    auto look = [&](HWND d) {
        after.push_back(
            {IsWindow(d) != FALSE, GetFocus() == GetDlgItem(d, kScale), r.boxes.size()});
    };
    o.scripts = {{
        [](HWND d) { select_all_and_delete(d, kScale); },
        look,
        [](HWND d) { win::automation::type(GetDlgItem(d, kScale), "2x"); },
        look,
        // Fixed again: the edits pass, OK closes, and none of it stays.
        [](HWND d) {
            select_all_and_delete(d, kScale);
            win::automation::type(GetDlgItem(d, kScale), "7");
            SetDlgItemTextA(d, kName, "changed");
            SetDlgItemTextA(d, 1020, "12");
        },
        look,
    }};
    open_and_send(r, o, path("a.avi"), {kVideoInfo, kVideoInfo, kAudioInfo});
    ASSERT_EQ(after.size(), 3u);
    // The emptied field, "2x", and the field emptied once more before the 7.
    ASSERT_EQ(r.boxes.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(r.boxes[i].text, "Please enter an integer.") << i;
        EXPECT_EQ(r.boxes[i].icon, IconKind::Warning) << i;
    }
    EXPECT_TRUE(after[0].open && after[0].focus_back);
    EXPECT_EQ(after[0].boxes, 1u) << "the message comes at the keystroke, not at OK";
    EXPECT_TRUE(after[1].open && after[1].focus_back);
    EXPECT_EQ(after[1].boxes, 2u) << "the 2 alone passed without a word";
    EXPECT_EQ(after[2].boxes, 3u) << "the 7 passed without a word";
    ASSERT_EQ(o.shown.size(), 3u) << "OK closed the dialog once its fields were whole numbers";
    EXPECT_EQ(o.shown[1], o.shown[0]) << "edits are forgotten on the next opening";
    EXPECT_EQ(o.shown[0][kScale], "1");
    EXPECT_EQ(o.shown[0][1020], "25");
}

TEST_F(StreamInfo, WithoutTheFileOrTheStreamTheCommandExplainsAndOpensNothing) {
    write_avi(path("video.avi"), {.frames = 3});
    write_avi(path("audio.avi"), {.video = false, .audio = true});
    struct Case {
        const char* file;  // "" for no file open
        UINT command;
        const char* text;
        const char* caption;
        IconKind icon;
    };
    const Case cases[] = {
        {"", kVideoInfo, "No AVI File Opened !", "Error", IconKind::Stop},
        {"", kAudioInfo, "No AVI File Opened !", "Error", IconKind::Stop},
        {"video.avi", kAudioInfo, "No Audio Stream Available !", "Korvane", IconKind::Information},
        {"audio.avi", kVideoInfo, "No Video Stream Available !", "Korvane", IconKind::Information},
    };
    for (const Case& c : cases) {
        Session r;
        Openings o;
        r.own_modal = [&o](HWND h) { return o.take(h); };
        if (*c.file) {
            r.file_answers = {path(c.file)};
            r.steps.push_back([](CKorvaneDlg& d) { click(d.m_hWnd, 1012); });
        }
        r.steps.push_back([&](CKorvaneDlg& d) { command(d.m_hWnd, c.command); });
        run(r);
        ASSERT_EQ(r.boxes.size(), 1u) << c.text;
        EXPECT_EQ(r.boxes[0].text, c.text);
        EXPECT_EQ(r.boxes[0].caption, c.caption) << c.text;
        EXPECT_EQ(r.boxes[0].icon, c.icon) << c.text;
        EXPECT_EQ(r.boxes[0].type & MB_TYPEMASK, UINT(MB_OK)) << c.text;
        EXPECT_TRUE(o.captions.empty()) << c.text;
    }
}

}  // namespace
