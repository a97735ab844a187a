// AVIFile calls on files: library start and end, open, information,
// streams by type, new streams and reference counts.
#include <algorithm>
#include <cstring>

#include "vfw/avifile/guard.h"
#include "vfw/avifile/key_samples.h"
#include "vfw/avifile/objects.h"

using namespace vfw;

namespace {

HRESULT open_for_reading(const char* path, std::unique_ptr<FileObject>& out) {
    auto file = std::make_unique<FileObject>();
    if (HRESULT hr = to_avierr(riff::AviReader::open(path, file->reader)); hr != AVIERR_OK)
        return hr;
    const auto& streams = file->reader->streams();
    file->read_streams.resize(streams.size());
    for (std::size_t i = 0; i < streams.size(); ++i) {
        ReadStream& s = file->read_streams[i];
        s.data = &streams[i];
        s.samples.build(streams[i].index, sample_size_of(streams[i]));
        if (file->reader->index_source() == riff::IndexSource::Scan)
            learn_key_samples(*file->reader, streams[i], s.samples);
        derive_stream_info(*file->reader, streams[i], s.samples, s.info);
    }
    file->stream_handles.assign(streams.size(), 0);
    derive_file_info(*file, file->info);
    out = std::move(file);
    return AVIERR_OK;
}

PAVISTREAM hand_out_stream(std::uintptr_t file_handle, FileObject& file, std::size_t index) {
    if (std::uintptr_t existing = file.stream_handles[index]) {
        registry().streams.get(existing)->refs++;
        return reinterpret_cast<PAVISTREAM>(existing);
    }
    auto stream = std::make_unique<StreamObject>();
    stream->file = file_handle;
    stream->index = index;
    std::uintptr_t handle = registry().streams.add(std::move(stream));
    if (handle == 0) return nullptr;
    file.refs++;  // only once the stream holds it: the add may fail
    file.stream_handles[index] = handle;
    return reinterpret_cast<PAVISTREAM>(handle);
}

std::int16_t to_short(LONG v) { return std::int16_t(std::clamp<LONG>(v, INT16_MIN, INT16_MAX)); }

}  // namespace

void WINAPI AVIFileInit(void) { registry().init_count++; }

void WINAPI AVIFileExit(void) {
    if (registry().init_count > 0) registry().init_count--;
}

static HRESULT AVIFileOpenA_body(PAVIFILE* ppfile, LPCSTR szFile, UINT uMode, LPCLSID) {
    if (!ppfile) return AVIERR_BADPARAM;
    *ppfile = nullptr;
    if (!szFile || !*szFile) return AVIERR_BADPARAM;
    std::unique_ptr<FileObject> file;
    if (uMode & OF_CREATE) {
        file = std::make_unique<FileObject>();
        if (HRESULT hr = to_avierr(riff::AviWriter::create(szFile, file->writer)); hr != AVIERR_OK)
            return hr == AVIERR_BADPARAM ? AVIERR_FILEOPEN : hr;
    } else if (uMode & (OF_WRITE | OF_READWRITE)) {
        return AVIERR_UNSUPPORTED;  // existing files are never edited in place
    } else {
        if (HRESULT hr = open_for_reading(szFile, file); hr != AVIERR_OK) return hr;
    }
    *ppfile = reinterpret_cast<PAVIFILE>(registry().files.add(std::move(file)));
    return *ppfile ? AVIERR_OK : AVIERR_MEMORY;
}

HRESULT WINAPI AVIFileOpenA(PAVIFILE* ppfile, LPCSTR szFile, UINT uMode, LPCLSID clsid) {
    return guard_call(AVIERR_MEMORY,
                      [&] { return AVIFileOpenA_body(ppfile, szFile, uMode, clsid); });
}

ULONG WINAPI AVIFileAddRef(PAVIFILE pfile) {
    FileObject* file = lookup(pfile);
    return file ? ++file->refs : 0;
}

ULONG WINAPI AVIFileRelease(PAVIFILE pfile) { return release_file(pfile); }

static HRESULT AVIFileEndWrite_body(PAVIFILE pfile, BOOL fKeep) {
    FileObject* file = lookup(pfile);
    if (!file) return AVIERR_BADHANDLE;
    if (!file->writer) return AVIERR_READONLY;
    if (fKeep) return to_avierr(file->writer->finish());
    file->writer->abandon();
    return AVIERR_OK;
}

HRESULT WINAPI AVIFileEndWrite(PAVIFILE pfile, BOOL fKeep) {
    return guard_call(AVIERR_MEMORY, [&] { return AVIFileEndWrite_body(pfile, fKeep); });
}

static HRESULT AVIFileInfoA_body(PAVIFILE pfile, LPAVIFILEINFOA pfi, LONG lSize) {
    FileObject* file = lookup(pfile);
    if (!file) return AVIERR_BADHANDLE;
    if (!pfi) return AVIERR_BADPARAM;
    if (lSize < 0) return AVIERR_BADSIZE;
    if (file->writable()) {
        for (WriteStream& s : file->write_streams) refresh_write_info(*file, s);
        derive_file_info(*file, file->info);
    }
    std::memcpy(pfi, &file->info, std::min<std::size_t>(std::size_t(lSize), sizeof(AVIFILEINFOA)));
    return AVIERR_OK;
}

HRESULT WINAPI AVIFileInfoA(PAVIFILE pfile, LPAVIFILEINFOA pfi, LONG lSize) {
    return guard_call(AVIERR_MEMORY, [&] { return AVIFileInfoA_body(pfile, pfi, lSize); });
}

static HRESULT AVIFileGetStream_body(PAVIFILE pfile, PAVISTREAM* ppavi, DWORD fccType,
                                     LONG lParam) {
    if (!ppavi) return AVIERR_BADPARAM;
    *ppavi = nullptr;
    FileObject* file = lookup(pfile);
    if (!file) return AVIERR_BADHANDLE;
    if (lParam < 0) return AVIERR_NODATA;
    LONG seen = 0;
    for (std::size_t i = 0; i < file->stream_count(); ++i) {
        DWORD type = file->writable() ? file->write_streams[i].info.fccType
                                      : file->read_streams[i].info.fccType;
        if (fccType != streamtypeANY && type != fccType) continue;
        if (seen++ == lParam) {
            *ppavi = hand_out_stream(reinterpret_cast<std::uintptr_t>(pfile), *file, i);
            return *ppavi ? AVIERR_OK : AVIERR_MEMORY;
        }
    }
    return AVIERR_NODATA;
}

HRESULT WINAPI AVIFileGetStream(PAVIFILE pfile, PAVISTREAM* ppavi, DWORD fccType, LONG lParam) {
    return guard_call(AVIERR_MEMORY,
                      [&] { return AVIFileGetStream_body(pfile, ppavi, fccType, lParam); });
}

static HRESULT AVIFileCreateStreamA_body(PAVIFILE pfile, PAVISTREAM* ppavi, AVISTREAMINFOA* psi) {
    if (!ppavi) return AVIERR_BADPARAM;
    *ppavi = nullptr;
    FileObject* file = lookup(pfile);
    if (!file) return AVIERR_BADHANDLE;
    if (!psi) return AVIERR_BADPARAM;
    if (!file->writable()) return AVIERR_READONLY;

    riff::StreamHeader h{};
    h.type = psi->fccType;
    h.handler = psi->fccHandler;
    h.flags = psi->dwFlags;
    h.priority = psi->wPriority;
    h.language = psi->wLanguage;
    h.initial_frames = psi->dwInitialFrames;
    h.scale = psi->dwScale;
    h.rate = psi->dwRate;
    h.start = psi->dwStart;
    h.quality = psi->dwQuality;
    h.sample_size = psi->fccType == streamtypeVIDEO ? 0 : psi->dwSampleSize;
    h.frame_left = to_short(psi->rcFrame.left);
    h.frame_top = to_short(psi->rcFrame.top);
    h.frame_right = to_short(psi->rcFrame.right);
    h.frame_bottom = to_short(psi->rcFrame.bottom);
    int index = 0;
    if (HRESULT hr = to_avierr(file->writer->add_stream(h, index)); hr != AVIERR_OK) return hr;

    WriteStream stream;
    stream.info = *psi;
    stream.info.dwLength = 0;
    stream.info.dwSuggestedBufferSize = 0;
    stream.info.dwSampleSize = h.sample_size;
    stream.info.dwEditCount = 0;
    stream.info.dwFormatChangeCount = 0;
    stream.info.szName[63] = 0;
    stream.writer_index = index;
    std::string name(stream.info.szName, strnlen(stream.info.szName, 63));
    if (!name.empty()) (void)file->writer->set_name(index, name);
    file->write_streams.push_back(stream);
    file->stream_handles.push_back(0);
    *ppavi = hand_out_stream(reinterpret_cast<std::uintptr_t>(pfile), *file,
                             file->write_streams.size() - 1);
    return *ppavi ? AVIERR_OK : AVIERR_MEMORY;
}

HRESULT WINAPI AVIFileCreateStreamA(PAVIFILE pfile, PAVISTREAM* ppavi, AVISTREAMINFOA* psi) {
    return guard_call(AVIERR_MEMORY, [&] { return AVIFileCreateStreamA_body(pfile, ppavi, psi); });
}
