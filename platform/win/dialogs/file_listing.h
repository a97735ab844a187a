// How the file dialogs list things: natural order, file sizes and the
// user's places.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace win::dialogs::files {

// Case-blind, with runs of digits compared as numbers: "clip 2" < "Clip 10".
bool natural_less(std::string_view a, std::string_view b);

// "0 bytes", "1 byte", "999 bytes", "1.5 KB", "12 KB", "3.4 MB", "2.0 GB".
std::string size_text(std::uint64_t bytes);

struct Place {
    std::string label;  // "Home", "Desktop", "Videos", "Downloads", "File system"
    std::string path;
};
// The user's places: home, the desktop, videos and downloads as the XDG
// user-dirs file names them (their usual names when it does not), then "/".
// user_dirs is that file's text. Folders equal to home are left out, as the
// XDG rules mean "not set".
std::vector<Place> user_places(const std::string& home, std::string_view user_dirs);
// The same for this user, from $HOME and $XDG_CONFIG_HOME; only folders that exist.
std::vector<Place> existing_user_places();

}  // namespace win::dialogs::files
