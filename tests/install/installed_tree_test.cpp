// `cmake --install` into a temporary prefix: every file a desktop needs, in
// the places it looks, valid to desktop-file-validate and appstreamcli.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/win/x11/child_process.h"

namespace fs = std::filesystem;
using x11_test::milliseconds;
using x11_test::run;

namespace {

constexpr const char* kId = "org.korvane.korvane";
constexpr int kIconSizes[] = {16, 24, 32, 48, 64, 128, 256};

std::string read_text(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// The value of a key in the desktop entry's main group.
std::string entry_value(const std::string& entry, const std::string& key) {
    std::istringstream in(entry);
    for (std::string line; std::getline(in, line);)
        if (line.starts_with(key + "=")) return line.substr(key.size() + 1);
    return "(missing)";
}

// Width, height and colour type from a PNG's header; zeros when it is none.
struct PngHeader {
    int width = 0, height = 0, colour_type = -1;
};
PngHeader png_header(const fs::path& p) {
    std::string b = read_text(p);
    PngHeader h;
    if (b.size() < 33 || b.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0 || b.compare(12, 4, "IHDR") != 0)
        return h;
    auto be32 = [&](std::size_t at) {
        return int(std::uint8_t(b[at]) << 24 | std::uint8_t(b[at + 1]) << 16 |
                   std::uint8_t(b[at + 2]) << 8 | std::uint8_t(b[at + 3]));
    };
    h.width = be32(16);
    h.height = be32(20);
    h.colour_type = std::uint8_t(b[25]);
    return h;
}

class InstalledTree : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/korvane-install-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root_ = pattern;
    }
    void TearDown() override { fs::remove_all(root_); }
    // Installs the build into prefix, under DESTDIR when it is given.
    bool install(const fs::path& prefix, const std::string& destdir = "") {
        std::vector<std::string> env;
        if (!destdir.empty()) env.push_back("DESTDIR=" + destdir);
        return bool(
            run({CMAKE_COMMAND_PATH, "--install", KORVANE_BUILD_DIR, "--prefix", prefix.string()},
                env, milliseconds(60000)));
    }
    fs::path root_;
};

TEST_F(InstalledTree, HoldsEveryFileInItsPlace) {
    const fs::path prefix = root_ / "my prefix";
    ASSERT_TRUE(install(prefix));
    const fs::path share = prefix / "share";

    EXPECT_TRUE(fs::is_regular_file(prefix / "bin/korvane"));
    EXPECT_NE(fs::status(prefix / "bin/korvane").permissions() & fs::perms::owner_exec,
              fs::perms::none);
    auto version = run({(prefix / "bin/korvane").string(), "--version"}, {"DISPLAY="});
    EXPECT_EQ(version.value_or("(failed)"), "Korvane 1.0\n") << "the installed program runs";

    EXPECT_TRUE(fs::is_regular_file(share / "korvane/KorvaneHelp.htm"));
    for (const char* build_file : {"CMakeFiles", "cmake_install.cmake", "CTestTestfile.cmake"})
        EXPECT_FALSE(fs::exists(share / "korvane" / build_file)) << build_file;

    for (int size : kIconSizes) {
        std::string folder = std::to_string(size) + "x" + std::to_string(size);
        PngHeader h =
            png_header(share / "icons/hicolor" / folder / "apps" / (std::string(kId) + ".png"));
        EXPECT_EQ(h.width, size) << folder;
        EXPECT_EQ(h.height, size) << folder;
        EXPECT_EQ(h.colour_type, 6) << folder << ": RGBA, transparent around the rounded corners";
    }
    std::string svg =
        read_text(share / "icons/hicolor/scalable/apps" / (std::string(kId) + ".svg"));
    EXPECT_TRUE(svg.starts_with("<svg xmlns=\"http://www.w3.org/2000/svg\"")) << svg.substr(0, 80);
    EXPECT_NE(svg.find("viewBox=\"0 0 32 32\""), std::string::npos);
    EXPECT_TRUE(svg.ends_with("</svg>\n"));
}

TEST_F(InstalledTree, DesktopEntryStartsTheProgramBesideItsHelp) {
    const fs::path prefix = root_ / "usr";
    ASSERT_TRUE(install(prefix));
    std::string entry = read_text(prefix / "share/applications" / (std::string(kId) + ".desktop"));
    EXPECT_EQ(entry_value(entry, "Exec"), "korvane %f");
    EXPECT_EQ(entry_value(entry, "Path"), (prefix / "share/korvane").string());
    EXPECT_EQ(entry_value(entry, "MimeType"), "video/x-msvideo;video/avi;video/vnd.avi;");
    EXPECT_EQ(entry_value(entry, "Categories"), "AudioVideo;Video;");
    EXPECT_EQ(entry_value(entry, "Icon"), kId);
    for (const char* key : {"Name", "GenericName", "Comment"})
        EXPECT_NE(entry_value(entry, key), "(missing)") << key;
    EXPECT_TRUE(fs::is_regular_file(fs::path(entry_value(entry, "Path")) / "KorvaneHelp.htm"));

    std::string meta = read_text(prefix / "share/metainfo" / (std::string(kId) + ".metainfo.xml"));
    EXPECT_NE(meta.find("<id>" + std::string(kId) + "</id>"), std::string::npos);
    EXPECT_NE(
        meta.find("<launchable type=\"desktop-id\">" + std::string(kId) + ".desktop</launchable>"),
        std::string::npos);
    EXPECT_NE(meta.find("<screenshot type=\"default\">"), std::string::npos);
    EXPECT_NE(meta.find("<description>"), std::string::npos);
}

TEST_F(InstalledTree, ThePackagersStagingFolderIsNotNamedInTheEntry) {
    const fs::path prefix = "/opt/korvane";
    const fs::path stage = root_ / "stage";
    ASSERT_TRUE(install(prefix, stage.string()));
    std::string entry =
        read_text(stage / "opt/korvane/share/applications" / (std::string(kId) + ".desktop"));
    EXPECT_EQ(entry_value(entry, "Path"), "/opt/korvane/share/korvane");
    EXPECT_TRUE(fs::is_regular_file(stage / "opt/korvane/share/korvane/KorvaneHelp.htm"));
}

TEST_F(InstalledTree, PassesTheDesktopsValidators) {
    const fs::path prefix = root_ / "usr";
    ASSERT_TRUE(install(prefix));
    fs::path entry = prefix / "share/applications" / (std::string(kId) + ".desktop");
    fs::path meta = prefix / "share/metainfo" / (std::string(kId) + ".metainfo.xml");
    auto desktop = run({"desktop-file-validate", entry.string()}, {});
    ASSERT_TRUE(desktop.has_value()) << "desktop-file-validate failed";
    EXPECT_EQ(*desktop, "") << "no hints either";
    auto appstream = run({"appstreamcli", "validate", "--no-net", "--pedantic", meta.string()}, {},
                         milliseconds(60000));
    ASSERT_TRUE(appstream.has_value()) << "appstreamcli validate failed";
    EXPECT_NE(appstream->find("Validation was successful"), std::string::npos) << *appstream;
    EXPECT_EQ(appstream->find("P: "), std::string::npos) << "no pedantic notes: " << *appstream;
}

}  // namespace
