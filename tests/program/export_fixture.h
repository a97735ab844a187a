// Shared by the export tests: running one export through the real buttons
// and dialogs, reading what it wrote, and folders that refuse or run out.
#pragma once

#include <sys/mount.h>
#include <sys/resource.h>

#include <csignal>
#include <cstring>
#include <filesystem>

#include "commctrl.h"
#include "program_fixture.h"

namespace export_test {

using namespace program_test;

// Opens the file, optionally acts on the window, then presses the button
// with the answer for its save dialog.
inline void export_through(Session& r, const std::string& file, int button,
                           const std::string& answer, Step before = nullptr) {
    r.file_answers = {file, answer};
    r.steps.push_back([](CKorvaneDlg& d) { click(d.m_hWnd, 1012); });
    if (before) r.steps.push_back(before);
    r.steps.push_back([button](CKorvaneDlg& d) { click(d.m_hWnd, button); });
}

inline std::vector<std::string> texts(const Session& r) {
    std::vector<std::string> out;
    for (const auto& b : r.boxes) out.push_back(b.text);
    return out;
}

inline std::uint32_t u32(const std::vector<std::uint8_t>& b, size_t at) {
    return std::uint32_t(b[at]) | std::uint32_t(b[at + 1]) << 8 | std::uint32_t(b[at + 2]) << 16 |
           std::uint32_t(b[at + 3]) << 24;
}

// Names in a folder (a stray temporary shows up here).
inline std::vector<std::string> listing(const std::string& dir) {
    std::vector<std::string> out;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        out.push_back(e.path().filename());
    std::sort(out.begin(), out.end());
    return out;
}

// What the progress bar is told while an export runs.
struct BarSpy {
    int steps = 0;
    LPARAM range_high = -1;
    std::vector<WPARAM> positions;
};
inline BarSpy* bar_spy_target = nullptr;
inline WNDPROC bar_proc = nullptr;
inline LRESULT CALLBACK bar_spy(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (BarSpy* spy = bar_spy_target) {
        if (msg == PBM_STEPIT) ++spy->steps;
        if (msg == PBM_SETRANGE32) spy->range_high = lp;
        if (msg == PBM_SETPOS) spy->positions.push_back(wp);
    }
    return CallWindowProcA(bar_proc, h, msg, wp, lp);
}
// Watches the main window's progress bar into spy; a null window stops.
inline void watch_bar(HWND main, BarSpy* spy) {
    bar_spy_target = spy;
    if (main)
        bar_proc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
            GetDlgItem(main, 1004), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&bar_spy)));
}

// A small file system of its own at dir (tmpfs; needs root); ro makes it
// read-only. Without the rights it stays unmounted and ok() is false.
class SmallDisk {
  public:
    SmallDisk(const std::string& dir, size_t bytes, bool ro = false) : dir_(dir) {
        std::filesystem::create_directories(dir);
        std::string options = "size=" + std::to_string(bytes);
        mounted_ = ::mount("tmpfs", dir.c_str(), "tmpfs", ro ? MS_RDONLY : 0, options.c_str()) == 0;
    }
    ~SmallDisk() {
        if (mounted_) ::umount2(dir_.c_str(), MNT_DETACH);
    }
    bool ok() const { return mounted_; }
    // Fills the disk but for about this many bytes.
    void fill_leaving(size_t left) {
        std::string filler = dir_ + "/filler";
        FILE* f = std::fopen(filler.c_str(), "wb");
        std::vector<char> block(4096, 'x');
        while (std::fwrite(block.data(), 1, block.size(), f) == block.size()) {
        }
        std::fclose(f);
        std::filesystem::resize_file(filler, std::filesystem::file_size(filler) > left
                                                 ? std::filesystem::file_size(filler) - left
                                                 : 0);
    }

  private:
    std::string dir_;
    bool mounted_ = false;
};

}  // namespace export_test
