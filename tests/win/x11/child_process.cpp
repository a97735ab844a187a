#include "child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <string_view>
#include <thread>

extern char** environ;

namespace x11_test {

namespace {

std::vector<char*> pointers(std::vector<std::string>& strings) {
    std::vector<char*> out;
    for (auto& s : strings) out.push_back(s.data());
    out.push_back(nullptr);
    return out;
}

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv,
                           const std::vector<std::string>& env, bool capture_stdout) {
    std::vector<std::string> args = argv;
    std::vector<std::string> envs;
    // An extra entry replaces the inherited one of the same name: the first
    // of two would win.
    auto overridden = [&](std::string_view entry) {
        for (const std::string& extra : env)
            if (extra.substr(0, extra.find('=') + 1) == entry.substr(0, entry.find('=') + 1))
                return true;
        return false;
    };
    for (char** e = environ; *e; ++e)
        if (!overridden(*e)) envs.emplace_back(*e);
    envs.insert(envs.end(), env.begin(), env.end());
    auto argp = pointers(args);
    auto envp = pointers(envs);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    int pipe_fds[2] = {-1, -1};
    if (capture_stdout && pipe2(pipe_fds, O_CLOEXEC) == 0) {
        posix_spawn_file_actions_adddup2(&actions, pipe_fds[1], STDOUT_FILENO);
        posix_spawn_file_actions_adddup2(&actions, pipe_fds[1], STDERR_FILENO);
        out_fd_ = pipe_fds[0];
    }
    if (posix_spawnp(&pid_, argp[0], &actions, nullptr, argp.data(), envp.data()) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    if (pipe_fds[1] >= 0) close(pipe_fds[1]);
}

ChildProcess::~ChildProcess() {
    stop();
    if (out_fd_ >= 0) close(out_fd_);
}

bool ChildProcess::read_some(milliseconds limit) {
    if (out_fd_ < 0) return false;
    pollfd p{out_fd_, POLLIN, 0};
    int r = poll(&p, 1, int(limit.count()));
    if (r <= 0) return false;
    char buf[4096];
    ssize_t n = read(out_fd_, buf, sizeof buf);
    if (n <= 0) return false;
    output_.append(buf, std::size_t(n));
    return true;
}

bool ChildProcess::wait_for_line(const std::string& line, milliseconds limit) {
    auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        std::size_t end;
        while ((end = output_.find('\n', scanned_)) != std::string::npos) {
            bool match = output_.compare(scanned_, end - scanned_, line) == 0;
            scanned_ = end + 1;
            if (match) return true;
        }
        auto left =
            std::chrono::duration_cast<milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        if (!read_some(left) && !running()) return false;
    }
}

bool ChildProcess::running() {
    if (pid_ <= 0 || exit_code_) return false;
    int status = 0;
    pid_t r = waitpid(pid_, &status, WNOHANG);
    if (r == 0) return true;
    exit_code_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return false;
}

std::optional<int> ChildProcess::wait_exit(milliseconds limit) {
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (running()) {
        // Keep the pipe drained so the child never blocks on a full pipe.
        if (!read_some(milliseconds(20))) std::this_thread::sleep_for(milliseconds(10));
        if (std::chrono::steady_clock::now() > deadline) return std::nullopt;
    }
    while (read_some(milliseconds(0))) {
    }
    return exit_code_;
}

void ChildProcess::stop() {
    if (!running()) return;
    kill(pid_, SIGTERM);
    if (wait_exit(milliseconds(2000))) return;
    kill(pid_, SIGKILL);
    int status = 0;
    waitpid(pid_, &status, 0);
    exit_code_ = 128 + SIGKILL;
}

std::optional<std::string> run(const std::vector<std::string>& argv,
                               const std::vector<std::string>& env, milliseconds limit) {
    ChildProcess p(argv, env, true);
    if (!p.started()) return std::nullopt;
    std::optional<int> code = p.wait_exit(limit);
    if (!code || *code != 0) return std::nullopt;
    return p.output();
}

}  // namespace x11_test
