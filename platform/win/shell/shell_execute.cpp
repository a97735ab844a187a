// ShellExecuteA over xdg-open: no shell in between (the name reaches the
// opener as one argument whatever it holds), and no waiting; a small thread
// reaps the opener so that no zombie stays behind.
#include "win/shell/shell_execute.h"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <filesystem>
#include <thread>

#include "shellapi.h"

extern char** environ;

namespace win::shell {

bool is_web_address(std::string_view t) {
    size_t colon = t.find(':');
    // One letter before the colon would be a drive, not a scheme.
    if (colon == std::string_view::npos || colon < 2) return false;
    if (!std::isalpha(static_cast<unsigned char>(t[0]))) return false;
    for (size_t i = 1; i < colon; ++i) {
        char c = t[i];
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.')
            return false;
    }
    std::string_view rest = t.substr(colon + 1);
    std::string_view scheme = t.substr(0, colon);
    return rest.substr(0, 2) == "//" || scheme == "mailto";
}

std::string resolve_path(std::string_view file, std::string_view directory) {
    namespace fs = std::filesystem;
    fs::path p(file);
    if (p.is_relative()) {
        std::error_code ec;
        fs::path base = directory.empty() ? fs::current_path(ec) : fs::path(directory);
        if (base.is_relative()) base = fs::current_path(ec) / base;
        p = base / p;
    }
    return p.lexically_normal().string();
}

int launch_detached(const std::vector<std::string>& argv) {
    if (argv.empty()) return EINVAL;
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_t pid = 0;
    int err = posix_spawnp(&pid, args[0], nullptr, nullptr, args.data(), environ);
    if (err) return err;
    std::thread([pid] {
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
    return 0;
}

}  // namespace win::shell

namespace {

HINSTANCE result(INT_PTR code) { return reinterpret_cast<HINSTANCE>(code); }

}  // namespace

extern "C" HINSTANCE ShellExecuteA(HWND, LPCSTR verb, LPCSTR file, LPCSTR, LPCSTR directory, INT) {
    using namespace win::shell;
    if (!file || !*file) return result(SE_ERR_FNF);
    std::string_view v = verb ? verb : "";
    if (!v.empty() && v != "open") return result(SE_ERR_NOASSOC);
    std::string target = file;
    if (!is_web_address(target)) {
        target = resolve_path(file, directory ? directory : "");
        struct stat st {};
        if (stat(target.c_str(), &st) != 0) {
            std::string parent = std::filesystem::path(target).parent_path().string();
            struct stat pst {};
            bool folder_there = stat(parent.c_str(), &pst) == 0 && S_ISDIR(pst.st_mode);
            return result(folder_there ? SE_ERR_FNF : SE_ERR_PNF);
        }
        if (access(target.c_str(), R_OK) != 0) return result(SE_ERR_ACCESSDENIED);
    }
    int err = launch_detached({"xdg-open", target});
    if (err == ENOENT) return result(SE_ERR_NOASSOC);
    if (err == ENOMEM) return result(SE_ERR_OOM);
    if (err) return result(SE_ERR_ACCESSDENIED);
    return result(33);
}
