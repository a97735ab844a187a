#include "export/output_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <random>
#include <utility>

namespace korvane {

namespace {

std::string folder_of(const std::string& path) {
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string temporary_beside(const std::string& path) {
    return path + ".tmp-" + std::to_string(std::random_device{}());
}

bool nameless_unsupported(int error) {
    return error == EOPNOTSUPP || error == EISDIR || error == EINVAL;
}

}  // namespace

OutputFile::OutputFile(std::string path) : path_(std::move(path)) {
    // Mode 0666 so that the umask decides, as it does for fopen.
    int fd = ::open(folder_of(path_).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    for (int tries = 0; fd < 0 && tries < 50 && (nameless_unsupported(errno) || errno == EEXIST);
         ++tries) {
        named_ = temporary_beside(path_);
        fd = ::open(named_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    }
    if (fd < 0) {
        named_.clear();
        return;
    }
    stream_ = ::fdopen(fd, "wb");
    if (!stream_) {
        ::close(fd);
        discard();
    }
}

OutputFile::~OutputFile() { discard(); }

void OutputFile::discard() {
    if (stream_) std::fclose(stream_);
    stream_ = nullptr;
    if (!named_.empty()) ::unlink(named_.c_str());
    named_.clear();
}

bool OutputFile::commit() {
    if (!stream_) return false;
    if (std::fflush(stream_) != 0 || std::ferror(stream_) || ::fsync(::fileno(stream_)) != 0) {
        discard();
        return false;
    }
    if (named_.empty()) {
        // A nameless file can only be linked to a free name; it takes one
        // beside the path and is renamed over the path from there.
        std::string self = "/proc/self/fd/" + std::to_string(::fileno(stream_));
        int linked = -1;
        for (int tries = 0; linked != 0 && tries < 50; ++tries) {
            named_ = temporary_beside(path_);
            linked = ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, named_.c_str(), AT_SYMLINK_FOLLOW);
            if (linked != 0 && errno != EEXIST) break;
        }
        if (linked != 0) named_.clear();
    }
    bool closed = std::fclose(stream_) == 0;
    stream_ = nullptr;
    if (!closed || named_.empty() || std::rename(named_.c_str(), path_.c_str()) != 0) {
        discard();
        return false;
    }
    named_.clear();
    int dir = ::open(folder_of(path_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

}  // namespace korvane
