#include "win/gdi/fine_patch.h"

#include <algorithm>

#include "win/gdi/canvas.h"

namespace win::gdi {
namespace {

// A window rarely shows more than one or two pictures; older ones beyond
// this are shown doubled like everything else.
constexpr std::size_t kMaxPatches = 4;

int& scale_setting() {
    static int scale = 1;
    return scale;
}

}  // namespace

void set_window_scale(int scale) { scale_setting() = scale == 2 ? 2 : 1; }

int window_scale() { return scale_setting(); }

void record_fine_patch(const ScaleJob& job) {
    Surface& s = *job.target;
    const RECT area = intersect(intersect(job.dst, job.clip), RECT{0, 0, s.width, s.height});
    if (empty(area)) return;
    auto& patches = s.fine_patches;
    std::erase_if(patches, [&](const FinePatch& p) { return !empty(intersect(p.area, area)); });
    // Drawn at its own size, the picture at twice the size is its pixels doubled: nothing to keep.
    if (job.src_w == job.dst.right - job.dst.left && job.src_h == job.dst.bottom - job.dst.top)
        return;
    if (patches.size() >= kMaxPatches) patches.erase(patches.begin());

    const int w = area.right - area.left, h = area.bottom - area.top;
    FinePatch p;
    p.area = area;
    p.drawn.reserve(std::size_t(w) * std::size_t(h));
    for (int y = area.top; y < area.bottom; ++y)
        p.drawn.insert(p.drawn.end(), s.row(y) + area.left, s.row(y) + area.right);
    Surface fine(2 * w, 2 * h);
    ScaleJob twice = job;
    twice.target = &fine;
    twice.dst = RECT{2 * (job.dst.left - area.left), 2 * (job.dst.top - area.top),
                     2 * (job.dst.right - area.left), 2 * (job.dst.bottom - area.top)};
    twice.clip = RECT{0, 0, 2 * w, 2 * h};
    scale_dib(twice);
    p.fine = std::move(fine.pixels);
    patches.push_back(std::move(p));
}

}  // namespace win::gdi
