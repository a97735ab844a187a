// Korvane on a private Xvfb, seen as a user sees it: the about box and the
// three ways it goes, the button pictures for each state, the owner-drawn
// popups opened with the mouse, and both stream information dialogs opened
// from the menu. Every step leaves a PNG in the test's output folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <thread>

#include "korvane_session.h"
#include "win/x11/close_request.h"

using namespace x11_test;

namespace {

constexpr int kScreenW = 800, kScreenH = 600;

// A picture of the program's artwork, as 0xRRGGBB rows from the top.
struct Picture {
    int w = 0, h = 0;
    bool exact = true;  // 16-bit pictures reach the screen widened, not exact
    std::vector<std::uint32_t> px;
};

Picture load_bmp(const std::string& name) {
    std::ifstream in(std::string(KORVANE_ART_DIR) + "/" + name, std::ios::binary);
    std::vector<unsigned char> b((std::istreambuf_iterator<char>(in)), {});
    Picture p;
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') return p;
    auto u32 = [&](size_t at) {
        return std::uint32_t(b[at] | b[at + 1] << 8 | b[at + 2] << 16 | b[at + 3] << 24);
    };
    auto u16 = [&](size_t at) { return unsigned(b[at] | b[at + 1] << 8); };
    std::uint32_t offset = u32(10);
    int w = int(u32(18)), h = int(u32(22));
    unsigned bits = u16(28);
    bool top_down = h < 0;
    h = top_down ? -h : h;
    size_t stride = (size_t(w) * bits / 8 + 3) & ~size_t(3);
    if (bits != 24 && bits != 16) return p;
    if (b.size() < offset + stride * size_t(h)) return p;
    p.w = w;
    p.h = h;
    p.exact = bits == 24;
    p.px.resize(size_t(w) * size_t(h));
    for (int y = 0; y < h; ++y) {
        const unsigned char* row = &b[offset + stride * size_t(top_down ? y : h - 1 - y)];
        for (int x = 0; x < w; ++x) {
            std::uint32_t c;
            if (bits == 24) {
                c = std::uint32_t(row[3 * x + 2]) << 16 | row[3 * x + 1] << 8 | row[3 * x];
            } else {
                unsigned v = unsigned(row[2 * x] | row[2 * x + 1] << 8);
                auto widen = [](unsigned five) { return (five << 3) | (five >> 2); };
                c = widen((v >> 10) & 31) << 16 | widen((v >> 5) & 31) << 8 | widen(v & 31);
            }
            p.px[size_t(y) * size_t(w) + size_t(x)] = c;
        }
    }
    return p;
}

bool close_enough(std::uint32_t a, std::uint32_t b, int tolerance) {
    for (int shift : {0, 8, 16}) {
        int d = int((a >> shift) & 255) - int((b >> shift) & 255);
        if (d > tolerance || d < -tolerance) return false;
    }
    return true;
}

using Area = e2e::Geometry;

// Where the picture stands on the screen within the area; nullopt if nowhere.
std::optional<std::pair<int, int>> find(const Screenshot& shot, const Picture& p, Area a) {
    if (p.px.empty() || shot.pixels.empty()) return std::nullopt;
    int tolerance = p.exact ? 0 : 8;
    for (int y = std::max(0, a.y); y + p.h <= std::min(shot.height, a.y + a.h); ++y)
        for (int x = std::max(0, a.x); x + p.w <= std::min(shot.width, a.x + a.w); ++x) {
            bool all = true;
            for (int py = 0; py < p.h && all; ++py)
                for (int px = 0; px < p.w && all; ++px)
                    all = close_enough(shot.at(x + px, y + py),
                                       p.px[size_t(py) * size_t(p.w) + size_t(px)], tolerance);
            if (all) return std::make_pair(x, y);
        }
    return std::nullopt;
}

int count(const Screenshot& shot, std::uint32_t colour, Area a) {
    int n = 0;
    for (int y = a.y; y < a.y + a.h && y < shot.height; ++y)
        for (int x = a.x; x < a.x + a.w && x < shot.width; ++x) n += shot.at(x, y) == colour;
    return n;
}

const char* const kButtons[] = {"st",  "prev",  "play",  "ps",    "next",
                                "end", "frame", "video", "audio", "save"};

class DialogsOnXvfb : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(s_.ready());
        std::filesystem::create_directories(KORVANE_SHOTS_DIR);
        avi_ = (s_.dir() / "both.avi").string();
        ASSERT_TRUE(s_.make_avi(avi_, 12, 8000)) << "ffmpeg could not make the fixture";
    }

    Screenshot shot(const std::string& name) {
        return s_.shot(std::string(KORVANE_SHOTS_DIR) + "/" + name);
    }
    // Opens a popup of the menu bar by clicking its title; x is from the window's left.
    Screenshot open_popup(int title_x, const std::string& name) {
        s_.click(main_.x + title_x, main_.y + 9);
        return shot(name);
    }
    // Where a menu picture shows under the menu bar.
    std::optional<std::pair<int, int>> menu_picture(const Screenshot& s, int id) {
        return find(s, load_bmp("menu" + std::to_string(id) + ".bmp"),
                    {main_.x, main_.y + 18, 300, 200});
    }
    Area buttons_row() const { return {main_.x, main_.y + 300, main_.w, 60}; }
    void start() {
        s_.start({});
        ASSERT_TRUE(s_.app().started());
    }
    bool close(const std::string& id) {
        return win::x11::send_close_request(s_.display().c_str(), std::stoul(id));
    }

    e2e::KorvaneSession s_{kScreenW, kScreenH};
    std::string avi_;
    Area main_;
};

constexpr int kFileTitle = 16, kExtractTitle = 56, kHelpTitle = 98;

TEST_F(DialogsOnXvfb, TheAboutBoxGoesWithEnterEscapeAndItsCloseButtonAndTheMainWindowCarriesOn) {
    start();
    std::string about = s_.wait_window("About Korvane 1.0");
    ASSERT_FALSE(about.empty()) << s_.app().output();
    EXPECT_TRUE(s_.visible("Korvane 1.0").empty()) << "the main window waits for the about box";
    shot("about_startup.png");
    s_.key_in(s_.geometry(about), "Return");
    ASSERT_TRUE(s_.wait_gone("About Korvane 1.0")) << "Enter closes it";
    std::string main = s_.wait_window("Korvane 1.0");
    ASSERT_FALSE(main.empty());
    main_ = s_.geometry(main);

    // Help > About Korvane with the mouse, closed with Escape, then with the
    // close request a window manager sends for the close button.
    for (int round = 0; round < 2; ++round) {
        Screenshot s =
            open_popup(kHelpTitle, round == 0 ? "popup_help.png" : "popup_help_again.png");
        auto item = menu_picture(s, 185);
        ASSERT_TRUE(item) << "the About item's picture is in the Help popup";
        s_.click(item->first + 8, item->second + 8);
        about = s_.wait_window("About Korvane 1.0");
        ASSERT_FALSE(about.empty()) << "About from the Help menu, round " << round;
        if (round == 0) {
            s_.key_in(s_.geometry(about), "Escape");
        } else {
            ASSERT_TRUE(close(about));
        }
        EXPECT_TRUE(s_.wait_gone("About Korvane 1.0")) << "round " << round;
        EXPECT_EQ(s_.visible("Korvane 1.0").size(), 1u) << "the main window is still there";
        EXPECT_TRUE(s_.app().running());
    }
    Screenshot after = shot("main_after_about.png");
    EXPECT_TRUE(find(after, load_bmp("openu.bmp"), buttons_row())) << "and still draws";

    ASSERT_TRUE(close(main));
    EXPECT_TRUE(s_.app().wait_exit(milliseconds(10000)).has_value());
}

TEST_F(DialogsOnXvfb, ButtonPicturesPopupsAndBothInformationDialogs) {
    start();
    std::string about = s_.wait_window("About Korvane 1.0");
    ASSERT_FALSE(about.empty()) << s_.app().output();
    s_.key_in(s_.geometry(about), "Return");
    std::string main = s_.wait_window("Korvane 1.0");
    ASSERT_FALSE(main.empty());
    main_ = s_.geometry(main);

    Screenshot none = shot("main_no_file.png");
    for (const char* b : kButtons) {
        EXPECT_TRUE(find(none, load_bmp(std::string(b) + "x.bmp"), buttons_row()))
            << b << " shows X";
        EXPECT_FALSE(find(none, load_bmp(std::string(b) + "u.bmp"), buttons_row())) << b;
    }
    auto open = find(none, load_bmp("openu.bmp"), buttons_row());
    ASSERT_TRUE(open) << "Open shows U";

    s_.click(open->first + 12, open->second + 12);
    std::string dialog = s_.wait_window("Open");
    ASSERT_FALSE(dialog.empty()) << "no file dialog";
    Area o = s_.geometry(dialog);
    s_.type_in(o, avi_);
    std::this_thread::sleep_for(milliseconds(1500));

    Screenshot opened = shot("main_file_open.png");
    for (const char* b : kButtons)
        EXPECT_TRUE(find(opened, load_bmp(std::string(b) + "u.bmp"), buttons_row()))
            << b << " shows U";
    auto next = find(opened, load_bmp("nextu.bmp"), buttons_row());
    ASSERT_TRUE(next);
    s_.point_at(next->first + 12, next->second + 12);
    s_.xdo({"mousedown", "1"});
    Screenshot held = shot("next_held.png");
    s_.xdo({"mouseup", "1"});
    EXPECT_TRUE(find(held, load_bmp("nextd.bmp"), buttons_row())) << "Next shows D while held";

    // Each popup opened with the mouse shows its owner-drawn items.
    struct Popup {
        int title_x;
        const char* name;
        std::vector<int> pictures;
    };
    const Popup popups[] = {
        {kFileTitle, "popup_file.png", {135, 139, 137, 132}},
        {kExtractTitle, "popup_extract.png", {140, 138, 131, 135, 142}},
        {kHelpTitle, "popup_help_file_open.png", {134, 133, 185}},
    };
    for (const Popup& p : popups) {
        Screenshot s = open_popup(p.title_x, p.name);
        for (int id : p.pictures) EXPECT_TRUE(menu_picture(s, id)) << p.name << ": picture " << id;
        auto first = menu_picture(s, p.pictures[0]);
        if (first) {
            s_.point_at(first->first + 60, first->second + 8);
            Screenshot lit = shot(std::string("lit_") + p.name);
            EXPECT_GT(count(lit, 0x40407F, {first->first, first->second - 4, 160, 20}), 500)
                << p.name << ": the dark bar under the pointer";
        }
        s_.key_in(main_, "Escape");
        s_.key_in(main_, "Escape");
    }

    struct Info {
        int picture;
        const char* title;
        const char* png;
        const char* close;
    };
    const Info infos[] = {
        {135, "Video Stream Information", "video_info.png", "Escape"},
        {142, "Audio Stream Information", "audio_info.png", "Return"},
    };
    for (const Info& info : infos) {
        Screenshot s = open_popup(kExtractTitle, std::string("menu_for_") + info.png);
        auto item = menu_picture(s, info.picture);
        ASSERT_TRUE(item) << info.title;
        s_.click(item->first + 40, item->second + 8);
        std::string id = s_.wait_window(info.title);
        ASSERT_FALSE(id.empty()) << info.title << " from the Extract menu";
        shot(info.png);
        s_.key_in(s_.geometry(id), info.close);
        EXPECT_TRUE(s_.wait_gone(info.title)) << info.close << " closes " << info.title;
    }
    EXPECT_TRUE(s_.app().running());
    ASSERT_TRUE(close(main));
    EXPECT_TRUE(s_.app().wait_exit(milliseconds(10000)).has_value());
}

}  // namespace
