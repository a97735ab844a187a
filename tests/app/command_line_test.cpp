// Every way the arguments can be read: a file to open, the two texts, and
// the usage line for anything else.
#include "app/command_line.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

using korvane::CommandLine;
using Action = CommandLine::Action;

CommandLine parse(std::vector<std::string> args) {
    args.insert(args.begin(), "korvane");
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    return korvane::parse_command_line(int(args.size()), argv.data());
}

std::string cwd() { return std::filesystem::current_path().string(); }

struct Case {
    std::vector<std::string> args;
    Action action;
    std::string file;  // relative names are checked against the current folder
    std::string bad;
};

TEST(CommandLine, ReadsEachKindOfArgument) {
    const Case cases[] = {
        {{}, Action::Run, "", ""},
        {{"/tmp/a.avi"}, Action::Run, "/tmp/a.avi", ""},
        {{"clip.avi"}, Action::Run, "@/clip.avi", ""},
        {{"sub/../with space.avi"}, Action::Run, "@/with space.avi", ""},
        {{"/tmp/Ünïcødé 映像.avi"}, Action::Run, "/tmp/Ünïcødé 映像.avi", ""},
        {{"--", "-dash.avi"}, Action::Run, "@/-dash.avi", ""},
        {{"--help"}, Action::Help, "", ""},
        {{"a.avi", "--version"}, Action::Version, "", ""},
        {{"--", "--help"}, Action::Run, "@/--help", ""},
        {{"--verbose"}, Action::Usage, "", "--verbose"},
        {{"-h"}, Action::Usage, "", "-h"},
        {{"-"}, Action::Usage, "", "-"},
        {{""}, Action::Usage, "", ""},
        {{"a.avi", "b.avi"}, Action::Usage, "", "b.avi"},
    };
    for (const Case& c : cases) {
        std::string shown;
        for (const std::string& a : c.args) shown += "[" + a + "]";
        CommandLine line = parse(c.args);
        std::string want = c.file;
        if (want.starts_with("@")) want = cwd() + want.substr(1);
        EXPECT_EQ(line.action, c.action) << shown;
        EXPECT_EQ(line.file, want) << shown;
        EXPECT_EQ(line.bad, c.bad) << shown;
    }
}

TEST(CommandLine, TextsAreShortAndNameTheOptions) {
    EXPECT_EQ(std::string(korvane::version_text()), "Korvane 1.0\n");
    std::string help = korvane::help_text(), usage = korvane::usage_line();
    for (const char* option : {"--help", "--version", "FILE.avi"}) {
        EXPECT_NE(help.find(option), std::string::npos) << option;
        EXPECT_NE(usage.find(option), std::string::npos) << option;
    }
    EXPECT_EQ(usage.find('\n'), usage.size() - 1) << "one line";
}

}  // namespace
