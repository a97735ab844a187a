// The main window run for real in the headless window system: the about box
// is answered, then a script of steps acts on the window one timer tick at a
// time, and every message box and file dialog on the way is recorded and
// answered as a user would.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "afxwin.h"
#include "ui/korvane_dlg.h"
#include "vfw.h"
#include "win/core/automation.h"
#include "win/core/clock.h"
#include "win/dialogs/dialogs.h"

namespace program_test {

// What the platform boundary saw; filled by the wrapped AVIFile calls.
struct AviProbe {
    std::vector<PAVIFILE> opened;  // every file AVIFileOpenA handed out
    DWORD fail_stream_info = 0;    // stream type whose AVIStreamInfoA fails
    bool fail_file_info = false;   // AVIFileInfoA fails
    int exits = 0;                 // AVIFileExit calls
    // Observed when AVIFileExit is called.
    HWND main_window = nullptr;
    PAVIFILE file = nullptr;
    PAVISTREAM video = nullptr;
    PAVISTREAM audio = nullptr;
    PGETFRAME get_frame = nullptr;
    bool timer_alive_at_exit = false;
    bool file_alive_at_exit = false;
    bool video_alive_at_exit = false;
    bool audio_alive_at_exit = false;
    bool get_frame_alive_at_exit = false;
};
AviProbe& probe();

// Liveness through the layer's real calls, bypassing injected failures.
bool file_alive(PAVIFILE file);
bool stream_alive(PAVISTREAM stream);
bool get_frame_alive(PGETFRAME get_frame);

// 16-bit mono PCM at 8000 Hz, the sound of the generated files.
inline constexpr WAVEFORMATEX kMonoPcm8k{WAVE_FORMAT_PCM, 1, 8000, 16000, 2, 16, 0};

// Solid colour of frame i in the generated files, as 0x00RRGGBB.
std::uint32_t colour_of(int frame);

struct VideoFile {
    int width = 64;
    int height = 48;
    int frames = 20;
    DWORD scale = 1;
    DWORD rate = 25;
    DWORD start = 0;
    bool video = true;
    bool audio = false;
    DWORD compression = BI_RGB;  // another FourCC makes a stream no decoder knows
    DWORD other_stream = 0;      // a stream type besides (or instead of) the others
};
// Writes a file through the layer's own writer; frame i is colour_of(i).
void write_avi(const std::string& path, const VideoFile& wanted);
// Runs ffmpeg with the arguments; true on success.
bool ffmpeg(const std::string& args);
void write_bytes(const std::string& path, const std::vector<std::uint8_t>& bytes);
std::vector<std::uint8_t> read_bytes(const std::string& path);

using Step = std::function<void(CKorvaneDlg&)>;

struct Session {
    std::vector<Step> steps;
    // Answers for the file dialogs in order: a path, or "" for Cancel.
    std::deque<std::string> file_answers;
    // The file named on the command line (the main window's startFile).
    std::string start_file;
    // Called for a modal window that is none of the known kinds (a menu popup).
    std::function<void(HWND)> other_modal;
    // Asked first for a modal window that is neither a box nor the main
    // window; true when it took the window over.
    std::function<bool(HWND)> own_modal;
    // While this says so, no step runs (the main window stays enabled while
    // its menus are tracked).
    std::function<bool()> hold;
    // Message boxes are answered this long after they open (0: at once).
    int box_delay_ms = 0;

    std::vector<win::dialogs::MessageBoxInfo> boxes;
    std::vector<std::string> events;  // "about", "main", "file", "box"
    bool main_visible_during_about = true;
    bool main_visible_at_start = false;
    size_t steps_done = 0;
    INT_PTR result = 0;
};

class ProgramTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Runs the main window with the script; a last step sends Exit.
    void run(Session& r);
    std::string path(const std::string& name) const { return dir_ + "/" + name; }

    win::VirtualClock clock;
    CKorvaneDlg* dialog = nullptr;

  private:
    std::string dir_;
    HINSTANCE module_ = nullptr;
    std::unique_ptr<CWinApp> app_;
};

// Reading the main window.
bool enabled(HWND dlg, int id);
int position(HWND dlg);
int range_min(HWND dlg);
int range_max(HWND dlg);
void click(HWND dlg, int id);
void command(HWND dlg, UINT id);
// Enabled state of every file-dependent control and of Open.
std::map<int, bool> controls(HWND dlg);
// The same with exactly the listed controls on (Open always is).
std::map<int, bool> expected(std::initializer_list<int> on);
// Colour at the centre of the frame view.
std::uint32_t view_centre(CKorvaneDlg& dlg);

// Controls that depend on an open file.
inline constexpr int kVideoSet[] = {1000, 1001, 1005, 1006, 1007, 1008, 1009, 1010, 1013, 1003};
inline constexpr int kFileControls[] = {1000, 1001, 1005, 1006, 1007, 1008,
                                        1009, 1010, 1011, 1013, 1003};

}  // namespace program_test
