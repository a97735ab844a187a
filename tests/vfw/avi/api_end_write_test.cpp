// Ending a new file's writing: completed and put at its path in one step,
// or dropped, and never a stray or half-written file beside it.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

#include "hand_made.h"
#include "vfw.h"

using namespace avitest;

namespace {

std::vector<std::string> names_in(const std::string& dir) {
    std::vector<std::string> out;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        out.push_back(e.path().filename());
    std::sort(out.begin(), out.end());
    return out;
}

// A new file with one video stream and frames of n bytes.
struct Writing {
    PAVIFILE file = nullptr;
    PAVISTREAM stream = nullptr;
    explicit Writing(const std::string& path) {
        EXPECT_EQ(AVIFileOpenA(&file, path.c_str(), OF_WRITE | OF_CREATE, nullptr), AVIERR_OK);
        AVISTREAMINFOA si{};
        si.fccType = streamtypeVIDEO;
        si.dwScale = 1;
        si.dwRate = 25;
        si.rcFrame = {0, 0, 4, 4};
        EXPECT_EQ(AVIFileCreateStreamA(file, &stream, &si), AVIERR_OK);
        Bytes format = bitmap_info(4, 4, 24);
        EXPECT_EQ(AVIStreamSetFormat(stream, 0, format.data(), LONG(format.size())), AVIERR_OK);
    }
    HRESULT frames(int count, size_t bytes) {
        Bytes frame(bytes, 7);
        for (int i = 0; i < count; ++i)
            if (HRESULT hr = AVIStreamWrite(stream, i, 1, frame.data(), LONG(frame.size()),
                                            AVIIF_KEYFRAME, nullptr, nullptr))
                return hr;
        return AVIERR_OK;
    }
    ~Writing() {
        if (stream) AVIStreamRelease(stream);
        if (file) AVIFileRelease(file);
    }
};

}  // namespace

TEST(AviEndWrite, KeptFilesReplaceTheOldOneOnlyWhenCompleteWithTheUsersUmask) {
    TempDir dir;
    write_file(dir.file("v.avi"), Bytes(10, 1));
    mode_t old_mask = ::umask(027);
    {
        Writing w(dir.file("v.avi"));
        ASSERT_EQ(w.frames(5, 48), AVIERR_OK);
        EXPECT_EQ(names_in(dir.path()), std::vector<std::string>{"v.avi"})
            << "nothing shows while writing";
        EXPECT_EQ(std::filesystem::file_size(dir.file("v.avi")), 10u);
        EXPECT_EQ(AVIFileEndWrite(w.file, TRUE), AVIERR_OK);
        EXPECT_NE(AVIStreamWrite(w.stream, 5, 1, Bytes(48).data(), 48, 0, nullptr, nullptr),
                  AVIERR_OK)
            << "nothing is written after the end";
        EXPECT_EQ(AVIFileEndWrite(w.file, TRUE), AVIERR_OK) << "a second end changes nothing";
    }
    ::umask(old_mask);
    EXPECT_EQ(names_in(dir.path()), std::vector<std::string>{"v.avi"});
    EXPECT_GT(std::filesystem::file_size(dir.file("v.avi")), 5u * 48);
    EXPECT_EQ(std::filesystem::status(dir.file("v.avi")).permissions(),
              std::filesystem::perms(0640));
}

TEST(AviEndWrite, DroppedFilesLeaveThePathAsItWas) {
    TempDir dir;
    write_file(dir.file("v.avi"), Bytes(10, 1));
    {
        Writing w(dir.file("v.avi"));
        ASSERT_EQ(w.frames(3, 48), AVIERR_OK);
        EXPECT_EQ(AVIFileEndWrite(w.file, FALSE), AVIERR_OK);
        EXPECT_NE(AVIFileEndWrite(w.file, TRUE), AVIERR_OK)
            << "a dropped file cannot be kept after all";
    }
    EXPECT_EQ(read_file(dir.file("v.avi")), Bytes(10, 1));
    EXPECT_EQ(names_in(dir.path()), std::vector<std::string>{"v.avi"});
}

TEST(AviEndWrite, StaleAndReadOnlyHandles) {
    TempDir dir;
    PAVIFILE file = nullptr;
    {
        Writing w(dir.file("v.avi"));
        file = w.file;
    }
    EXPECT_EQ(AVIFileEndWrite(file, TRUE), AVIERR_BADHANDLE);
    EXPECT_EQ(AVIFileEndWrite(nullptr, TRUE), AVIERR_BADHANDLE);
    ASSERT_EQ(AVIFileOpenA(&file, dir.file("v.avi").c_str(), 0, nullptr), AVIERR_OK);
    EXPECT_EQ(AVIFileEndWrite(file, TRUE), AVIERR_READONLY);
    AVIFileRelease(file);
}

TEST(AviEndWrite, AFullDiskReportsTheFailureAndKeepsTheOldFile) {
    TempDir dir;
    std::string disk = dir.file("disk");
    std::filesystem::create_directories(disk);
    if (::mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=262144") != 0)
        GTEST_SKIP() << "needs the rights to mount a small file system";
    write_file(disk + "/v.avi", Bytes(10, 1));
    HRESULT written = AVIERR_OK, ended = AVIERR_OK;
    {
        Writing w(disk + "/v.avi");
        written = w.frames(40, 10000);  // 400 kB on a 256 kB disk
        ended = AVIFileEndWrite(w.file, TRUE);
    }
    std::vector<std::string> left = names_in(disk);
    Bytes old = read_file(disk + "/v.avi");
    ::umount2(disk.c_str(), MNT_DETACH);
    EXPECT_TRUE(written != AVIERR_OK || ended != AVIERR_OK) << "the failure is reported";
    EXPECT_EQ(ended, AVIERR_FILEWRITE);
    EXPECT_EQ(old, Bytes(10, 1));
    EXPECT_EQ(left, std::vector<std::string>{"v.avi"});
}
