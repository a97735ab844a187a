// The help page as built: every picture and section it points to is in its
// folder, so it opens complete from there with no network.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <string>

namespace {

std::string read_text(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> attributes(const std::string& page, const char* name) {
    std::vector<std::string> out;
    std::regex re(std::string(name) + "=\"([^\"]*)\"");
    for (auto it = std::sregex_iterator(page.begin(), page.end(), re); it != std::sregex_iterator();
         ++it)
        out.push_back((*it)[1]);
    return out;
}

std::int32_t le32(const std::string& b, size_t at) {
    return std::int32_t(std::uint8_t(b[at]) | std::uint8_t(b[at + 1]) << 8 |
                        std::uint8_t(b[at + 2]) << 16 |
                        std::uint32_t(std::uint8_t(b[at + 3])) << 24);
}

const std::string kDir = KORVANE_HELP_DIR;

TEST(HelpPage, EveryPictureIsABitmapInTheHelpFolder) {
    std::string page = read_text(kDir + "/KorvaneHelp.htm");
    ASSERT_FALSE(page.empty());
    std::vector<std::string> pictures = attributes(page, "src");
    ASSERT_GE(pictures.size(), 43u) << "32 button and 11 menu pictures";
    for (const std::string& src : pictures) {
        EXPECT_EQ(src.find(':'), std::string::npos) << src << " must not need the network";
        std::string bytes = read_text(kDir + "/" + src);
        ASSERT_GE(bytes.size(), 54u) << src;
        EXPECT_EQ(bytes.substr(0, 2), "BM") << src;
        std::int32_t w = le32(bytes, 18), h = le32(bytes, 22);
        // Buttons are 24 pixels square, menu pictures 16 but for the Web Page's 15.
        int side = src.find("menu") == std::string::npos  ? 24
                   : src.find("133") != std::string::npos ? 15
                                                          : 16;
        EXPECT_EQ(w, side) << src;
        EXPECT_EQ(h < 0 ? -h : h, side) << src;
    }
}

TEST(HelpPage, EveryLinkLeadsToASectionOfThePage) {
    std::string page = read_text(kDir + "/KorvaneHelp.htm");
    std::vector<std::string> ids = attributes(page, "id");
    std::set<std::string> sections(ids.begin(), ids.end());
    std::vector<std::string> links = attributes(page, "href");
    ASSERT_FALSE(links.empty());
    for (const std::string& href : links) {
        ASSERT_EQ(href.substr(0, 1), "#") << href;
        EXPECT_TRUE(sections.count(href.substr(1))) << href;
    }
}

}  // namespace
