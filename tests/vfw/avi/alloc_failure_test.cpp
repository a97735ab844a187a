// Every allocation in turn fails while a file is opened and a frame is asked
// for: each call returns its error, nothing escapes, nothing stays registered.
// The binary replaces operator new, hence a test program of its own.
// The replaced operators pair malloc with free, which the compiler cannot see.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "tests/vfw/codec/codec_fixture.h"
#include "vfw.h"

namespace {
long g_allocations_left = -1;  // fail when it reaches 0; -1: never
bool g_failed = false;
}  // namespace

void* operator new(std::size_t size) {
    if (g_allocations_left > 0) --g_allocations_left;
    if (g_allocations_left == 0) {
        g_allocations_left = -1;
        g_failed = true;
        throw std::bad_alloc();
    }
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return operator new(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
    return operator new(size, tag);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace {

TEST(AllocationFailure, OpenAndGetFrameReturnTheirErrors) {
    vfw::codec::test::TempDir dir;
    const auto path = dir / "in.avi";
    ASSERT_TRUE(vfw::codec::test::run_ffmpeg(
        "-f lavfi -i testsrc2=size=64x48:rate=25 -frames:v 12 -c:v mpeg4 -g 5 -an " +
        path.string()));
    int opened = 0, refused = 0, frames = 0;
    for (long nth = 1;; ++nth) {
        g_failed = false;
        g_allocations_left = nth;
        PAVIFILE file = nullptr;
        const HRESULT hr = AVIFileOpenA(&file, path.c_str(), 0, nullptr);
        if (hr != AVIERR_OK) {
            g_allocations_left = -1;
            EXPECT_EQ(hr, AVIERR_MEMORY) << "allocation " << nth;
            EXPECT_EQ(file, nullptr);
            ++refused;
            continue;
        }
        ++opened;
        PAVISTREAM stream = nullptr;
        if (AVIFileGetStream(file, &stream, streamtypeVIDEO, 0) == AVIERR_OK) {
            if (PGETFRAME g = AVIStreamGetFrameOpen(stream, nullptr)) {
                if (AVIStreamGetFrame(g, 7) != nullptr) ++frames;
                AVIStreamGetFrameClose(g);
            }
            AVIStreamRelease(stream);
        }
        const bool done = !g_failed;
        g_allocations_left = -1;
        EXPECT_EQ(AVIFileRelease(file), 0u);
        if (done) break;  // the whole sequence ran without meeting the failure
        ASSERT_LT(nth, 100000);
    }
    EXPECT_GT(refused, 3);  // the open itself met failures and reported them
    EXPECT_GT(opened, 3);   // and so did the calls after it
    EXPECT_GE(frames, 1);   // the last run, free of failures, gets its frame
}

}  // namespace
