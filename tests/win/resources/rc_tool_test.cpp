// Runs the resource compiler as the build does, on scripts and pictures that
// are broken on purpose: each run must fail with a message and leave no output.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "bmp_builder.h"

namespace fs = std::filesystem;

namespace {

class RcTool : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("korvane_rc_test_" +
               std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    void write(const std::string& name, const std::string& text) {
        std::ofstream(dir / name, std::ios::binary) << text;
    }
    void write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        std::ofstream(dir / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    // Exit status of korvane_rc on dir/script.rc; its messages go to `errors`.
    int run(const std::string& extra = "") {
        std::string cmd = std::string(KORVANE_RC_PATH) + " " + (dir / "script.rc").string() +
                          " -o " + (dir / "out.cpp").string() + " --function f " + extra + " 2> " +
                          (dir / "errors.txt").string();
        int status = std::system(cmd.c_str());
        std::ifstream in(dir / "errors.txt");
        errors.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    bool output_exists() const {
        return fs::exists(dir / "out.cpp") || fs::exists(dir / "out.cpp.tmp");
    }

    fs::path dir;
    std::string errors;
};

TEST_F(RcTool, GoodScriptWritesTheTables) {
    BmpLayout s;
    s.rows = {{1, 2, 3, 4, 5, 6}, {7, 8, 9, 10, 11, 12}};
    fs::create_directories(dir / "art");
    write("art/p.bmp", build_bmp(s));
    write("script.rc", "BITMAP P \"p.bmp\"\nSTRINGTABLE BEGIN 1 \"x\" END\n");
    EXPECT_EQ(run("-I " + (dir / "art").string()), 0) << errors;
    ASSERT_TRUE(fs::exists(dir / "out.cpp"));
    EXPECT_FALSE(fs::exists(dir / "out.cpp.tmp"));
    std::ifstream in(dir / "out.cpp");
    std::string code((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(code.find("const win::res::Module& f()"), std::string::npos);
    EXPECT_NE(code.find("{0, \"P\"}"), std::string::npos);
}

TEST_F(RcTool, SyntaxErrorNamesFileAndLine) {
    write("script.rc", "BITMAP 1 \"a.bmp\"\nDIALOG 2 0 0 1 1\nSTYLE WS_NOPE\nBEGIN END\n");
    EXPECT_EQ(run(), 1);
    EXPECT_NE(errors.find("script.rc:3: unknown style name WS_NOPE"), std::string::npos) << errors;
    EXPECT_FALSE(output_exists());
}

TEST_F(RcTool, MissingPictureFails) {
    write("script.rc", "BITMAP 1 \"absent.bmp\"\n");
    EXPECT_EQ(run(), 1);
    EXPECT_NE(errors.find("script.rc:1: cannot read absent.bmp"), std::string::npos) << errors;
    EXPECT_FALSE(output_exists());
}

TEST_F(RcTool, MalformedPicturesFail) {
    BmpLayout s;
    s.rows = {{1, 2, 3, 4, 5, 6}, {7, 8, 9, 10, 11, 12}};
    auto cut = build_bmp(s);
    cut.resize(cut.size() - 3);
    write("cut.bmp", cut);
    write("script.rc", "\nBITMAP 1 \"cut.bmp\"\n");
    EXPECT_EQ(run(), 1);
    EXPECT_NE(errors.find("script.rc:2: cut.bmp: the bitmap data is truncated"), std::string::npos)
        << errors;
    EXPECT_FALSE(output_exists());

    write("not.ico", build_bmp(s));  // a bitmap where an icon belongs
    write("script.rc", "ICON 1 \"not.ico\"\n");
    EXPECT_EQ(run(), 1);
    EXPECT_NE(errors.find("not.ico: malformed bitmap header"), std::string::npos) << errors;
    EXPECT_FALSE(output_exists());
}

TEST_F(RcTool, UnwritableOutputFails) {
    write("script.rc", "STRINGTABLE BEGIN 1 \"x\" END\n");
    std::string cmd = std::string(KORVANE_RC_PATH) + " " + (dir / "script.rc").string() + " -o " +
                      (dir / "no" / "such" / "out.cpp").string() + " --function f 2>/dev/null";
    EXPECT_NE(std::system(cmd.c_str()), 0);
    EXPECT_FALSE(fs::exists(dir / "no"));
}

TEST_F(RcTool, BadArgumentsShowUsage) {
    write("script.rc", "");
    std::string cmd = std::string(KORVANE_RC_PATH) + " " + (dir / "script.rc").string() + " 2> " +
                      (dir / "errors.txt").string();
    int status = std::system(cmd.c_str());
    EXPECT_EQ(WEXITSTATUS(status), 2);
}

}  // namespace
