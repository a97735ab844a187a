// Files dropped onto a window: the record behind an HDROP, made by the
// display backend and read by the program with DragQueryFileA.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "shellapi.h"

namespace win::shell {

// A new drop of the given absolute paths at a client point; freed by DragFinish.
HDROP make_drop(std::vector<std::string> paths, POINT point);
// How many drops are held (not yet finished).
std::size_t drops_held();

// The local path of a "file://" address (host empty or "localhost", %XX
// decoded); empty when the text is no such address.
std::string path_from_file_uri(std::string_view text);
// The local files of a text/uri-list (RFC 2483: CRLF lines, # comments).
std::vector<std::string> paths_from_uri_list(std::string_view list);

}  // namespace win::shell
