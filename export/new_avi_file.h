// The one-stream AVI file a stream export writes: created at the path with
// the stream's header and format, and either completed or dropped.
#pragma once

#include <vector>

#include "vfw.h"

namespace korvane {

class NewAviFile {
  public:
    NewAviFile() = default;
    ~NewAviFile();
    NewAviFile(const NewAviFile&) = delete;
    NewAviFile& operator=(const NewAviFile&) = delete;

    // Opens the file and adds the stream; shows the failing step's message
    // and returns false when one fails.
    bool create(HWND owner, const char* path, AVISTREAMINFOA& header, std::vector<BYTE>& format);
    PAVISTREAM stream() const { return stream_; }
    // Completes the file on disk; false when it could not be, nothing then
    // being left at the path.
    bool complete();

  private:
    PAVIFILE file_ = nullptr;
    PAVISTREAM stream_ = nullptr;
    bool ended_ = false;
};

// A stream's whole format as it stores it.
std::vector<BYTE> read_whole_format(PAVISTREAM stream);

}  // namespace korvane
