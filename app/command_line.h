// What the program was asked to do by its arguments.
#pragma once

#include <string>

struct CommandLine {
    enum class Action { Run, Help, Version, Usage };
    Action action = Action::Run;
    std::string file;  // absolute when given; empty when none
    std::string bad;   // the argument that made the usage line necessary
};

// Reads the arguments after the program's name; "--" ends the options.
CommandLine ParseCommandLine(int argc, char** argv);

// The texts printed for --help, --version and a wrong command line.
const char* HelpText();
const char* VersionText();
const char* UsageLine();
