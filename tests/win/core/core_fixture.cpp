#include "core_fixture.h"

namespace core_test {

Recorder& recorder() {
    static Recorder r;
    return r;
}

namespace {

LRESULT CALLBACK record_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    recorder().log.push_back({hwnd, msg, wp, lp});
    LRESULT result = 0;
    if (recorder().handler && recorder().handler(hwnd, msg, wp, lp, result)) return result;
    return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace

const char* recording_class() {
    static const char* name = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = record_proc;
        wc.lpszClassName = "CoreTestRecorder";
        wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
        RegisterClassA(&wc);
        return "CoreTestRecorder";
    }();
    return name;
}

}  // namespace core_test
