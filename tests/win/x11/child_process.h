// Programs the end-to-end tests start (an X server, the demo, xdotool):
// always stopped when the test ends, never waited for without a limit.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace x11_test {

using std::chrono::milliseconds;

class ChildProcess {
  public:
    // Starts argv[0] (looked up in PATH) with extra "NAME=value" entries in
    // its environment. With capture_stdout its output (standard output and
    // error together) can be read by line.
    ChildProcess(const std::vector<std::string>& argv, const std::vector<std::string>& env,
                 bool capture_stdout);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return pid_ > 0; }
    // Reads lines until one equals `line`; everything read is kept in output().
    bool wait_for_line(const std::string& line, milliseconds limit);
    const std::string& output() const { return output_; }
    // The exit code once it has ended within the limit.
    std::optional<int> wait_exit(milliseconds limit);
    bool running();
    void stop();

  private:
    bool read_some(milliseconds limit);

    pid_t pid_ = -1;
    int out_fd_ = -1;
    std::string output_;
    std::size_t scanned_ = 0;
    std::optional<int> exit_code_;
};

// Runs a short command to its end (killed after the limit) and returns its
// standard output; nullopt when it fails or does not finish.
std::optional<std::string> run(const std::vector<std::string>& argv,
                               const std::vector<std::string>& env,
                               milliseconds limit = milliseconds(10000));

}  // namespace x11_test
