// A file the user asked for, written out of sight beside its path and put
// there only once it is whole and on the disk: a failure, or a process
// killed half-way, leaves the path as it was and no stray file behind.
#pragma once

#include <cstdio>
#include <string>

namespace korvane {

class OutputFile {
  public:
    explicit OutputFile(std::string path);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // The stream to write to; null when no file could be made beside the path.
    FILE* stream() const { return stream_; }
    // Flushes, syncs and closes the stream and moves the file into place;
    // false (and nothing at the path changed) when any of that fails.
    bool commit();

  private:
    void discard();

    std::string path_;
    std::string named_;  // the temporary's name where the folder cannot hold a nameless file
    FILE* stream_ = nullptr;
};

}  // namespace korvane
