// The Frame button: the frame at the seek bar's position written whole to
// a .bmp, or an error and nothing at the chosen path.
#include "export_fixture.h"

using namespace export_test;
using win::dialogs::IconKind;

namespace {

class ExportFrame : public ProgramTest {};

// The pixel at (x, y) from the top of a 24-bit .bmp, as 0x00RRGGBB.
std::uint32_t bmp_pixel(const std::vector<std::uint8_t>& b, int x, int y) {
    std::int32_t width = std::int32_t(u32(b, 18)), height = std::int32_t(u32(b, 22));
    size_t stride = (size_t(width) * 3 + 3) & ~size_t(3);
    size_t at = u32(b, 10) + size_t(height - 1 - y) * stride + size_t(x) * 3;
    return std::uint32_t(b[at]) | std::uint32_t(b[at + 1]) << 8 | std::uint32_t(b[at + 2]) << 16;
}

TEST_F(ExportFrame, TwentyFourBitFramesAreWrittenWholeWithTheirTrueSizes) {
    struct Case {
        int width, height;
    } cases[] = {{320, 240}, {321, 240}, {1, 1}, {3, 5}};
    for (const Case& c : cases) {
        std::string name = std::to_string(c.width) + "x" + std::to_string(c.height);
        write_avi(path(name + ".avi"), {.width = c.width, .height = c.height, .frames = 3});
        Session r;
        export_through(r, path(name + ".avi"), 1009, path(name + ".bmp"));
        run(r);
        ASSERT_EQ(texts(r), std::vector<std::string>{"Bitmap Image Created."}) << name;
        EXPECT_EQ(r.boxes[0].caption, "Korvane");
        EXPECT_EQ(r.boxes[0].icon, IconKind::Information);
        std::vector<std::uint8_t> b = read_bytes(path(name + ".bmp"));
        size_t stride = (size_t(c.width) * 3 + 3) & ~size_t(3);
        size_t image = stride * size_t(c.height);
        ASSERT_EQ(b.size(), 54 + image) << name;
        EXPECT_EQ(b[0], 'B');
        EXPECT_EQ(b[1], 'M');
        EXPECT_EQ(u32(b, 2), b.size()) << name;
        EXPECT_EQ(u32(b, 6), 0u);
        EXPECT_EQ(u32(b, 10), 54u);
        EXPECT_EQ(u32(b, 14), 40u);
        EXPECT_EQ(std::int32_t(u32(b, 18)), c.width);
        EXPECT_EQ(std::int32_t(u32(b, 22)), c.height);
        EXPECT_EQ(u32(b, 26), 0x00180001u) << "one plane, 24 bits";
        EXPECT_EQ(u32(b, 34), image) << name << ": the real image size";
        // The last pixel of the top row is the end of the file's image bytes.
        EXPECT_EQ(bmp_pixel(b, c.width - 1, 0), colour_of(0)) << name;
        EXPECT_EQ(bmp_pixel(b, 0, c.height - 1), colour_of(0)) << name;
        EXPECT_EQ(dialog, nullptr);
    }
}

TEST_F(ExportFrame, TheSeekBarsLastPositionIsWrittenAndTheBarStays) {
    write_avi(path("a.avi"), {.frames = 12});
    Session r;
    int after = -1;
    export_through(r, path("a.avi"), 1009, path("last.bmp"),
                   [](CKorvaneDlg& d) { click(d.m_hWnd, 1008); });
    r.steps.push_back([&](CKorvaneDlg& d) { after = position(d.m_hWnd); });
    run(r);
    ASSERT_EQ(texts(r), std::vector<std::string>{"Bitmap Image Created."});
    EXPECT_EQ(after, 11);
    EXPECT_EQ(bmp_pixel(read_bytes(path("last.bmp")), 5, 5), colour_of(11));
}

TEST_F(ExportFrame, AnEightBitFrameCarriesItsColourTable) {
    ASSERT_TRUE(
        ffmpeg("-f lavfi -i testsrc=size=33x20:rate=5 -frames:v 2 -c:v rawvideo -pix_fmt pal8 " +
               path("pal.avi")));
    Session r;
    export_through(r, path("pal.avi"), 1009, path("pal.bmp"));
    run(r);
    ASSERT_EQ(texts(r), std::vector<std::string>{"Bitmap Image Created."});
    std::vector<std::uint8_t> b = read_bytes(path("pal.bmp"));
    ASSERT_GT(b.size(), 54u);
    EXPECT_EQ(u32(b, 2), b.size());
    EXPECT_EQ(u32(b, 26) >> 16, 8u);
    std::uint32_t colours = u32(b, 46);
    EXPECT_GT(colours, 0u);
    EXPECT_LE(colours, 256u);
    EXPECT_EQ(u32(b, 10), 54 + 4 * colours) << "the pixels follow the colour table";
    EXPECT_EQ(u32(b, 34), 36u * 20u) << "rows of 33 bytes padded to 36";
    EXPECT_EQ(b.size(), 54 + 4 * colours + 36 * 20);
}

TEST_F(ExportFrame, FailuresSayErrorCreatingBitmapImageAndLeaveThePathAlone) {
    write_avi(path("a.avi"), {.width = 320, .height = 240, .frames = 2});
    const std::vector<std::string> error = {"Error Creating Bitmap Image"};
    {
        // The user's rights alone do not stop root, a read-only mount does.
        SmallDisk ro(path("ro"), 1 << 20, true);
        if (!ro.ok()) GTEST_SKIP() << "needs the rights to mount a small file system";
        Session r;
        export_through(r, path("a.avi"), 1009, path("ro/x.bmp"));
        run(r);
        EXPECT_EQ(texts(r), error) << "a read-only folder";
        ASSERT_EQ(r.boxes.size(), 1u);
        EXPECT_EQ(r.boxes[0].caption, "Error");
        EXPECT_EQ(r.boxes[0].icon, IconKind::Stop);
        EXPECT_TRUE(listing(path("ro")).empty());
    }
    SmallDisk full(path("full"), 1 << 20);
    if (!full.ok()) GTEST_SKIP() << "needs the rights to mount a small file system";
    std::vector<std::uint8_t> old(5000, 0x5A);
    write_bytes(path("full/x.bmp"), old);
    full.fill_leaving(64 * 1024);  // far less than the 230 kB frame
    Session r;
    export_through(r, path("a.avi"), 1009, path("full/x.bmp"));
    run(r);
    ASSERT_EQ(r.boxes.size(), 2u);
    EXPECT_EQ(r.boxes[0].text, path("full/x.bmp") + " already exists.\nDo you want to replace it?");
    EXPECT_EQ(r.boxes[1].text, error[0]) << "a full disk";
    EXPECT_EQ(read_bytes(path("full/x.bmp")), old)
        << "the file the user agreed to replace stays whole";
    EXPECT_EQ(listing(path("full")), (std::vector<std::string>{"filler", "x.bmp"}));
}

TEST_F(ExportFrame, AnExistingFileIsReplacedOnlyByAWholeOne) {
    write_avi(path("a.avi"), {.width = 16, .height = 8, .frames = 2});
    write_bytes(path("x.bmp"), std::vector<std::uint8_t>(100000, 1));
    ::umask(027);
    Session r;
    export_through(r, path("a.avi"), 1009, path("x.bmp"));
    run(r);
    ::umask(022);
    ASSERT_EQ(r.boxes.size(), 2u) << "the save dialog asks before it returns an existing file";
    EXPECT_EQ(r.boxes[1].text, "Bitmap Image Created.");
    EXPECT_EQ(read_bytes(path("x.bmp")).size(), 54u + 48 * 8);
    auto perms = std::filesystem::status(path("x.bmp")).permissions();
    EXPECT_EQ(perms, std::filesystem::perms(0640)) << "the new file gets the user's umask";
    EXPECT_EQ(listing(path("")), (std::vector<std::string>{"a.avi", "x.bmp"}));
}

TEST_F(ExportFrame, NoFrameNoFile) {
    write_avi(path("a.avi"), {.frames = 2});
    Session r;
    r.file_answers = {path("a.avi")};
    r.steps = {
        [](CKorvaneDlg& d) { click(d.m_hWnd, 1012); },
        [&](CKorvaneDlg& d) {
            // As when no decompressor could be had for the stream.
            PGETFRAME held = d.state.getFrame;
            d.state.getFrame = nullptr;
            d.WriteFrameBitmap(path("none.bmp").c_str());
            d.state.getFrame = held;
        },
    };
    run(r);
    EXPECT_EQ(texts(r), std::vector<std::string>{"Error Creating Bitmap Image"});
    EXPECT_FALSE(std::filesystem::exists(path("none.bmp")));
}

}  // namespace
