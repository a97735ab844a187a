#include "export/new_avi_file.h"

#include "export/export_messages.h"

namespace korvane {

NewAviFile::~NewAviFile() {
    if (stream_) AVIStreamRelease(stream_);
    // Whatever did not reach complete() is not left at the user's path.
    if (file_ && !ended_) AVIFileEndWrite(file_, FALSE);
    if (file_) AVIFileRelease(file_);
}

bool NewAviFile::create(HWND owner, const char* path, AVISTREAMINFOA& header,
                        std::vector<BYTE>& format) {
    if (AVIFileOpenA(&file_, path, OF_WRITE | OF_CREATE, nullptr) != 0) {
        file_ = nullptr;
        export_error(owner, "Error Creating AVI File.");
        return false;
    }
    if (AVIFileCreateStreamA(file_, &stream_, &header) != 0) {
        stream_ = nullptr;
        export_error(owner, "Error File Create Stream.");
        return false;
    }
    if (AVIStreamSetFormat(stream_, 0, format.data(), LONG(format.size())) != 0) {
        export_error(owner, "Error Stream Set Format.");
        return false;
    }
    return true;
}

bool NewAviFile::complete() {
    if (stream_) AVIStreamRelease(stream_);
    stream_ = nullptr;
    ended_ = true;
    return AVIFileEndWrite(file_, TRUE) == AVIERR_OK;
}

std::vector<BYTE> read_whole_format(PAVISTREAM stream) {
    LONG size = 0;
    AVIStreamReadFormat(stream, 0, nullptr, &size);
    std::vector<BYTE> format(size_t(size > 0 ? size : 0));
    if (!format.empty() && AVIStreamReadFormat(stream, 0, format.data(), &size) != 0)
        format.clear();
    format.resize(size_t(size > 0 ? size : 0));
    return format;
}

}  // namespace korvane
