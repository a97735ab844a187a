// The hot path of video display. Vertical weights are 7-bit fixed point
// (they sum to 128 per output row) so that the sums of 8-bit channels fit in
// 16 bits and the loops vectorise; horizontal weights have 14 bits.
#include "win/gdi/dib_scaler.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace win::gdi {
namespace {

constexpr int kRowOne = 128;
constexpr int kColumnOne = 1 << 14;

struct Axis {
    std::vector<int> first;   // first source sample of each output
    std::vector<int> taps;    // how many samples it reads
    std::vector<int> offset;  // into weights
    std::vector<std::uint16_t> weights;
    int taps_all = 0;  // after pad_taps: every output reads this many
    int uniform = 0;   // the one weight every tap has (whole-number ratios), else 0
};

// Gives every output the same tap count; padding taps carry zero weight and
// stay inside [0, limit).
void pad_taps(Axis& a, int limit) {
    int t = 0;
    for (int n : a.taps) t = std::max(t, n);
    std::vector<std::uint16_t> weights;
    weights.reserve(a.taps.size() * std::size_t(t));
    for (std::size_t k = 0; k < a.taps.size(); ++k) {
        int first = a.first[k];
        int shift = std::max(0, first + t - limit);  // slide left at the picture's far edge
        a.first[k] = first - shift;
        for (int i = 0; i < t; ++i) {
            int src = i - shift;
            weights.push_back(
                src >= 0 && src < a.taps[k] ? a.weights[std::size_t(a.offset[k] + src)] : 0);
        }
        a.taps[k] = t;
        a.offset[k] = int(k) * t;
    }
    a.weights = std::move(weights);
    a.taps_all = t;
    const bool same = std::all_of(a.weights.begin(), a.weights.end(),
                                  [&](std::uint16_t w) { return w == a.weights.front(); });
    a.uniform = same && !a.weights.empty() ? a.weights.front() : 0;
}

// Outputs [out_begin, out_end) of dst_len samples drawn from src_len samples
// starting at src_start; sample indices are clamped to [0, limit).
Axis make_axis(int src_start, int src_len, int dst_len, int out_begin, int out_end, int limit,
               int one) {
    Axis a;
    const int n = out_end - out_begin;
    a.first.resize(std::size_t(n));
    a.taps.resize(std::size_t(n));
    a.offset.resize(std::size_t(n));
    const std::int64_t S = src_len, D = dst_len;
    auto clamp = [limit](std::int64_t j) { return int(std::clamp<std::int64_t>(j, 0, limit - 1)); };
    for (int k = 0; k < n; ++k) {
        const std::int64_t i = out_begin + k;
        a.offset[std::size_t(k)] = int(a.weights.size());
        if (S <= D) {
            a.first[std::size_t(k)] = clamp(src_start + (2 * i + 1) * S / (2 * D));
            a.taps[std::size_t(k)] = 1;
            a.weights.push_back(std::uint16_t(one));
            continue;
        }
        // Output i covers source [i*S/D, (i+1)*S/D); measure overlaps in units of 1/D.
        const std::int64_t start = i * S, end = (i + 1) * S;
        const std::int64_t j0 = start / D, j1 = (end + D - 1) / D;
        std::int64_t given = 0;
        std::size_t biggest = a.weights.size();
        std::int64_t biggest_w = -1;
        for (std::int64_t j = j0; j < j1; ++j) {
            const std::int64_t overlap = std::min(end, (j + 1) * D) - std::max(start, j * D);
            const std::int64_t w = overlap * one / S;
            if (w > biggest_w) biggest_w = w, biggest = a.weights.size();
            a.weights.push_back(std::uint16_t(w));
            given += w;
        }
        a.weights[biggest] = std::uint16_t(a.weights[biggest] + (one - given));
        // Clamping keeps reads inside the picture; a repeated edge sample keeps its weight.
        a.first[std::size_t(k)] = int(src_start + j0);
        a.taps[std::size_t(k)] = int(j1 - j0);
    }
    for (int k = 0; k < n; ++k) {
        int f = a.first[std::size_t(k)];
        if (f < 0 || f + a.taps[std::size_t(k)] > limit) {
            // Rare: sources reaching outside the picture. Fold the outside
            // taps onto the edge sample.
            int lo = clamp(f), hi = clamp(f + a.taps[std::size_t(k)] - 1);
            std::vector<std::uint16_t> w(std::size_t(hi - lo + 1), 0);
            for (int t = 0; t < a.taps[std::size_t(k)]; ++t)
                w[std::size_t(clamp(f + t) - lo)] +=
                    a.weights[std::size_t(a.offset[std::size_t(k)] + t)];
            a.offset[std::size_t(k)] = int(a.weights.size());
            a.weights.insert(a.weights.end(), w.begin(), w.end());
            a.first[std::size_t(k)] = lo;
            a.taps[std::size_t(k)] = hi - lo + 1;
        }
    }
    return a;
}

// Supplies source rows as packed bytes of `channels` per pixel (B G R [x]),
// decoding formats other than 24 and 32 bits into a scratch row.
class RowSource {
  public:
    RowSource(const DibFormat& f, const void* bits, int x_lo, int x_hi)
        : f_(f), bits_(bits), x_lo_(x_lo), x_hi_(x_hi) {
        direct_ = f.bits == 24 || (f.bits == 32 && f.plain);
        channels_ = f.bits == 24 ? 3 : 4;
        if (!direct_) scratch_.resize(std::size_t(x_hi - x_lo));
    }
    int channels() const { return channels_; }
    // Whether rows point into the picture itself (else each row() reuses one scratch row).
    bool direct() const { return direct_; }
    // Bytes of row y; index 0 is column x_lo.
    const std::uint8_t* row(int y) {
        const std::uint8_t* r = f_.row(bits_, y);
        if (direct_) return r + std::size_t(x_lo_) * std::size_t(channels_);
        decode_row(f_, r, x_lo_, x_hi_ - x_lo_, scratch_.data());
        return reinterpret_cast<const std::uint8_t*>(scratch_.data());
    }

  private:
    const DibFormat& f_;
    const void* bits_;
    int x_lo_, x_hi_;
    bool direct_ = false;
    int channels_ = 4;
    std::vector<std::uint32_t> scratch_;
};

// Every output reads the same number of taps (shorter ones are padded with
// zero weights), so the tap loop unrolls for the common counts. `scale`
// multiplies the sums: the vertical weight when the rows were summed
// unweighted, times the horizontal weight when all taps share it.
template <int C, int T, bool Uniform>
void horizontal(const Axis& ax, int x_lo, const std::uint16_t* acc, std::uint32_t* out, int n,
                std::uint32_t scale) {
    const int taps = T ? T : ax.taps_all;
    const std::uint16_t* w = ax.weights.data();
    for (int k = 0; k < n; ++k, w += taps) {
        const std::uint16_t* p = acc + std::size_t(ax.first[std::size_t(k)] - x_lo) * C;
        std::uint32_t b = 0, g = 0, r = 0;
        for (int t = 0; t < taps; ++t, p += C) {
            if constexpr (Uniform) {
                b += p[0], g += p[1], r += p[2];
            } else {
                b += std::uint32_t(p[0]) * w[t];
                g += std::uint32_t(p[1]) * w[t];
                r += std::uint32_t(p[2]) * w[t];
            }
        }
        constexpr int shift = 7 + 14;
        constexpr std::uint32_t half = 1u << (shift - 1);
        b = (b * scale + half) >> shift;
        g = (g * scale + half) >> shift;
        r = (r * scale + half) >> shift;
        out[k] = b | (g << 8) | (r << 16);
    }
}

template <int C, bool Uniform>
void horizontal_taps(const Axis& ax, int x_lo, const std::uint16_t* acc, std::uint32_t* out, int n,
                     std::uint32_t scale) {
    switch (ax.taps_all) {
        case 1:
            return horizontal<C, 1, Uniform>(ax, x_lo, acc, out, n, scale);
        case 2:
            return horizontal<C, 2, Uniform>(ax, x_lo, acc, out, n, scale);
        case 3:
            return horizontal<C, 3, Uniform>(ax, x_lo, acc, out, n, scale);
        case 4:
            return horizontal<C, 4, Uniform>(ax, x_lo, acc, out, n, scale);
        case 5:
            return horizontal<C, 5, Uniform>(ax, x_lo, acc, out, n, scale);
        default:
            return horizontal<C, 0, Uniform>(ax, x_lo, acc, out, n, scale);
    }
}

template <int C>
void horizontal_any(const Axis& ax, int x_lo, const std::uint16_t* acc, std::uint32_t* out, int n,
                    std::uint32_t row_scale) {
    if (ax.uniform)
        horizontal_taps<C, true>(ax, x_lo, acc, out, n, row_scale * std::uint32_t(ax.uniform));
    else
        horizontal_taps<C, false>(ax, x_lo, acc, out, n, row_scale);
}

// Straight conversion of a row that is neither scaled nor shifted.
void copy_row(int channels, const std::uint8_t* src, std::uint32_t* out, int n) {
    if (channels == 4) {
        std::memcpy(out, src, std::size_t(n) * 4);
        return;
    }
    for (int k = 0; k < n; ++k, src += 3)
        out[k] = src[0] | (std::uint32_t(src[1]) << 8) | (std::uint32_t(src[2]) << 16);
}

template <int C>
void nearest_row(const Axis& ax, int x_lo, const std::uint8_t* src, std::uint32_t* out, int n) {
    for (int k = 0; k < n; ++k) {
        const std::uint8_t* p = src + std::size_t(ax.first[std::size_t(k)] - x_lo) * C;
        out[k] = p[0] | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16);
    }
}

void accumulate(std::uint16_t* acc, const std::uint8_t* src, std::size_t n, std::uint16_t w,
                bool first) {
    if (w == 0) {
        // Unweighted sum: the weight is applied once, after the horizontal pass.
        if (first) {
            for (std::size_t i = 0; i < n; ++i) acc[i] = src[i];
        } else {
            for (std::size_t i = 0; i < n; ++i) acc[i] = std::uint16_t(acc[i] + src[i]);
        }
        return;
    }
    if (first) {
        for (std::size_t i = 0; i < n; ++i) acc[i] = std::uint16_t(src[i] * w);
    } else {
        for (std::size_t i = 0; i < n; ++i) acc[i] = std::uint16_t(acc[i] + src[i] * w);
    }
}

}  // namespace

void scale_dib(const ScaleJob& job) {
    const DibFormat& f = *job.format;
    const RECT& d = job.dst;
    const int dw = d.right - d.left, dh = d.bottom - d.top;
    if (dw <= 0 || dh <= 0 || job.src_w <= 0 || job.src_h <= 0) return;
    const RECT c{std::max(d.left, job.clip.left), std::max(d.top, job.clip.top),
                 std::min(d.right, job.clip.right), std::min(d.bottom, job.clip.bottom)};
    if (c.right <= c.left || c.bottom <= c.top) return;

    Axis ax =
        make_axis(job.src_x, job.src_w, dw, c.left - d.left, c.right - d.left, f.width, kColumnOne);
    Axis ay =
        make_axis(job.src_y, job.src_h, dh, c.top - d.top, c.bottom - d.top, f.height, kRowOne);
    const int n = c.right - c.left;
    const bool identity_x = job.src_w == dw;
    pad_taps(ax, f.width);
    pad_taps(ay, f.height);
    int x_lo = f.width, x_hi = 0;
    for (int k = 0; k < n; ++k) {
        x_lo = std::min(x_lo, ax.first[std::size_t(k)]);
        x_hi = std::max(x_hi, ax.first[std::size_t(k)] + ax.taps[std::size_t(k)]);
    }
    RowSource rows(f, job.bits, x_lo, x_hi);
    const int C = rows.channels();
    const std::size_t span = std::size_t(x_hi - x_lo) * std::size_t(C);
    const bool nearest_x = job.src_w <= dw;
    std::vector<std::uint16_t> acc(span);

    for (int k = 0; k < c.bottom - c.top; ++k) {
        std::uint32_t* out = job.target->row(c.top + k) + c.left;
        const int taps = ay.taps[std::size_t(k)];
        const int y0 = ay.first[std::size_t(k)];
        if (taps == 1 && nearest_x) {
            const std::uint8_t* src = rows.row(y0);
            if (identity_x && ax.first[0] - x_lo == 0 &&
                ax.first[std::size_t(n - 1)] - x_lo == n - 1)
                copy_row(C, src, out, n);
            else if (C == 3)
                nearest_row<3>(ax, x_lo, src, out, n);
            else
                nearest_row<4>(ax, x_lo, src, out, n);
            continue;
        }
        const std::uint16_t* w = ay.weights.data() + ay.offset[std::size_t(k)];
        if (ay.uniform && taps == 4 && rows.direct()) {
            // Quartering, the video view's usual case: one pass over four rows.
            const std::uint8_t *r0 = rows.row(y0), *r1 = rows.row(y0 + 1), *r2 = rows.row(y0 + 2),
                               *r3 = rows.row(y0 + 3);
            std::uint16_t* a = acc.data();
            for (std::size_t i = 0; i < span; ++i)
                a[i] = std::uint16_t(std::uint16_t(r0[i] + r1[i]) + std::uint16_t(r2[i] + r3[i]));
        } else if (ay.uniform && taps == 2 && rows.direct()) {
            const std::uint8_t *r0 = rows.row(y0), *r1 = rows.row(y0 + 1);
            std::uint16_t* a = acc.data();
            for (std::size_t i = 0; i < span; ++i) a[i] = std::uint16_t(r0[i] + r1[i]);
        } else if (ay.uniform) {
            for (int t = 0; t < taps; ++t)
                accumulate(acc.data(), rows.row(y0 + t), span, 0, t == 0);
        } else {
            bool first = true;
            for (int t = 0; t < taps; ++t) {
                if (w[t] == 0) continue;  // padding
                accumulate(acc.data(), rows.row(y0 + t), span, w[t], first);
                first = false;
            }
        }
        const std::uint32_t row_scale = ay.uniform ? std::uint32_t(ay.uniform) : 1;
        if (C == 3)
            horizontal_any<3>(ax, x_lo, acc.data(), out, n, row_scale);
        else
            horizontal_any<4>(ax, x_lo, acc.data(), out, n, row_scale);
    }
}

}  // namespace win::gdi
