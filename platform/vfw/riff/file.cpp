#include "vfw/riff/file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <utility>

namespace vfw::riff {

File::~File() { close(); }

File::File(File&& other) noexcept : fd_(std::exchange(other.fd_, -1)), size_(other.size_) {}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        close();
        fd_ = std::exchange(other.fd_, -1);
        size_ = other.size_;
    }
    return *this;
}

void File::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

Error File::open_read(const std::string& path, File& out) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return Error::FileOpen;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return Error::FileOpen;
    }
    out.close();
    out.fd_ = fd;
    out.size_ = std::uint64_t(st.st_size);
    return Error::None;
}

Error File::create(const std::string& path, File& out) {
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return Error::FileOpen;
    out.close();
    out.fd_ = fd;
    out.size_ = 0;
    return Error::None;
}

namespace {

std::string folder_of(const std::string& path) {
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// A name beside target that nothing else is likely to use.
std::string sibling_name(const std::string& target) {
    char tail[16];
    std::snprintf(tail, sizeof tail, ".part-%08x", unsigned(std::random_device{}()));
    return target + tail;
}

}  // namespace

Error File::create_beside(const std::string& target, File& out, std::string& name) {
    name.clear();
    int fd = ::open(folder_of(target).c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
    // Older kernels and some file systems refuse O_TMPFILE in these ways.
    for (int tries = 0;
         fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL || errno == EEXIST) &&
         tries < 100;
         ++tries) {
        name = sibling_name(target);
        fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    }
    if (fd < 0) {
        name.clear();
        return Error::FileOpen;
    }
    out.close();
    out.fd_ = fd;
    out.size_ = 0;
    return Error::None;
}

Error File::publish(const std::string& target, const std::string& name) {
    if (fd_ < 0 || ::fsync(fd_) != 0) return Error::FileWrite;
    std::string linked = name;
    if (linked.empty()) {
        // linkat cannot replace, so the nameless file gets a sibling name
        // first and is renamed over the target from there.
        std::string self = "/proc/self/fd/" + std::to_string(fd_);
        int rc = -1;
        for (int tries = 0; rc != 0 && tries < 100; ++tries) {
            linked = sibling_name(target);
            rc = ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, linked.c_str(), AT_SYMLINK_FOLLOW);
            if (rc != 0 && errno != EEXIST) break;
        }
        if (rc != 0) return Error::FileWrite;
    }
    if (std::rename(linked.c_str(), target.c_str()) != 0) {
        if (name.empty()) ::unlink(linked.c_str());
        return Error::FileWrite;
    }
    close();
    int dir = ::open(folder_of(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);  // the new name reaches the disk with the data
        ::close(dir);
    }
    return Error::None;
}

Error File::read_at(std::uint64_t offset, void* data, std::size_t n) const {
    return read_pieces_at(offset, &data, &n, 1);
}

Error File::read_pieces_at(std::uint64_t offset, void* const* data, const std::size_t* sizes,
                           int count) const {
    if (fd_ < 0 || count < 0 || count > kMaxPieces) return Error::FileRead;
    struct iovec io[kMaxPieces];
    std::uint64_t total = 0;
    for (int i = 0; i < count; ++i) {
        io[i].iov_base = data[i];
        io[i].iov_len = sizes[i];
        total += sizes[i];
    }
    if (offset > size_ || total > size_ - offset) return Error::FileRead;
    if (total == 0) return Error::None;
    struct iovec* next = io;
    int left = count;
    while (left > 0) {
        ssize_t got = ::preadv(fd_, next, left, off_t(offset));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return Error::FileRead;
        offset += std::uint64_t(got);
        // A short read: step past the pieces it filled and into the one it stopped in.
        auto rest = std::size_t(got);
        while (left > 0 && rest >= next->iov_len) {
            rest -= next->iov_len;
            ++next;
            --left;
        }
        if (left > 0) {
            next->iov_base = static_cast<char*>(next->iov_base) + rest;
            next->iov_len -= rest;
        }
    }
    return Error::None;
}

Error File::write_at(std::uint64_t offset, const void* data, std::size_t n) {
    if (fd_ < 0) return Error::FileWrite;
    auto* p = static_cast<const char*>(data);
    while (n > 0) {
        ssize_t put = ::pwrite(fd_, p, n, off_t(offset));
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return Error::FileWrite;
        p += put;
        n -= std::size_t(put);
        offset += std::uint64_t(put);
        if (offset > size_) size_ = offset;
    }
    return Error::None;
}

Error File::write_pieces_at(std::uint64_t offset, const void* const* data, const std::size_t* sizes,
                            int count) {
    if (fd_ < 0 || count > 8) return Error::FileWrite;
    struct iovec io[8];
    std::size_t total = 0;
    for (int i = 0; i < count; ++i) {
        io[i].iov_base = const_cast<void*>(data[i]);
        io[i].iov_len = sizes[i];
        total += sizes[i];
    }
    ssize_t put;
    do {
        put = ::pwritev(fd_, io, count, off_t(offset));
    } while (put < 0 && errno == EINTR);
    if (put < 0) return Error::FileWrite;
    if (std::size_t(put) == total) {
        if (offset + total > size_) size_ = offset + total;
        return Error::None;
    }
    // A short write: finish piece by piece.
    std::size_t skip = std::size_t(put);
    std::uint64_t at = offset;
    for (int i = 0; i < count; ++i) {
        if (skip >= sizes[i]) {
            skip -= sizes[i];
            at += sizes[i];
            continue;
        }
        const char* p = static_cast<const char*>(data[i]) + skip;
        RIFF_TRY(write_at(at + skip, p, sizes[i] - skip));
        at += sizes[i];
        skip = 0;
    }
    return Error::None;
}

Error File::sync_size() {
    struct stat st {};
    if (fd_ < 0 || ::fstat(fd_, &st) != 0) return Error::FileRead;
    size_ = std::uint64_t(st.st_size);
    return Error::None;
}

}  // namespace vfw::riff
