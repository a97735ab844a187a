// Dropped files: the addresses a drop brings, and the HDROP the program reads.
#include "win/shell/drop_files.h"

#include <gtest/gtest.h>

namespace {

TEST(DropFiles, FileAddresses) {
    const std::pair<const char*, const char*> cases[] = {
        {"file:///home/u/a%20b.avi", "/home/u/a b.avi"},
        {"FILE:///x/%C3%A9.avi\r\n", "/x/\xC3\xA9.avi"},
        {"file://localhost/srv/v.avi", "/srv/v.avi"},
        {"file:///bad%2", "/bad%2"},
        {"file:///nul%00", ""},
        {"file://otherhost/v.avi", ""},
        {"http://example.org/v.avi", ""},
        {"/plain/path", ""},
    };
    for (auto [uri, path] : cases) EXPECT_EQ(win::shell::path_from_file_uri(uri), path) << uri;
}

TEST(DropFiles, UriListsKeepTheirLocalFilesInOrder) {
    std::string list =
        "# from the file manager\r\nfile:///a/one.avi\r\nhttp://x/y.avi\r\n"
        "file:///b/two%20words.avi\r\n\r\nfile:///c/last.avi";
    EXPECT_EQ(win::shell::paths_from_uri_list(list),
              (std::vector<std::string>{"/a/one.avi", "/b/two words.avi", "/c/last.avi"}));
    EXPECT_TRUE(win::shell::paths_from_uri_list("").empty());
}

TEST(DropFiles, QueryCountLengthsCopiesAndFinish) {
    std::size_t before = win::shell::drops_held();
    HDROP drop = win::shell::make_drop({"/v/clip.avi", "/v/second.avi"}, POINT{12, 34});
    EXPECT_EQ(win::shell::drops_held(), before + 1);
    EXPECT_EQ(DragQueryFileA(drop, 0xFFFFFFFFu, nullptr, 0), 2u);
    EXPECT_EQ(DragQueryFileA(drop, 0, nullptr, 0), 11u);
    char buf[8];
    EXPECT_EQ(DragQueryFileA(drop, 1, buf, sizeof buf), 13u);
    EXPECT_STREQ(buf, "/v/seco") << "cut to the buffer, terminated";
    EXPECT_EQ(DragQueryFileA(drop, 2, buf, sizeof buf), 0u);
    POINT pt{};
    EXPECT_TRUE(DragQueryPoint(drop, &pt));
    EXPECT_EQ(pt.x, 12);
    EXPECT_EQ(pt.y, 34);
    DragFinish(drop);
    EXPECT_EQ(win::shell::drops_held(), before);
    // Stale now: everything fails cleanly.
    EXPECT_EQ(DragQueryFileA(drop, 0xFFFFFFFFu, nullptr, 0), 0u);
    EXPECT_FALSE(DragQueryPoint(drop, &pt));
    DragFinish(drop);
    EXPECT_EQ(DragQueryFileA(reinterpret_cast<HDROP>(std::uintptr_t(0x1234)), 0, buf, sizeof buf),
              0u);
}

}  // namespace
