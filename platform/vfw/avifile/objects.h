// The objects behind PAVIFILE, PAVISTREAM and PGETFRAME, and the tables
// that own them. One thread uses the layer at a time.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "vfw.h"
#include "vfw/avifile/frame_decompressor.h"
#include "vfw/avifile/sample_map.h"
#include "vfw/avifile/stream_handler.h"
#include "vfw/riff/avi_reader.h"
#include "vfw/riff/avi_writer.h"
#include "win/base/handle_table.h"

namespace vfw {

// A stream of a file opened for reading: its derived record and sample map.
struct ReadStream {
    const riff::StreamData* data = nullptr;
    AVISTREAMINFOA info{};
    SampleMap samples;
};

// A stream of a file being written.
struct WriteStream {
    AVISTREAMINFOA info{};
    std::vector<std::uint8_t> format;
    int writer_index = 0;
};

struct FileObject {
    ULONG refs = 1;
    std::unique_ptr<riff::AviReader> reader;
    std::unique_ptr<riff::AviWriter> writer;
    std::vector<ReadStream> read_streams;
    std::vector<WriteStream> write_streams;
    std::vector<std::uintptr_t> stream_handles;  // handle per stream while one is out, else 0
    AVIFILEINFOA info{};

    bool writable() const { return writer != nullptr; }
    std::size_t stream_count() const {
        return writable() ? write_streams.size() : read_streams.size();
    }
};

struct StreamObject {
    ULONG refs = 1;
    std::uintptr_t file = 0;  // holds one reference on the file
    std::size_t index = 0;
    std::unique_ptr<StreamHandler> handler;  // set for streams of no file (file is 0)
};

struct GetFrameObject {
    std::uintptr_t stream = 0;  // holds one reference on the stream
    std::unique_ptr<FrameDecompressor> decompressor;
};

struct Registry {
    win::HandleTable<FileObject> files{win::HandleKind::AviFile};
    win::HandleTable<StreamObject> streams{win::HandleKind::AviStream};
    win::HandleTable<GetFrameObject> get_frames{win::HandleKind::GetFrame};
    int init_count = 0;
};

Registry& registry();

FileObject* lookup(PAVIFILE file);
StreamObject* lookup(PAVISTREAM stream);
// The file a live stream belongs to.
FileObject* file_of(const StreamObject& stream);

// A live stream with its file; empty when the handle is stale.
struct StreamRef {
    StreamObject* stream = nullptr;
    FileObject* file = nullptr;
    explicit operator bool() const { return stream && file; }
    ReadStream* read() const {
        return file->writable() ? nullptr : &file->read_streams[stream->index];
    }
    WriteStream* write() const {
        return file->writable() ? &file->write_streams[stream->index] : nullptr;
    }
};
StreamRef resolve(PAVISTREAM stream);
// The stream's record, with the lengths of a stream being written brought up to date.
const AVISTREAMINFOA& current_info(const StreamRef& ref);
void refresh_write_info(const FileObject& file, WriteStream& stream);

ULONG release_file(PAVIFILE file);
ULONG release_stream(PAVISTREAM stream);

HRESULT to_avierr(riff::Error e);

// Records derived from the file's headers as the standard handler does.
void derive_stream_info(const riff::AviReader& reader, const riff::StreamData& data,
                        const SampleMap& samples, AVISTREAMINFOA& info);
// Bytes per sample for fixed-size streams, 0 for one sample per chunk.
std::uint32_t sample_size_of(const riff::StreamData& data);
void derive_file_info(const FileObject& file, AVIFILEINFOA& info);

}  // namespace vfw
