// Plays a 1280 x 720, 300-frame, 30 fps MPEG-4 file through the main window
// on the real clock (headless display) and reports how many frames were
// shown and how long playback took; at its rate it should take 10 s.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/bench_timing.h"
#include "bench/headless_program.h"
#include "commctrl.h"
#include "ui/korvane_dlg.h"
#include "ui/resource_ids.h"
#include "win/core/automation.h"

namespace {

constexpr int kFrames = 300;

// The main window, counting what each playback tick shows.
class CCountingDlg : public CKorvaneDlg {
  public:
    static const AFX_MSGMAP* GetThisMessageMap();
    const AFX_MSGMAP* GetMessageMap() const override { return GetThisMessageMap(); }

    void OnCountedTimer(UINT_PTR id) {
        int before = seekBar.GetPos();
        if (id == kPlaybackTimer && ticks == 0) start = bench::Clock::now();
        CKorvaneDlg::OnTimer(id);
        if (id != kPlaybackTimer) return;
        ++ticks;
        if (seekBar.GetPos() != before) ++shown;
        if (seekBar.GetPos() >= state.frameCount - 1) {
            end = bench::Clock::now();
            PostMessage(WM_COMMAND, ID_FILE_EXIT, 0);
        }
    }

    int ticks = 0;
    int shown = 1;  // frame 0, drawn by the open
    bench::Clock::time_point start, end;
};

const AFX_MSGMAP* CCountingDlg::GetThisMessageMap() {
    static constexpr AFX_MSGMAP_ENTRY entries[] = {afx::OnTimer<&CCountingDlg::OnCountedTimer>()};
    static constexpr AFX_MSGMAP map{&CKorvaneDlg::GetThisMessageMap, entries, std::size(entries)};
    return &map;
}

}  // namespace

int main(int argc, char** argv) {
    std::string path = argc > 1 ? argv[1] : "/tmp/korvane_playback_bench.avi";
    if (access(path.c_str(), R_OK) != 0) {
        std::string cmd =
            "ffmpeg -loglevel error -y -f lavfi -i testsrc2=size=1280x720:rate=30 -frames:v " +
            std::to_string(kFrames) + " -c:v mpeg4 -q:v 4 -g 30 '" + path + "'";
        if (std::system(cmd.c_str()) != 0) {
            std::fprintf(stderr, "could not make %s with ffmpeg\n", path.c_str());
            return 1;
        }
    }
    bench::HeadlessProgram program;

    CCountingDlg dlg;
    win::automation::set_modal_hook([&](HWND h) {
        if (h != dlg.m_hWnd) {  // the about box
            PostMessageA(h, WM_COMMAND, 1000, 0);
            return;
        }
        dlg.OpenAviFile(path.c_str());
        PostMessageA(h, WM_COMMAND, IDC_PLAY, 0);
    });
    dlg.DoModal();

    double seconds = bench::seconds_between(dlg.start, dlg.end);
    // The first tick comes one interval after Play: playback spans frames 1..299.
    double expected = double(kFrames - 1) / 30.0;
    std::printf("frames shown: %d of %d\n", dlg.shown, kFrames);
    std::printf("playback time: %.3f s (at 30 fps: %.3f s, off by %+.2f%%)\n", seconds, expected,
                100.0 * (seconds - expected) / expected);
    std::printf("timer interval: %u ms (1000 x scale / rate, rounded down)\n",
                unsigned(1000ull * dlg.state.videoInfo.dwScale /
                         (dlg.state.videoInfo.dwRate ? dlg.state.videoInfo.dwRate : 1)));
    return dlg.shown == kFrames ? 0 : 2;
}
