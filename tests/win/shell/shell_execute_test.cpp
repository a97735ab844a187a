// ShellExecuteA with a stand-in opener on PATH: what it receives, that the
// call does not wait for it, that no zombie stays, and the error results.
#include "win/shell/shell_execute.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "shellapi.h"
#include "winuser.h"

namespace fs = std::filesystem;

namespace {

std::string read_file(const fs::path& p) {
    std::ifstream in(p);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

bool wait_for(const fs::path& p) {
    for (int i = 0; i < 400; ++i) {
        if (fs::exists(p) && !read_file(p).empty()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

int zombie_children() {
    int n = 0;
    std::string me = std::to_string(getpid());
    for (const auto& e : fs::directory_iterator("/proc")) {
        std::string stat = read_file(e.path() / "stat");
        size_t close = stat.rfind(')');
        if (close == std::string::npos) continue;
        std::istringstream rest(stat.substr(close + 2));
        std::string state, ppid;
        rest >> state >> ppid;
        n += (ppid == me && state == "Z");
    }
    return n;
}

INT_PTR shell(const char* file, const char* dir = "", const char* verb = "open") {
    return reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, verb, file, "", dir, SW_SHOW));
}

// A private folder with an "xdg-open" that waits for a go-ahead file and
// then writes its arguments, one per line.
class ShellTest : public ::testing::Test {
  protected:
    void SetUp() override {
        root = fs::temp_directory_path() / ("korvane_shell_" + std::to_string(getpid()));
        fs::remove_all(root);
        fs::create_directories(root / "bin");
        fs::create_directories(root / "docs");
        std::ofstream script(root / "bin" / "xdg-open");
        script << "#!/bin/sh\n"
               << "while [ ! -f '" << (root / "go").string() << "' ]; do sleep 0.01; done\n"
               << "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > '"
               << (root / "out.tmp").string() << "'\n"
               << "mv '" << (root / "out.tmp").string() << "' '" << (root / "out").string()
               << "'\n";
        script.close();
        fs::permissions(root / "bin" / "xdg-open", fs::perms::owner_all);
        old_path = std::getenv("PATH") ? std::getenv("PATH") : "";
        setenv("PATH", ((root / "bin").string() + ":" + old_path).c_str(), 1);
        old_cwd = fs::current_path();
        fs::current_path(root / "docs");
    }
    void TearDown() override {
        fs::current_path(old_cwd);
        setenv("PATH", old_path.c_str(), 1);
        fs::remove_all(root);
    }
    std::string opened() {
        std::ofstream(root / "go") << "go";
        if (!wait_for(root / "out")) return "<nothing>";
        return read_file(root / "out");
    }

    fs::path root;
    fs::path old_cwd;
    std::string old_path;
};

}  // namespace

TEST_F(ShellTest, RelativeNameResolvesAgainstCurrentDirectoryAndCallDoesNotWait) {
    std::ofstream(root / "docs" / "KorvaneHelp.htm") << "<html></html>";
    // The opener blocks until "go" exists, which is only written after the
    // call returned: a call that waited would never come back.
    EXPECT_GT(shell("KorvaneHelp.htm"), 32);
    EXPECT_FALSE(fs::exists(root / "out"));
    EXPECT_EQ(opened(), (root / "docs" / "KorvaneHelp.htm").string() + "\n");
    bool reaped = false;
    for (int i = 0; i < 300 && !reaped; ++i) {
        reaped = zombie_children() == 0;
        if (!reaped) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_TRUE(reaped);
}

TEST_F(ShellTest, NameReachesTheOpenerAsOneArgumentWithoutAShell) {
    const char* odd = "a b;$(touch pwned) `x`.htm";
    std::ofstream(root / "docs" / odd) << "x";
    EXPECT_GT(shell(odd), 32);
    EXPECT_EQ(opened(), (root / "docs" / odd).string() + "\n");
    EXPECT_FALSE(fs::exists(root / "docs" / "pwned"));
}

TEST_F(ShellTest, WebAddressGoesThroughUnchanged) {
    EXPECT_GT(shell("https://korvane.example.org/"), 32);
    EXPECT_EQ(opened(), "https://korvane.example.org/\n");
}

TEST_F(ShellTest, DirectoryArgumentIsTheBaseForRelativeNames) {
    fs::create_directories(root / "other");
    std::ofstream(root / "other" / "page.htm") << "x";
    EXPECT_GT(shell("page.htm", (root / "other").string().c_str()), 32);
    EXPECT_EQ(opened(), (root / "other" / "page.htm").string() + "\n");
}

TEST_F(ShellTest, MissingFileOrFolderAndUnknownVerbFailCleanly) {
    EXPECT_EQ(shell("KorvaneHelp.htm"), SE_ERR_FNF);
    EXPECT_EQ(shell("no_such_folder/x.htm"), SE_ERR_PNF);
    EXPECT_EQ(shell(""), SE_ERR_FNF);
    EXPECT_EQ(reinterpret_cast<INT_PTR>(
                  ShellExecuteA(nullptr, "open", nullptr, nullptr, nullptr, SW_SHOW)),
              SE_ERR_FNF);
    std::ofstream(root / "docs" / "here.htm") << "x";
    EXPECT_EQ(shell("here.htm", "", "print"), SE_ERR_NOASSOC);
    EXPECT_FALSE(fs::exists(root / "out"));
}

TEST_F(ShellTest, MissingOpenerIsNoAssociation) {
    setenv("PATH", (root / "docs").string().c_str(), 1);
    std::ofstream(root / "docs" / "here.htm") << "x";
    EXPECT_EQ(shell("here.htm"), SE_ERR_NOASSOC);
}

TEST(ShellParts, WebAddressesAndPaths) {
    using win::shell::is_web_address;
    EXPECT_TRUE(is_web_address("http://a.b/c"));
    EXPECT_TRUE(is_web_address("mailto:someone@example.org"));
    EXPECT_FALSE(is_web_address("C:/x.htm"));
    EXPECT_FALSE(is_web_address("KorvaneHelp.htm"));
    EXPECT_FALSE(is_web_address("notes: today.txt"));
    EXPECT_EQ(win::shell::resolve_path("/a/../b/./c.htm", ""), "/b/c.htm");
    EXPECT_EQ(win::shell::resolve_path("c.htm", "/x/y"), "/x/y/c.htm");
}
