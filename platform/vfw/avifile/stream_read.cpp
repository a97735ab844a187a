// AVIStreamRead: one sample of a chunked stream, or a run of fixed-size
// samples that may span several chunks. A missing or short buffer learns
// how many bytes the read needs; nothing is read past the stream's end.
#include <algorithm>
#include <utility>

#include "vfw/avifile/guard.h"
#include "vfw/avifile/objects.h"

using namespace vfw;

namespace {

void report(LONG* plBytes, LONG* plSamples, std::int64_t bytes, std::int64_t samples) {
    if (plBytes) *plBytes = LONG(bytes);
    if (plSamples) *plSamples = LONG(samples);
}

// Collects the parts of a read that lie close together in the file, so
// that a run of small chunks costs one system call rather than one each;
// the chunk headers between the parts land in a scratch buffer.
class GatherRead {
  public:
    explicit GatherRead(const riff::File& file) : file_(file) {}

    bool add(std::uint64_t offset, std::uint8_t* out, std::size_t n) {
        if (count_ > 0) {
            bool close = offset >= end_ && offset - end_ <= sizeof scratch_;
            if (close && count_ + 2 <= riff::File::kMaxPieces) {
                if (offset > end_) push(scratch_, std::size_t(offset - end_));
                push(out, n);
                end_ = offset + n;
                return true;
            }
            if (!flush()) return false;
        }
        start_ = offset;
        push(out, n);
        end_ = offset + n;
        return true;
    }

    bool flush() {
        int count = std::exchange(count_, 0);
        return count == 0 || riff::ok(file_.read_pieces_at(start_, data_, sizes_, count));
    }

  private:
    void push(void* p, std::size_t n) {
        data_[count_] = p;
        sizes_[count_++] = n;
    }

    const riff::File& file_;
    std::uint64_t start_ = 0, end_ = 0;
    void* data_[riff::File::kMaxPieces];
    std::size_t sizes_[riff::File::kMaxPieces];
    int count_ = 0;
    std::uint8_t scratch_[64];
};

}  // namespace

static HRESULT AVIStreamRead_body(PAVISTREAM pavi, LONG lStart, LONG lSamples, LPVOID lpBuffer,
                                  LONG cbBuffer, LONG* plBytes, LONG* plSamples) {
    report(plBytes, plSamples, 0, 0);
    if (StreamHandler* handler = handler_of(pavi))
        return handler->read(lStart, lSamples, lpBuffer, cbBuffer, plBytes, plSamples);
    StreamRef ref = resolve(pavi);
    if (!ref) return AVIERR_BADHANDLE;
    ReadStream* stream = ref.read();
    if (!stream) return AVIERR_UNSUPPORTED;
    if (cbBuffer < 0 || (lSamples < 0 && lSamples != AVISTREAMREAD_CONVENIENT))
        return AVIERR_BADPARAM;
    const SampleMap& map = stream->samples;
    if (lStart < 0 || lStart >= map.length()) return AVIERR_NODATA;
    if (lSamples == 0) return AVIERR_OK;
    auto* out = static_cast<std::uint8_t*>(lpBuffer);
    const riff::AviReader& reader = *ref.file->reader;

    if (!map.fixed_size()) {
        const riff::IndexEntry& e = map.entry(std::size_t(lStart));
        if (!out) {
            report(plBytes, plSamples, e.size, 1);
            return AVIERR_OK;
        }
        if (std::uint64_t(cbBuffer) < e.size) {
            report(plBytes, plSamples, e.size, 0);
            return AVIERR_BUFFERTOOSMALL;
        }
        if (!riff::ok(reader.read_chunk(e, out))) return AVIERR_FILEREAD;
        report(plBytes, plSamples, e.size, 1);
        return AVIERR_OK;
    }

    const std::int64_t size = map.sample_size();
    std::int64_t count = lSamples == AVISTREAMREAD_CONVENIENT
                             ? map.samples_left_in_chunk(lStart)
                             : std::min<std::int64_t>(lSamples, map.length() - lStart);
    count = std::min<std::int64_t>(count, 0x7FFFFFFF / size);  // the byte count must fit a LONG
    if (count <= 0) return AVIERR_NODATA;
    const std::int64_t bytes = count * size;
    if (!out) {
        report(plBytes, plSamples, bytes, count);
        return AVIERR_OK;
    }
    if (cbBuffer < bytes) {
        report(plBytes, plSamples, bytes, 0);
        return AVIERR_BUFFERTOOSMALL;
    }
    std::size_t entry;
    std::uint64_t at;
    if (!map.locate(lStart, entry, at)) return AVIERR_NODATA;
    GatherRead gather(reader.file());
    std::int64_t done = 0;
    while (done < bytes) {
        if (entry >= map.entry_count()) return AVIERR_FILEREAD;
        const riff::IndexEntry& e = map.entry(entry);
        std::uint64_t usable = e.size / std::uint64_t(size) * std::uint64_t(size);
        if (at < usable) {
            std::uint64_t take = std::min<std::uint64_t>(usable - at, std::uint64_t(bytes - done));
            if (!gather.add(e.offset + at, out + done, std::size_t(take))) return AVIERR_FILEREAD;
            done += std::int64_t(take);
        }
        ++entry;
        at = 0;
    }
    if (!gather.flush()) return AVIERR_FILEREAD;
    report(plBytes, plSamples, bytes, count);
    return AVIERR_OK;
}

HRESULT WINAPI AVIStreamRead(PAVISTREAM pavi, LONG lStart, LONG lSamples, LPVOID lpBuffer,
                             LONG cbBuffer, LONG* plBytes, LONG* plSamples) {
    return guard_call(AVIERR_MEMORY, [&] {
        return AVIStreamRead_body(pavi, lStart, lSamples, lpBuffer, cbBuffer, plBytes, plSamples);
    });
}
