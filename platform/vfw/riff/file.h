// A file descriptor with positioned reads and writes and 64-bit offsets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "vfw/riff/error.h"

namespace vfw::riff {

class File {
  public:
    File() = default;
    ~File();
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    static Error open_read(const std::string& path, File& out);
    // Creates (or empties) the file for writing.
    static Error create(const std::string& path, File& out);
    // Creates a nameless file in the target's folder (O_TMPFILE), or where
    // the file system cannot, one under a unique name beside the target,
    // stored in name. Either way the user's umask applies.
    static Error create_beside(const std::string& target, File& out, std::string& name);
    // Makes the data durable, then puts the file at target in one step,
    // replacing what was there; name is the one create_beside gave.
    Error publish(const std::string& target, const std::string& name);

    bool is_open() const { return fd_ >= 0; }
    std::uint64_t size() const { return size_; }

    // Reads exactly n bytes at offset; anything short is FileRead.
    Error read_at(std::uint64_t offset, void* data, std::size_t n) const;
    // Reads the pieces back to back from offset in one call where it can;
    // anything short is FileRead.
    static constexpr int kMaxPieces = 64;
    Error read_pieces_at(std::uint64_t offset, void* const* data, const std::size_t* sizes,
                         int count) const;
    Error write_at(std::uint64_t offset, const void* data, std::size_t n);
    // Writes the pieces back to back with as few system calls as possible.
    Error write_pieces_at(std::uint64_t offset, const void* const* data, const std::size_t* sizes,
                          int count);
    Error sync_size();  // re-reads the size after writes
    void close();

  private:
    int fd_ = -1;
    std::uint64_t size_ = 0;
};

}  // namespace vfw::riff
