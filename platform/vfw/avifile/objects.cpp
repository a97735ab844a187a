// The layer's tables and the reference counting of files and streams.
#include "vfw/avifile/objects.h"

#include <algorithm>

namespace vfw {

Registry& registry() {
    static Registry tables;
    return tables;
}

FileObject* lookup(PAVIFILE file) { return registry().files.get(file); }

StreamObject* lookup(PAVISTREAM stream) { return registry().streams.get(stream); }

FileObject* file_of(const StreamObject& stream) { return registry().files.get(stream.file); }

StreamRef resolve(PAVISTREAM stream) {
    StreamRef ref;
    ref.stream = lookup(stream);
    if (ref.stream) ref.file = file_of(*ref.stream);
    if (ref.file && ref.stream->index >= ref.file->stream_count()) ref.file = nullptr;
    return ref;
}

void refresh_write_info(const FileObject& file, WriteStream& w) {
    const riff::WriterStreamStats& stats = file.writer->stats(w.writer_index);
    std::uint64_t length = w.info.dwSampleSize ? stats.bytes / w.info.dwSampleSize : stats.chunks;
    w.info.dwLength = DWORD(std::min<std::uint64_t>(length, 0x7FFFFFFF));
    w.info.dwSuggestedBufferSize = stats.largest_chunk;
}

const AVISTREAMINFOA& current_info(const StreamRef& ref) {
    if (ReadStream* r = ref.read()) return r->info;
    WriteStream* w = ref.write();
    refresh_write_info(*ref.file, *w);
    return w->info;
}

ULONG release_file(PAVIFILE file) {
    FileObject* object = lookup(file);
    if (!object) return ULONG(-1);
    if (--object->refs > 0) return object->refs;
    std::unique_ptr<FileObject> owned = registry().files.remove(file);
    // The last release completes a new file on disk; a failed completion
    // leaves no file behind (the writer removes its temporary file).
    if (owned->writer) (void)owned->writer->finish();
    return 0;
}

ULONG release_stream(PAVISTREAM stream) {
    StreamObject* object = lookup(stream);
    if (!object) return ULONG(-1);
    if (--object->refs > 0) return object->refs;
    std::unique_ptr<StreamObject> owned = registry().streams.remove(stream);
    if (FileObject* file = file_of(*owned)) {
        if (owned->index < file->stream_handles.size()) file->stream_handles[owned->index] = 0;
        release_file(reinterpret_cast<PAVIFILE>(owned->file));
    }
    return 0;
}

HRESULT to_avierr(riff::Error e) {
    switch (e) {
        case riff::Error::None:
            return AVIERR_OK;
        case riff::Error::BadFormat:
            return AVIERR_BADFORMAT;
        case riff::Error::FileOpen:
            return AVIERR_FILEOPEN;
        case riff::Error::FileRead:
            return AVIERR_FILEREAD;
        case riff::Error::FileWrite:
            return AVIERR_FILEWRITE;
        case riff::Error::Unsupported:
            return AVIERR_UNSUPPORTED;
        case riff::Error::BadParam:
            return AVIERR_BADPARAM;
    }
    return AVIERR_ERROR;
}

}  // namespace vfw
