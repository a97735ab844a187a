// The file dialogs' naming rules without a window.
#include "win/dialogs/file_listing.h"

#include <gtest/gtest.h>

namespace files = win::dialogs::files;

namespace {

TEST(FileListing, NaturalOrder) {
    const char* sorted[] = {"a",
                            "A1",
                            "a1",
                            "a01b",
                            "a2",
                            "a10",
                            "a10b",
                            "a010c",
                            "b",
                            "clip 9.avi",
                            "Clip 10.avi",
                            "z99999999999999999999",
                            "z100000000000000000000"};
    for (size_t i = 0; i + 1 < std::size(sorted); ++i) {
        EXPECT_TRUE(files::natural_less(sorted[i], sorted[i + 1]))
            << sorted[i] << " < " << sorted[i + 1];
        EXPECT_FALSE(files::natural_less(sorted[i + 1], sorted[i]))
            << sorted[i + 1] << " !< " << sorted[i];
    }
    EXPECT_FALSE(files::natural_less("same", "same"));
}

TEST(FileListing, SizeTexts) {
    const std::pair<std::uint64_t, const char*> cases[] = {
        {0, "0 bytes"},        {1, "1 byte"},
        {1023, "1023 bytes"},  {1024, "1.0 KB"},
        {1536, "1.5 KB"},      {12 * 1024, "12 KB"},
        {3565158, "3.4 MB"},   {2147483648ull, "2.0 GB"},
        {5ull << 40, "5.0 TB"}};
    for (auto [bytes, text] : cases) EXPECT_EQ(files::size_text(bytes), text) << bytes;
}

TEST(FileListing, PlacesFollowTheUserDirsFile) {
    using P = std::vector<std::pair<std::string, std::string>>;
    auto labels = [](const std::vector<files::Place>& places) {
        P out;
        for (const auto& p : places) out.push_back({p.label, p.path});
        return out;
    };
    EXPECT_EQ(labels(files::user_places("/h", "")), (P{{"Home", "/h"},
                                                       {"Desktop", "/h/Desktop"},
                                                       {"Videos", "/h/Videos"},
                                                       {"Downloads", "/h/Downloads"},
                                                       {"File system", "/"}}));
    // Set to home means unset; absolute and $HOME forms are both read.
    EXPECT_EQ(
        labels(files::user_places("/h",
                                  "XDG_DESKTOP_DIR=\"$HOME/\"\nXDG_VIDEOS_DIR=\"/media/films/\"\n"
                                  "XDG_DOWNLOAD_DIR=\"$HOME/Téléchargements\"\n")),
        (P{{"Home", "/h"},
           {"Videos", "/media/films"},
           {"Downloads", "/h/Téléchargements"},
           {"File system", "/"}}));
    EXPECT_EQ(labels(files::user_places("", "")), (P{{"File system", "/"}}));
}

}  // namespace
