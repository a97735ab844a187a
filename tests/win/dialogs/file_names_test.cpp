// The file dialogs' rules on names: filters, matching, the default
// extension, typed paths and the offsets handed back.
#include "win/dialogs/file_names.h"

#include <gtest/gtest.h>

using namespace win::dialogs::files;

TEST(FileNames, FilterListPairsUpToTheEmptyString) {
    const char filter[] =
        "AVI Files (*.avi)\0*.avi\0Pictures\0*.bmp; *.dib\0All Files (*.*)\0*.*\0\0";
    auto f = parse_filter(filter);
    ASSERT_EQ(f.size(), 3u);
    EXPECT_EQ(f[0].description, "AVI Files (*.avi)");
    EXPECT_EQ(f[0].patterns, std::vector<std::string>{"*.avi"});
    EXPECT_EQ(f[1].patterns, (std::vector<std::string>{"*.bmp", "*.dib"}));
    EXPECT_TRUE(parse_filter(nullptr).empty());
    EXPECT_TRUE(parse_filter("Lonely description\0\0").empty());
}

TEST(FileNames, PatternsMatchCaseBlind) {
    EXPECT_TRUE(matches("CLIP.AVI", {"*.avi"}));
    EXPECT_FALSE(matches("clip.avi.txt", {"*.avi"}));
    EXPECT_TRUE(matches("README", {"*.*"}));
    EXPECT_TRUE(matches("a.dib", {"*.bmp", "*.dib"}));
    EXPECT_TRUE(matches("f1.avi", {"f?.avi"}));
    EXPECT_FALSE(matches("f12.avi", {"f?.avi"}));
}

TEST(FileNames, DefaultExtensionRule) {
    auto entry = [](const char* pattern) { return FilterEntry{"x", {pattern}}; };
    FilterEntry avi = entry("*.avi"), any = entry("*.*"), wild = entry("*.ab?"), dot = entry("*."),
                two = entry("*.abc.def"), nodot = entry("*sav");
    // The concrete filter extension wins over the default.
    EXPECT_EQ(extension_to_add(&avi, "*.bmp"), "avi");
    EXPECT_EQ(extension_to_add(&avi, ""), "avi");
    EXPECT_EQ(extension_to_add(&two, "xyz"), "abc.def");
    // A wildcard filter falls back to the default, written in any form.
    EXPECT_EQ(extension_to_add(&any, "*.avi"), "avi");
    EXPECT_EQ(extension_to_add(&wild, ".xyz"), "xyz");
    EXPECT_EQ(extension_to_add(&nodot, "xyz"), "xyz");
    EXPECT_EQ(extension_to_add(&any, ""), "");
    EXPECT_EQ(extension_to_add(&dot, "xyz"), "");
    EXPECT_EQ(extension_to_add(nullptr, "*.bmp"), "bmp");
    // No default extension: nothing, whatever the filter.
    EXPECT_EQ(extension_to_add(&avi, nullptr), "");
}

TEST(FileNames, ExtensionsAndTypedPaths) {
    EXPECT_TRUE(has_extension("/a/b.avi"));
    EXPECT_TRUE(has_extension("b."));
    EXPECT_FALSE(has_extension("/a.d/b"));
    EXPECT_FALSE(has_extension(".hidden"));
    EXPECT_EQ(resolve_typed("/home/u/v", "clip"), "/home/u/v/clip");
    EXPECT_EQ(resolve_typed("/home/u/v", "../w/clip.avi"), "/home/u/w/clip.avi");
    EXPECT_EQ(resolve_typed("/home/u/v", "/tmp//x/"), "/tmp/x");
    EXPECT_EQ(resolve_typed("/home/u/v", "sub dir/\xC3\xA9t\xC3\xA9.avi"),
              "/home/u/v/sub dir/\xC3\xA9t\xC3\xA9.avi");
}

TEST(FileNames, OffsetsOfTheResult) {
    Offsets o = offsets_of("/tmp/a/clip.avi");
    EXPECT_EQ(o.file, 7);
    EXPECT_EQ(o.extension, 12);
    o = offsets_of("/tmp/a.d/clip");
    EXPECT_EQ(o.file, 9);
    EXPECT_EQ(o.extension, 13);  // the terminating NUL
    EXPECT_EQ(offsets_of("/tmp/clip.").extension, 0);
}
