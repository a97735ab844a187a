// A sweep of damaged files through the open sequence: cut at many lengths
// and with size fields overwritten. Each ends in one of the open sequence's
// messages or in an open file, never in a crash, and leaves nothing held.
#include <algorithm>
#include <string>
#include <vector>

#include "program_fixture.h"

using namespace program_test;

namespace {

class MalformedFiles : public ProgramTest {};

TEST_F(MalformedFiles, EveryDamagedFileEndsInAMessageOrAnOpen) {
    write_avi(path("good.avi"), {.width = 16, .height = 8, .frames = 12, .audio = true});
    const std::vector<std::uint8_t> good = read_bytes(path("good.avi"));
    ASSERT_GT(good.size(), 1024u);

    std::vector<std::vector<std::uint8_t>> damaged;
    for (size_t cut = 0; cut < good.size(); cut += (cut < 2048 ? 29 : 997))
        damaged.emplace_back(good.begin(), good.begin() + std::ptrdiff_t(cut));
    // Every 32-bit field of the headers set to zero and to all ones.
    for (size_t at = 4; at + 4 <= std::min<size_t>(good.size(), 640); at += 4) {
        for (std::uint8_t fill : {std::uint8_t(0x00), std::uint8_t(0xFF)}) {
            std::vector<std::uint8_t> bytes = good;
            std::fill_n(bytes.begin() + std::ptrdiff_t(at), 4, fill);
            damaged.push_back(std::move(bytes));
        }
    }

    const std::vector<std::string> known = {
        "Error Opening AVI File.",        "Error Getting Stream.",
        "Error Getting File Information", "Error Getting Video Stream Information",
        "Error Getting Frame Open",       "Error Getting Audio Stream Information"};
    Session r;
    size_t opened = 0, refused = 0, consistent = 0;
    for (size_t i = 0; i < damaged.size(); ++i) {
        std::string file = path("damaged" + std::to_string(i) + ".avi");
        write_bytes(file, damaged[i]);
        r.steps.push_back([&, file](CKorvaneDlg& d) {
            size_t boxes_before = r.boxes.size();
            d.OpenAviFile(file.c_str());
            bool any = d.state.isOpen || d.state.audioOpen;
            (any ? opened : refused) += 1;
            // Controls follow what the open marked.
            consistent += enabled(d.m_hWnd, 1005) == (d.state.isOpen == 1) &&
                          enabled(d.m_hWnd, 1011) == (d.state.audioOpen == 1);
            if (!any) {
                EXPECT_EQ(d.state.aviFile, nullptr) << file << ": nothing may stay held";
                EXPECT_GT(r.boxes.size(), boxes_before) << file << ": a refusal says why";
            }
            // A repaint of whatever is open must not crash either.
            InvalidateRect(d.m_hWnd, nullptr, TRUE);
            UpdateWindow(d.m_hWnd);
            d.CloseAviFile();
            d.ResetAviHandles();
            d.disableFileControls();
        });
    }
    run(r);
    for (const auto& box : r.boxes)
        EXPECT_NE(std::find(known.begin(), known.end(), box.text), known.end()) << box.text;
    EXPECT_EQ(opened + refused, damaged.size()) << "every file was tried";
    EXPECT_EQ(consistent, damaged.size());
    EXPECT_GT(refused, 10u) << "the sweep does break files";
    EXPECT_GT(opened, 0u) << "damage past the headers still opens";
}

}  // namespace
