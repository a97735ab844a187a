// AVIStreamGetFrameOpen / GetFrame / GetFrameClose over the frame
// decompressors. The decompressor object holds a reference on its stream.
#include "vfw/avifile/guard.h"
#include "vfw/avifile/objects.h"
#include "vfw/avifile/palette_history.h"

using namespace vfw;

namespace {

class StreamSamples final : public SampleSource {
  public:
    StreamSamples(const riff::AviReader& reader, const ReadStream& stream)
        : reader_(reader), stream_(stream), palettes_(reader, *stream.data) {}

    std::int32_t sample_count() const override { return stream_.samples.length(); }
    bool is_key(std::int32_t pos) const override { return stream_.samples.is_key(pos); }
    const std::vector<std::uint8_t>& format() const override { return stream_.data->format; }
    std::uint32_t handler() const override { return stream_.data->header.handler; }
    std::int64_t size(std::int32_t pos) const override {
        std::size_t entry;
        std::uint64_t byte;
        if (stream_.samples.fixed_size() || !stream_.samples.locate(pos, entry, byte)) return -1;
        const riff::IndexEntry& e = stream_.samples.entry(entry);
        return e.key == riff::kMissingChunk ? std::int64_t{-1} : std::int64_t{e.size};
    }
    bool read(std::int32_t pos, std::vector<std::uint8_t>& out) const override {
        std::size_t entry;
        std::uint64_t byte;
        if (stream_.samples.fixed_size() || !stream_.samples.locate(pos, entry, byte)) return false;
        const riff::IndexEntry& e = stream_.samples.entry(entry);
        if (e.key == riff::kMissingChunk) return false;
        out.resize(e.size);
        return riff::ok(reader_.read_chunk(e, out.data()));
    }

    const std::vector<RGBQUAD>* palette_at(std::int32_t pos) override {
        return palettes_.has_changes() ? &palettes_.at(pos) : nullptr;
    }

  private:
    const riff::AviReader& reader_;
    const ReadStream& stream_;
    PaletteHistory palettes_;
};

}  // namespace

static PGETFRAME AVIStreamGetFrameOpen_body(PAVISTREAM pavi, LPBITMAPINFOHEADER lpbiWanted) {
    StreamRef ref = resolve(pavi);
    if (!ref) return nullptr;
    ReadStream* stream = ref.read();
    if (!stream || stream->info.fccType != streamtypeVIDEO) return nullptr;
    auto decompressor = make_frame_decompressor(
        std::make_unique<StreamSamples>(*ref.file->reader, *stream), lpbiWanted);
    if (!decompressor) return nullptr;
    auto object = std::make_unique<GetFrameObject>();
    object->stream = reinterpret_cast<std::uintptr_t>(pavi);
    object->decompressor = std::move(decompressor);
    const std::uintptr_t handle = registry().get_frames.add(std::move(object));
    if (handle == 0) return nullptr;
    ref.stream->refs++;  // only once the object holds it: the add may fail
    return reinterpret_cast<PGETFRAME>(handle);
}

PGETFRAME WINAPI AVIStreamGetFrameOpen(PAVISTREAM pavi, LPBITMAPINFOHEADER lpbiWanted) {
    return guard_call(PGETFRAME(nullptr),
                      [&] { return AVIStreamGetFrameOpen_body(pavi, lpbiWanted); });
}

static LPVOID AVIStreamGetFrame_body(PGETFRAME pg, LONG lPos) {
    GetFrameObject* object = registry().get_frames.get(pg);
    if (!object) return nullptr;
    return const_cast<BITMAPINFOHEADER*>(object->decompressor->frame(lPos));
}

LPVOID WINAPI AVIStreamGetFrame(PGETFRAME pg, LONG lPos) {
    return guard_call(LPVOID(nullptr), [&] { return AVIStreamGetFrame_body(pg, lPos); });
}

HRESULT WINAPI AVIStreamGetFrameClose(PGETFRAME pg) {
    std::unique_ptr<GetFrameObject> object = registry().get_frames.remove(pg);
    if (!object) return AVIERR_BADHANDLE;
    object->decompressor.reset();
    release_stream(reinterpret_cast<PAVISTREAM>(object->stream));
    return AVIERR_OK;
}
