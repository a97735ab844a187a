// Where frames land in the view: halved until they fit, centred, never
// enlarged; the rest of the view black after a repaint.
#include <cstring>

#include "program_fixture.h"

using namespace program_test;

namespace {

class FrameView : public ProgramTest {};

constexpr std::uint32_t kBackdrop = 0x203040;

// A packed 24-bit DIB of one colour.
std::vector<std::uint8_t> solid_frame(int w, int h, std::uint32_t rgb) {
    int stride = (w * 3 + 3) & ~3;
    std::vector<std::uint8_t> out(sizeof(BITMAPINFOHEADER) + std::size_t(stride) * std::size_t(h));
    BITMAPINFOHEADER bi{};
    bi.biSize = sizeof bi;
    bi.biWidth = w;
    bi.biHeight = h;
    bi.biPlanes = 1;
    bi.biBitCount = 24;
    std::memcpy(out.data(), &bi, sizeof bi);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::uint8_t* p =
                out.data() + sizeof bi + std::size_t(y) * std::size_t(stride) + std::size_t(x) * 3;
            p[0] = std::uint8_t(rgb);
            p[1] = std::uint8_t(rgb >> 8);
            p[2] = std::uint8_t(rgb >> 16);
        }
    return out;
}

struct Placement {
    int view_w, view_h, frame_w, frame_h;
    RECT want;  // left, top, right, bottom
};

// Draws a solid frame with DrawFrame into a view of the given size over a
// backdrop, and reads where it landed.
struct Landed {
    std::uint32_t inside[4];   // the four corner pixels of the wanted rectangle
    std::uint32_t outside[4];  // one pixel beyond each edge
};

Landed draw_into(CKorvaneDlg& d, const Placement& p) {
    d.viewRect = RECT{0, 0, p.view_w, p.view_h};
    HDC dc = GetDC(d.m_hWnd);
    HBRUSH backdrop = CreateSolidBrush(RGB(0x20, 0x30, 0x40));
    RECT all{0, 0, p.view_w + 40, p.view_h + 2};
    FillRect(dc, &all, backdrop);
    DeleteObject(backdrop);
    std::vector<std::uint8_t> frame = solid_frame(p.frame_w, p.frame_h, 0xE01010);
    BITMAPINFOHEADER* f = d.state.frameFormat.head();
    std::memcpy(f, frame.data(), sizeof(BITMAPINFOHEADER));
    f->biSizeImage = DWORD(frame.size() - sizeof(BITMAPINFOHEADER)) + 55;
    d.DrawFrame(dc, reinterpret_cast<LPBITMAPINFOHEADER>(frame.data()));
    ReleaseDC(d.m_hWnd, dc);
    auto px = [&](int x, int y) { return win::automation::pixel(d.m_hWnd, x, y); };
    const RECT& w = p.want;
    return Landed{{px(w.left, w.top), px(w.right - 1, w.top), px(w.left, w.bottom - 1),
                   px(w.right - 1, w.bottom - 1)},
                  {px(w.left - 1, w.top), px(w.right, w.bottom - 1), px(w.left, w.top - 1),
                   px(w.left, w.bottom)}};
}

TEST_F(FrameView, FramesAreHalvedUntilTheyFitAndCentred) {
    const Placement cases[] = {
        {410, 260, 640, 480, {45, 10, 365, 250}},    // halved once
        {400, 300, 1000, 100, {75, 138, 325, 163}},  // halved twice for its width
        {300, 200, 64, 48, {118, 76, 182, 124}},     // small frames keep their size
        {300, 200, 300, 50, {0, 75, 300, 125}},      // as wide as the view
        {300, 200, 301, 10, {75, 98, 225, 103}},     // one pixel too wide
    };
    std::vector<Landed> landed;
    Session r;
    r.steps = {[&](CKorvaneDlg& d) {
        for (const Placement& p : cases) landed.push_back(draw_into(d, p));
    }};
    run(r);
    ASSERT_EQ(landed.size(), std::size(cases));
    for (size_t i = 0; i < landed.size(); ++i) {
        for (std::uint32_t c : landed[i].inside) EXPECT_EQ(c, 0xE01010u) << "case " << i;
        for (int k = 0; k < 4; ++k) {
            // A frame flush with the view's left edge has nothing left of it.
            if (cases[i].want.left == 0 && k == 0) continue;
            EXPECT_EQ(landed[i].outside[k], kBackdrop) << "case " << i << " edge " << k;
        }
    }
}

TEST_F(FrameView, ARepaintBlacksTheViewAroundTheFrameAndAfterCloseShowsOnlyBlack) {
    write_avi(path("a.avi"), {.frames = 3});
    Session r;
    r.file_answers = {path("a.avi")};
    std::uint32_t corner_open = 1, centre_open = 0, left_of_frame = 1, corner_closed = 1,
                  centre_closed = 1;
    RECT view{};
    r.steps = {
        [](CKorvaneDlg& d) { click(d.m_hWnd, 1012); },
        [&](CKorvaneDlg& d) {
            view = d.viewRect;
            InvalidateRect(d.m_hWnd, nullptr, TRUE);
            UpdateWindow(d.m_hWnd);
            corner_open = win::automation::pixel(d.m_hWnd, 5, 5);
            centre_open = view_centre(d);
            left_of_frame =
                win::automation::pixel(d.m_hWnd, d.viewRect.right / 2 - 33, d.viewRect.bottom / 2);
            command(d.m_hWnd, 57602);
        },
        [&](CKorvaneDlg& d) {
            UpdateWindow(d.m_hWnd);
            corner_closed = win::automation::pixel(d.m_hWnd, 5, 5);
            centre_closed = view_centre(d);
        },
    };
    run(r);
    EXPECT_GE(view.right, 405);
    EXPECT_GE(view.bottom, 250);
    EXPECT_EQ(corner_open, 0u);
    EXPECT_EQ(left_of_frame, 0u);
    EXPECT_EQ(centre_open, colour_of(0));
    EXPECT_EQ(corner_closed, 0u);
    EXPECT_EQ(centre_closed, 0u);
}

}  // namespace
