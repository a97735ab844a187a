#include "app/command_line.h"

#include <filesystem>
#include <string_view>
#include <system_error>

namespace korvane {

namespace {

CommandLine usage(std::string bad) { return {CommandLine::Action::Usage, {}, std::move(bad)}; }

// The open sequence is handed a full path, as the file dialog gives one.
std::string full_path(const std::string& name) {
    std::error_code error;
    std::filesystem::path full = std::filesystem::absolute(name, error);
    return error ? name : full.lexically_normal().string();
}

}  // namespace

CommandLine parse_command_line(int argc, char** argv) {
    CommandLine out;
    bool options = true;
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i] ? argv[i] : "";
        if (options && arg == "--") {
            options = false;
        } else if (options && arg == "--help") {
            return {CommandLine::Action::Help, {}, {}};
        } else if (options && arg == "--version") {
            return {CommandLine::Action::Version, {}, {}};
        } else if ((options && arg.starts_with('-')) || arg.empty()) {
            return usage(std::string(arg));
        } else if (!out.file.empty()) {
            return usage(std::string(arg));  // one file at a time
        } else {
            out.file = full_path(std::string(arg));
        }
    }
    return out;
}

const char* help_text() {
    return "Usage: korvane [FILE.avi]\n"
           "Shows the frames of an AVI file, plays them and exports the frame, the\n"
           "video or the audio stream. FILE.avi is opened once the about box is closed.\n"
           "\n"
           "  --help     show this text and exit\n"
           "  --version  show the version and exit\n";
}

const char* version_text() { return "Korvane 1.0\n"; }

const char* usage_line() { return "Usage: korvane [--help] [--version] [FILE.avi]\n"; }

}  // namespace korvane
