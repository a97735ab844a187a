#include "program_fixture.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "commctrl.h"
#include "mmreg.h"
#include "res/korvane_resources.h"
#include "win/menus/menus.h"
#include "win/resources/registry.h"

// The AVIFile calls the program makes pass through these wrappers (the test
// links with --wrap), so a test can see what was handed out and released,
// and can make the calls that no real file can make fail, fail.
extern "C" {
HRESULT __real_AVIFileOpenA(PAVIFILE* ppfile, LPCSTR szFile, UINT uMode, LPCLSID lpHandler);
HRESULT __real_AVIFileInfoA(PAVIFILE pfile, LPAVIFILEINFOA pfi, LONG lSize);
HRESULT __real_AVIStreamInfoA(PAVISTREAM pavi, LPAVISTREAMINFOA psi, LONG lSize);
void __real_AVIFileExit(void);

HRESULT __wrap_AVIFileOpenA(PAVIFILE* ppfile, LPCSTR szFile, UINT uMode, LPCLSID lpHandler) {
    HRESULT hr = __real_AVIFileOpenA(ppfile, szFile, uMode, lpHandler);
    if (hr == 0 && ppfile && uMode == 0) program_test::probe().opened.push_back(*ppfile);
    return hr;
}

HRESULT __wrap_AVIFileInfoA(PAVIFILE pfile, LPAVIFILEINFOA pfi, LONG lSize) {
    if (program_test::probe().fail_file_info) return AVIERR_ERROR;
    return __real_AVIFileInfoA(pfile, pfi, lSize);
}

HRESULT __wrap_AVIStreamInfoA(PAVISTREAM pavi, LPAVISTREAMINFOA psi, LONG lSize) {
    AVISTREAMINFOA info{};
    HRESULT hr = __real_AVIStreamInfoA(pavi, &info, sizeof info);
    if (hr == 0 && program_test::probe().fail_stream_info == info.fccType) return AVIERR_ERROR;
    return __real_AVIStreamInfoA(pavi, psi, lSize);
}

void __wrap_AVIFileExit(void) {
    program_test::AviProbe& p = program_test::probe();
    ++p.exits;
    // KillTimer answers whether the timer was still there.
    p.timer_alive_at_exit = p.main_window && KillTimer(p.main_window, 1);
    p.file_alive_at_exit = program_test::file_alive(p.file);
    p.video_alive_at_exit = program_test::stream_alive(p.video);
    p.audio_alive_at_exit = program_test::stream_alive(p.audio);
    p.get_frame_alive_at_exit = program_test::get_frame_alive(p.get_frame);
    __real_AVIFileExit();
}
}

namespace program_test {

AviProbe& probe() {
    static AviProbe p;
    return p;
}

bool file_alive(PAVIFILE file) {
    AVIFILEINFOA info{};
    return file && __real_AVIFileInfoA(file, &info, sizeof info) == 0;
}

bool stream_alive(PAVISTREAM stream) {
    AVISTREAMINFOA info{};
    return stream && __real_AVIStreamInfoA(stream, &info, sizeof info) == 0;
}

bool get_frame_alive(PGETFRAME get_frame) {
    return get_frame && AVIStreamGetFrame(get_frame, 0) != nullptr;
}

std::uint32_t colour_of(int frame) {
    // Red counts the frame, so every frame of a file has its own colour.
    return (std::uint32_t(frame & 255) << 16) | (std::uint32_t(255 - (frame & 255)) << 8) | 0x80;
}

void write_avi(const std::string& path, const VideoFile& wanted) {
    std::filesystem::remove(path);
    PAVIFILE file = nullptr;
    ASSERT_EQ(AVIFileOpenA(&file, path.c_str(), OF_WRITE | OF_CREATE, nullptr), 0) << path;
    // Every stream is made before the first sample is written.
    PAVISTREAM video = nullptr, audio = nullptr, other = nullptr;
    BITMAPINFOHEADER bi{};
    if (wanted.video) {
        AVISTREAMINFOA si{};
        si.fccType = streamtypeVIDEO;
        si.fccHandler =
            wanted.compression == BI_RGB ? mmioFOURCC('D', 'I', 'B', ' ') : wanted.compression;
        si.dwScale = wanted.scale;
        si.dwRate = wanted.rate;
        si.dwStart = wanted.start;
        si.dwQuality = 0xFFFFFFFFu;
        si.rcFrame = {0, 0, wanted.width, wanted.height};
        ASSERT_EQ(AVIFileCreateStreamA(file, &video, &si), 0);
        bi.biSize = sizeof bi;
        bi.biWidth = wanted.width;
        bi.biHeight = wanted.height;
        bi.biPlanes = 1;
        bi.biBitCount = 24;
        bi.biCompression = wanted.compression;
        bi.biSizeImage = DWORD((wanted.width * 3 + 3) & ~3) * DWORD(wanted.height);
        ASSERT_EQ(AVIStreamSetFormat(video, 0, &bi, sizeof bi), 0);
    }
    if (wanted.audio) {
        WAVEFORMATEX wf = kMonoPcm8k;
        AVISTREAMINFOA si{};
        si.fccType = streamtypeAUDIO;
        si.dwScale = 2;
        si.dwRate = 16000;
        si.dwSampleSize = 2;
        ASSERT_EQ(AVIFileCreateStreamA(file, &audio, &si), 0);
        ASSERT_EQ(AVIStreamSetFormat(audio, 0, &wf, sizeof wf), 0);
    }
    if (wanted.other_stream) {
        AVISTREAMINFOA si{};
        si.fccType = wanted.other_stream;
        si.dwScale = 1;
        si.dwRate = 1;
        ASSERT_EQ(AVIFileCreateStreamA(file, &other, &si), 0);
        char format[8] = "korvane";
        ASSERT_EQ(AVIStreamSetFormat(other, 0, format, sizeof format), 0);
    }
    if (video) {
        DWORD stride = DWORD((wanted.width * 3 + 3) & ~3);
        std::vector<std::uint8_t> pixels(bi.biSizeImage);
        for (int i = 0; i < wanted.frames; ++i) {
            std::uint32_t c = colour_of(i);
            for (int y = 0; y < wanted.height; ++y)
                for (int x = 0; x < wanted.width; ++x) {
                    std::uint8_t* p = &pixels[DWORD(y) * stride + DWORD(x) * 3];
                    p[0] = std::uint8_t(c);
                    p[1] = std::uint8_t(c >> 8);
                    p[2] = std::uint8_t(c >> 16);
                }
            ASSERT_EQ(AVIStreamWrite(video, -1, 1, pixels.data(), LONG(pixels.size()),
                                     AVIIF_KEYFRAME, nullptr, nullptr),
                      0);
        }
        AVIStreamRelease(video);
    }
    if (audio) {
        std::vector<std::uint8_t> samples(1600, 0x11);
        ASSERT_EQ(AVIStreamWrite(audio, -1, 800, samples.data(), LONG(samples.size()),
                                 AVIIF_KEYFRAME, nullptr, nullptr),
                  0);
        AVIStreamRelease(audio);
    }
    if (other) {
        char line[6] = "hello";
        ASSERT_EQ(AVIStreamWrite(other, -1, 1, line, sizeof line, AVIIF_KEYFRAME, nullptr, nullptr),
                  0);
        AVIStreamRelease(other);
    }
    AVIFileRelease(file);
}

bool ffmpeg(const std::string& args) {
    std::string cmd =
        "ffmpeg -nostdin -hide_banner -loglevel error -y " + args + " > /dev/null 2>&1";
    return std::system(cmd.c_str()) == 0;
}

void write_bytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

std::vector<std::uint8_t> read_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

namespace {

class CTestApp : public CWinApp {
  public:
    BOOL InitInstance() override { return FALSE; }
};

// Steps run one per tick of a timer on the main window, and only while the
// window is free: not while one of its own message boxes or dialogs is up.
struct Script {
    Session* run = nullptr;
    CKorvaneDlg* dlg = nullptr;
    bool busy = false;
    static Script* current;
    static void CALLBACK tick(HWND hwnd, UINT, UINT_PTR, DWORD) {
        Script* s = current;
        if (!s || s->busy || !IsWindowEnabled(hwnd)) return;
        if (s->run->hold && s->run->hold()) return;
        if (s->run->steps_done >= s->run->steps.size()) {
            KillTimer(hwnd, 77);
            PostMessageA(hwnd, WM_COMMAND, 32774, 0);  // Exit
            return;
        }
        s->busy = true;
        s->run->steps[s->run->steps_done++](*s->dlg);
        s->busy = false;
    }
};
Script* Script::current = nullptr;

void CALLBACK press_ok_later(HWND box, UINT, UINT_PTR id, DWORD) {
    KillTimer(box, id);
    win::automation::click_center(win::automation::find_child(box, "BUTTON", "OK"));
}

}  // namespace

void ProgramTest::SetUp() {
    probe() = AviProbe{};
    win::automation::reset(&clock);
    InitCommonControls();
    win::menus::install();
    module_ = win::res::install(korvane_resources());
    app_ = std::make_unique<CTestApp>();
    app_->m_hInstance = module_;
    char pattern[] = "/tmp/korvane-program-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
}

void ProgramTest::TearDown() {
    win::automation::reset(&clock);
    app_.reset();
    win::res::uninstall(module_);
    std::filesystem::remove_all(dir_);
}

void ProgramTest::run(Session& r) {
    CKorvaneDlg dlg;
    dlg.startFile = r.start_file.c_str();
    dialog = &dlg;
    app_->m_pMainWnd = &dlg;
    Script script;
    script.run = &r;
    script.dlg = &dlg;
    Script::current = &script;
    win::automation::set_modal_hook([&](HWND h) {
        win::dialogs::MessageBoxInfo info;
        if (win::dialogs::message_box_info(h, &info)) {
            r.boxes.push_back(info);
            r.events.push_back("box");
            if (r.box_delay_ms > 0)
                SetTimer(h, 78, UINT(r.box_delay_ms), &press_ok_later);
            else if (HWND ok = win::automation::find_child(h, "BUTTON", "OK"))
                win::automation::click_center(ok);
            else  // the save dialog's question before it replaces a file
                win::automation::click_center(win::automation::find_child(h, "BUTTON", "&Yes"));
        } else if (h == dlg.m_hWnd) {
            r.events.push_back("main");
            r.main_visible_at_start = IsWindowVisible(h);
            probe().main_window = h;
            SetTimer(h, 77, 10, &Script::tick);
        } else if (r.own_modal && r.own_modal(h)) {
        } else if (win::automation::window_text(h) == "About Korvane 1.0") {
            r.events.push_back("about");
            r.main_visible_during_about = dlg.m_hWnd && IsWindowVisible(dlg.m_hWnd);
            win::automation::click_center(GetDlgItem(h, 1000));
        } else if (HWND edit = win::automation::find_child(h, "EDIT", nullptr)) {
            r.events.push_back("file");
            std::string answer = r.file_answers.empty() ? "" : r.file_answers.front();
            if (!r.file_answers.empty()) r.file_answers.pop_front();
            if (answer.empty()) {
                win::automation::press(h, VK_ESCAPE);
            } else {
                SetWindowTextA(edit, answer.c_str());
                SetFocus(edit);
                win::automation::press(edit, VK_RETURN);
            }
        } else if (r.other_modal) {
            r.other_modal(h);
        }
    });
    r.result = dlg.DoModal();
    win::automation::set_modal_hook(nullptr);
    Script::current = nullptr;
    app_->m_pMainWnd = nullptr;
    dialog = nullptr;
}

bool enabled(HWND dlg, int id) { return IsWindowEnabled(GetDlgItem(dlg, id)); }
int position(HWND dlg) { return int(SendMessageA(GetDlgItem(dlg, 1003), TBM_GETPOS, 0, 0)); }
int range_min(HWND dlg) { return int(SendMessageA(GetDlgItem(dlg, 1003), TBM_GETRANGEMIN, 0, 0)); }
int range_max(HWND dlg) { return int(SendMessageA(GetDlgItem(dlg, 1003), TBM_GETRANGEMAX, 0, 0)); }
void click(HWND dlg, int id) { win::automation::click_center(GetDlgItem(dlg, id)); }
void command(HWND dlg, UINT id) { PostMessageA(dlg, WM_COMMAND, id, 0); }

std::map<int, bool> controls(HWND dlg) {
    std::map<int, bool> out;
    for (int id : kFileControls) out[id] = enabled(dlg, id);
    out[1012] = enabled(dlg, 1012);
    return out;
}

std::map<int, bool> expected(std::initializer_list<int> on) {
    std::map<int, bool> out;
    for (int id : kFileControls) out[id] = std::find(on.begin(), on.end(), id) != on.end();
    out[1012] = true;
    return out;
}

std::uint32_t view_centre(CKorvaneDlg& dlg) {
    return win::automation::pixel(dlg.m_hWnd, dlg.viewRect.right / 2, dlg.viewRect.bottom / 2);
}

}  // namespace program_test
