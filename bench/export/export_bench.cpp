// The exports against their peers in one run: the video copy of a 1 GB file
// against ffmpeg's stream copy and cp, the audio copy of an hour of 44.1 kHz
// stereo PCM against cp, and one 1920 x 1080 frame to .bmp against ffmpeg.
// The program's files reach the disk (fsync) before they are put in place,
// so cp and ffmpeg are timed with a sync of their output as well.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "bench/bench_timing.h"
#include "bench/headless_program.h"
#include "commctrl.h"
#include "ui/korvane_dlg.h"
#include "ui/resource_ids.h"
#include "win/core/automation.h"
#include "win/dialogs/dialogs.h"

namespace {

using bench::seconds_of;

double shell_seconds(const std::string& cmd) {
    return seconds_of([&] {
        if (std::system(cmd.c_str()) != 0) std::fprintf(stderr, "failed: %s\n", cmd.c_str());
    });
}

bool make(const std::string& path, const std::string& args) {
    if (access(path.c_str(), R_OK) == 0) return true;
    std::string cmd = "ffmpeg -nostdin -loglevel error -y " + args + " '" + path + "'";
    return std::system(cmd.c_str()) == 0;
}

void warm(const std::string& path) { std::system(("cat '" + path + "' > /dev/null").c_str()); }

// Runs work inside the main window with the file open; message boxes are answered.
void with_open_file(const std::string& path, const std::function<void(CKorvaneDlg&)>& work) {
    CKorvaneDlg dlg;
    win::automation::set_modal_hook([&](HWND h) {
        win::dialogs::MessageBoxInfo info;
        if (win::dialogs::message_box_info(h, &info)) {
            win::automation::click_center(win::automation::find_child(h, "BUTTON", "OK"));
        } else if (h != dlg.m_hWnd) {
            PostMessageA(h, WM_COMMAND, 1000, 0);  // the about box
        } else {
            dlg.OpenAviFile(path.c_str());
            work(dlg);
            PostMessageA(h, WM_COMMAND, ID_FILE_EXIT, 0);
        }
    });
    dlg.DoModal();
    win::automation::set_modal_hook(nullptr);
}

// Two rounds, the second in the reverse order: whoever runs first on this
// shared disk also pays for what ran before.
template <std::size_t N>
void both_rounds(std::function<void()> (&contestants)[N]) {
    for (std::size_t i = 0; i < N; ++i) contestants[i]();
    for (std::size_t i = N; i-- > 0;) contestants[i]();
}

void report(const char* what, double ours, const char* peer, double theirs) {
    std::printf("%-34s %8.3f s   %-26s %8.3f s   speed ratio %.2f\n", what, ours, peer, theirs,
                theirs / ours);
}

}  // namespace

int main(int argc, char** argv) {
    std::string dir = argc > 1 ? argv[1] : "/tmp/korvane_export_bench";
    std::system(("mkdir -p '" + dir + "'").c_str());
    std::string video = dir + "/video_1g.avi", audio = dir + "/audio_1h.avi", hd = dir + "/hd.avi";
    // 1150 frames of 640 x 480 x 3 bytes: about 1 GB.
    if (!make(video,
              "-f lavfi -i testsrc=size=640x480:rate=25 -frames:v 1150 -c:v rawvideo -pix_fmt "
              "bgr24") ||
        !make(audio, "-f lavfi -i anoisesrc=sample_rate=44100 -t 3600 -ac 2 -c:a pcm_s16le") ||
        !make(hd,
              "-f lavfi -i testsrc2=size=1920x1080:rate=25 -frames:v 2 -c:v rawvideo -pix_fmt "
              "bgr24")) {
        std::fprintf(stderr, "could not make the sources with ffmpeg\n");
        return 1;
    }
    bench::HeadlessProgram program;

    std::string out = dir + "/out.avi";
    auto clean = [&] { std::remove(out.c_str()); };

    // The best of each contestant's two rounds.
    warm(video);
    double ours = 1e9, ff = 1e9, cp = 1e9, cp_nosync = 1e9;
    auto best = [&](const char* who, double& into, double t) {
        into = std::min(into, t);
        std::fprintf(stderr, "  one round of %s: %.3f s\n", who, t);
        clean();
    };
    std::function<void()> contestants[] = {
        [&] {
            with_open_file(video, [&](CKorvaneDlg& d) {
                best("program", ours, seconds_of([&] { d.ExtractVideoStream(out.c_str()); }));
            });
        },
        [&] {
            best("ffmpeg", ff,
                 shell_seconds("ffmpeg -nostdin -loglevel error -y -i '" + video +
                               "' -map 0:v -c copy '" + out + "' && sync '" + out + "'"));
        },
        [&] {
            best("cp + sync", cp,
                 shell_seconds("cp '" + video + "' '" + out + "' && sync '" + out + "'"));
        },
        [&] { best("cp", cp_nosync, shell_seconds("cp '" + video + "' '" + out + "'")); },
    };
    both_rounds(contestants);
    std::printf("video copy of %s (%.0f MB)\n", video.c_str(), 1150.0 * 921600 / 1e6);
    report("  program video copy", ours, "ffmpeg -map 0:v -c copy", ff);
    report("  program video copy", ours, "cp + sync", cp);
    report("  program video copy", ours, "cp (no sync)", cp_nosync);

    warm(audio);
    ours = cp = cp_nosync = 1e9;
    std::function<void()> audio_contestants[] = {
        [&] {
            with_open_file(audio, [&](CKorvaneDlg& d) {
                best("program", ours, seconds_of([&] { d.ExtractAudioStream(out.c_str()); }));
            });
        },
        [&] {
            best("cp + sync", cp,
                 shell_seconds("cp '" + audio + "' '" + out + "' && sync '" + out + "'"));
        },
        [&] { best("cp", cp_nosync, shell_seconds("cp '" + audio + "' '" + out + "'")); },
    };
    both_rounds(audio_contestants);
    std::printf("audio copy of one hour of 44.1 kHz stereo PCM\n");
    report("  program audio copy", ours, "cp + sync", cp);
    report("  program audio copy", ours, "cp (no sync)", cp_nosync);

    std::string bmp = dir + "/frame.bmp";
    warm(hd);
    with_open_file(
        hd, [&](CKorvaneDlg& d) { ours = seconds_of([&] { d.WriteFrameBitmap(bmp.c_str()); }); });
    std::remove(bmp.c_str());
    ff = shell_seconds("ffmpeg -nostdin -loglevel error -y -i '" + hd + "' -frames:v 1 '" + bmp +
                       "' && sync '" + bmp + "'");
    std::remove(bmp.c_str());
    std::printf("one 1920 x 1080 frame to .bmp\n");
    report("  program frame to .bmp", ours, "ffmpeg -frames:v 1 + sync", ff);

    return 0;
}
