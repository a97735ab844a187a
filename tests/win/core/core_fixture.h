// A clean window system on a virtual clock for each test, and a window
// procedure that records what it receives.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "win/core/automation.h"
#include "win/core/clock.h"
#include "winuser.h"

namespace core_test {

struct Received {
    HWND hwnd;
    UINT msg;
    WPARAM wp;
    LPARAM lp;
};

// Every window of the recording class logs here; a test can add handlers.
struct Recorder {
    std::vector<Received> log;
    std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT&)> handler;
    std::vector<UINT> only(HWND hwnd, std::initializer_list<UINT> filter = {}) const {
        std::vector<UINT> out;
        for (const auto& r : log) {
            if (hwnd && r.hwnd != hwnd) continue;
            bool keep = filter.size() == 0;
            for (UINT f : filter) keep = keep || f == r.msg;
            if (keep) out.push_back(r.msg);
        }
        return out;
    }
    int count(HWND hwnd, UINT msg) const {
        int n = 0;
        for (const auto& r : log) n += (r.hwnd == hwnd && r.msg == msg);
        return n;
    }
};

Recorder& recorder();
const char* recording_class();  // registers on first use

class CoreTest : public ::testing::Test {
  protected:
    void SetUp() override {
        win::automation::reset(&clock);
        recorder() = Recorder{};
    }
    void TearDown() override {
        win::automation::reset(&clock);
        recorder() = Recorder{};
    }
    HWND top(const char* title = "top", DWORD style = WS_OVERLAPPED | WS_VISIBLE, int w = 200,
             int h = 150) {
        return CreateWindowExA(0, recording_class(), title, style, 10, 10, w, h, nullptr, nullptr,
                               nullptr, nullptr);
    }
    HWND child(HWND parent, int id, RECT r, DWORD style = WS_CHILD | WS_VISIBLE, DWORD ex = 0) {
        return CreateWindowExA(ex, recording_class(), "", style, r.left, r.top, r.right - r.left,
                               r.bottom - r.top, parent, (HMENU)(INT_PTR)id, nullptr, nullptr);
    }

    win::VirtualClock clock;
};

}  // namespace core_test
