// korvane_rc SCRIPT -o OUT.cpp --function NAME [--module NAME] [-I DIR]...
// Compiles a resource script into C++ tables. Bitmap and icon files are
// looked for beside the script, then in each -I folder, and checked with the
// same decoders that read them at run time, so a broken picture fails the build.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "emitter.h"
#include "parser.h"
#include "win/resources/dib_decoder.h"
#include "win/resources/icon_decoder.h"

namespace fs = std::filesystem;

namespace {

bool read_file(const fs::path& path, std::vector<std::uint8_t>& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

bool load_files(const std::vector<rc::FileItem>& items, const std::vector<fs::path>& dirs,
                bool icons, const std::string& script,
                std::vector<std::vector<std::uint8_t>>& out) {
    for (const rc::FileItem& f : items) {
        std::vector<std::uint8_t> bytes;
        bool found = false;
        for (const fs::path& dir : dirs) {
            fs::path p = dir / f.path;
            if (fs::is_regular_file(p)) {
                found = read_file(p, bytes);
                break;
            }
        }
        if (!found) {
            std::cerr << script << ":" << f.line << ": cannot read " << f.path << "\n";
            return false;
        }
        win::res::DibError e =
            icons ? win::res::decode_icon(bytes, 32).error : win::res::decode_bmp(bytes).error;
        if (e != win::res::DibError::none) {
            std::cerr << script << ":" << f.line << ": " << f.path << ": " << win::res::to_string(e)
                      << "\n";
            return false;
        }
        out.push_back(std::move(bytes));
    }
    return true;
}

int usage() {
    std::cerr
        << "usage: korvane_rc SCRIPT -o OUT.cpp --function NAME [--module NAME] [-I DIR]...\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string script, output;
    rc::EmitOptions options;
    std::vector<fs::path> dirs;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        bool has_value = i + 1 < argc;
        if (a == "-o" && has_value)
            output = argv[++i];
        else if (a == "--function" && has_value)
            options.function = argv[++i];
        else if (a == "--module" && has_value)
            options.module_name = argv[++i];
        else if (a == "-I" && has_value)
            dirs.emplace_back(argv[++i]);
        else if (!a.empty() && a[0] != '-' && script.empty())
            script = a;
        else
            return usage();
    }
    if (script.empty() || output.empty() || options.function.empty()) return usage();
    if (options.module_name.empty()) options.module_name = fs::path(script).stem().string();
    options.source_name = fs::path(script).filename().string();
    dirs.insert(dirs.begin(), fs::path(script).parent_path());

    std::vector<std::uint8_t> text;
    if (!read_file(script, text)) {
        std::cerr << script << ": cannot read\n";
        return 1;
    }
    std::vector<rc::Diagnostic> errors;
    auto parsed = rc::parse_script(std::string(text.begin(), text.end()), errors);
    if (!parsed) {
        for (const rc::Diagnostic& d : errors)
            std::cerr << script << ":" << d.line << ": " << d.message << "\n";
        return 1;
    }
    std::vector<std::vector<std::uint8_t>> bitmaps, icons;
    if (!load_files(parsed->bitmaps, dirs, false, script, bitmaps) ||
        !load_files(parsed->icons, dirs, true, script, icons))
        return 1;

    // Written beside the target and renamed, so a failed run leaves no half file.
    std::string code = rc::emit_cpp(*parsed, bitmaps, icons, options);
    fs::path tmp = fs::path(output).concat(".tmp");
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        out << code;
        out.flush();
        if (!out) {
            std::cerr << tmp.string() << ": cannot write\n";
            std::error_code ec;
            fs::remove(tmp, ec);
            return 1;
        }
    }
    std::error_code ec;
    fs::rename(tmp, output, ec);
    if (ec) {
        std::cerr << output << ": " << ec.message() << "\n";
        fs::remove(tmp, ec);
        return 1;
    }
    return 0;
}
