// What the program was asked to do by its arguments.
#pragma once

#include <string>

namespace korvane {

struct CommandLine {
    enum class Action { Run, Help, Version, Usage };
    Action action = Action::Run;
    std::string file;  // absolute when given; empty when none
    std::string bad;   // the argument that made the usage line necessary
};

// Reads the arguments after the program's name; "--" ends the options.
CommandLine parse_command_line(int argc, char** argv);

// The texts printed for --help, --version and a wrong command line.
const char* help_text();
const char* version_text();
const char* usage_line();

}  // namespace korvane
