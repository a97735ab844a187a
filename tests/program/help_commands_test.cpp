// Help Topics and Visit Web Page: what reaches the desktop's opener, seen by
// a stand-in opener first on PATH that writes down its arguments.
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "program_fixture.h"
#include "shellapi.h"

using namespace program_test;

namespace {

struct ShellCall {
    HWND owner;
    std::string verb, file, parameters, directory;
    int show;
    INT_PTR result;
};
std::vector<ShellCall>& shell_calls() {
    static std::vector<ShellCall> calls;
    return calls;
}

}  // namespace

extern "C" {
HINSTANCE __real_ShellExecuteA(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);
HINSTANCE __wrap_ShellExecuteA(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters,
                               LPCSTR directory, INT show) {
    HINSTANCE r = __real_ShellExecuteA(owner, verb, file, parameters, directory, show);
    auto text = [](LPCSTR s) { return s ? std::string(s) : std::string("(null)"); };
    shell_calls().push_back({owner, text(verb), text(file), text(parameters), text(directory), show,
                             reinterpret_cast<INT_PTR>(r)});
    return r;
}
}

namespace {

constexpr UINT kHelpTopics = 32778, kWebPage = 32783;
namespace fs = std::filesystem;

class HelpCommands : public ProgramTest {
  protected:
    void SetUp() override {
        ProgramTest::SetUp();
        shell_calls().clear();
        old_cwd_ = fs::current_path();
        old_path_ = std::getenv("PATH") ? std::getenv("PATH") : "";
        // A folder name that a shell would split and expand.
        folder_ = path("run here; $(touch x) 'q'");
        fs::create_directories(folder_);
        fs::create_directories(path("bin"));
        std::string opener = path("bin/xdg-open");
        std::ofstream(opener)
            << "#!/bin/sh\n"
               "printf '%s\\n' \"$#\" \"$@\" > \"$0.part\" && mv \"$0.part\" \"$0.log\"\n";
        fs::permissions(opener, fs::perms::owner_all);
        setenv("PATH", (path("bin") + ":" + old_path_).c_str(), 1);
        fs::current_path(folder_);
    }
    void TearDown() override {
        fs::current_path(old_cwd_);
        setenv("PATH", old_path_.c_str(), 1);
        ProgramTest::TearDown();
    }
    // The opener's argument count and arguments, once it has run.
    std::vector<std::string> opened() {
        std::string log = path("bin/xdg-open.log");
        for (int i = 0; i < 500 && !fs::exists(log); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::vector<std::string> lines;
        std::ifstream in(log);
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        fs::remove(log);
        return lines;
    }
    void write_help() { std::ofstream(folder_ + "/KorvaneHelp.htm") << "<html></html>\n"; }

    std::string folder_;

  private:
    fs::path old_cwd_;
    std::string old_path_;
};

TEST_F(HelpCommands, EachHandsItsTargetToTheOpenerAsOneArgumentWithOrWithoutAFile) {
    write_help();
    write_avi(path("a.avi"), {.frames = 3});
    const std::string help = fs::path(folder_ + "/KorvaneHelp.htm").lexically_normal().string();
    struct Case {
        bool file_open;
        UINT command;
        std::string target;
    };
    const Case cases[] = {
        {false, kHelpTopics, help},
        {false, kWebPage, KORVANE_HOME_PAGE},
        {true, kHelpTopics, help},
        {true, kWebPage, KORVANE_HOME_PAGE},
    };
    for (const Case& c : cases) {
        shell_calls().clear();
        Session r;
        std::map<int, bool> before, after;
        if (c.file_open) {
            r.file_answers = {path("a.avi")};
            r.steps.push_back([](CKorvaneDlg& d) { click(d.m_hWnd, 1012); });
        }
        r.steps.push_back([&](CKorvaneDlg& d) {
            before = controls(d.m_hWnd);
            command(d.m_hWnd, c.command);
        });
        r.steps.push_back([&](CKorvaneDlg& d) { after = controls(d.m_hWnd); });
        run(r);
        ASSERT_EQ(shell_calls().size(), 1u) << c.target;
        const ShellCall& call = shell_calls()[0];
        EXPECT_EQ(call.owner, probe().main_window);
        EXPECT_EQ(call.verb, "open");
        EXPECT_EQ(call.file, c.command == kHelpTopics ? "KorvaneHelp.htm" : KORVANE_HOME_PAGE);
        EXPECT_EQ(call.parameters, "");
        EXPECT_EQ(call.directory, "");
        EXPECT_EQ(call.show, SW_SHOW);
        EXPECT_GT(call.result, 32);
        EXPECT_EQ(opened(), (std::vector<std::string>{"1", c.target})) << c.file_open;
        EXPECT_TRUE(r.boxes.empty());
        EXPECT_EQ(before, after) << "the main window carries on as it was";
    }
    EXPECT_FALSE(fs::exists(folder_ + "/x")) << "no shell saw the name";
}

TEST_F(HelpCommands, AMissingHelpDocumentStartsNothingAndSaysNothing) {
    Session r;
    std::map<int, bool> before, after;
    r.steps = {
        [&](CKorvaneDlg& d) {
            before = controls(d.m_hWnd);
            command(d.m_hWnd, kHelpTopics);
        },
        [&](CKorvaneDlg& d) { after = controls(d.m_hWnd); },
    };
    run(r);
    ASSERT_EQ(shell_calls().size(), 1u);
    EXPECT_EQ(shell_calls()[0].result, SE_ERR_FNF);
    EXPECT_TRUE(r.boxes.empty());
    EXPECT_EQ(before, after);
    EXPECT_EQ(r.result, IDCANCEL) << "the window ended only through Exit";
}

}  // namespace
