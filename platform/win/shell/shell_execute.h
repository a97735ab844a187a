// What ShellExecuteA does, in parts that can be checked one by one.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace win::shell {

// "https://...", "mailto:..." and the like: handed over as given.
bool is_web_address(std::string_view target);

// An absolute, lexically normal path: absolute names stay, relative ones are
// taken from directory (itself relative to the current directory) or from
// the current directory when directory is empty.
std::string resolve_path(std::string_view file, std::string_view directory);

// Starts argv[0] found on PATH with these arguments, without a shell and
// without waiting; the child is reaped when it ends. Returns 0 or errno.
int launch_detached(const std::vector<std::string>& argv);

}  // namespace win::shell
