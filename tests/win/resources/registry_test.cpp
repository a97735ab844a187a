#include "win/resources/registry.h"

#include <gtest/gtest.h>

#include <cstring>

#include "win/resources/templates.h"
#include "winuser.h"
#include "winuser_controls.h"
#include "winuser_resources.h"

using namespace win::res;

namespace {

constexpr std::uint8_t fake_bitmap_a[] = {1};
constexpr std::uint8_t fake_bitmap_b[] = {2};
constexpr std::uint8_t fake_bitmap_c[] = {3};

constexpr BlobEntry first_bitmaps[] = {
    {{0, "STU"}, fake_bitmap_a},
    {{131, nullptr}, fake_bitmap_b},
};
constexpr BlobEntry second_bitmaps[] = {
    {{0, "STUX"}, fake_bitmap_c},
    {{131, nullptr}, fake_bitmap_c},  // hidden by the first module when searching all
    {{200, nullptr}, fake_bitmap_c},
};
constexpr StringEntry first_strings[] = {{101, "&About Korvane..."}, {7, ""}};
constexpr StringEntry second_strings[] = {{102, "second"}};

constexpr Module first{"first", {}, {}, first_strings, first_bitmaps, {}};
constexpr Module second{"second", {}, {}, second_strings, second_bitmaps, {}};

// Installs both modules for one test and removes them after it.
class Installed : public ::testing::Test {
  protected:
    void SetUp() override {
        a = install(first);
        b = install(second);
    }
    void TearDown() override {
        uninstall(a);
        uninstall(b);
    }
    HINSTANCE a = nullptr, b = nullptr;
};

TEST(ResourceName, NumbersNamesAndHashNumbers) {
    EXPECT_TRUE(ResourceName(129).is_number());
    EXPECT_EQ(ResourceName("#129"), ResourceName(129));
    EXPECT_EQ(ResourceName("stu").name(), "STU");
    EXPECT_FALSE(ResourceName("#12x").is_number());
    EXPECT_FALSE(ResourceName("#70000").is_number());
    EXPECT_EQ(ResourceName::from_platform(MAKEINTRESOURCEA(185)), ResourceName(185));
    EXPECT_EQ(ResourceName::from_platform("Prevu"), ResourceName("PREVU"));
    EXPECT_TRUE(ResourceName().empty());
}

TEST(ResourceName, NumberNeverMatchesAName) {
    EXPECT_FALSE(ResourceName(131).matches({0, "131"}));
    EXPECT_FALSE(ResourceName("131").matches({131, nullptr}));
    EXPECT_TRUE(ResourceName("#131").matches({131, nullptr}));
}

TEST_F(Installed, NamesAreFoundWithoutRegardToCase) {
    std::string caption = "St";
    const BlobEntry* e = find_bitmap_entry(ResourceName(caption + "U"));
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->bytes.data(), fake_bitmap_a);
    EXPECT_EQ(find_bitmap_entry(ResourceName("stux"))->bytes.data(), fake_bitmap_c);
    EXPECT_EQ(find_bitmap_entry(ResourceName("STUXX")), nullptr);
    EXPECT_EQ(find_bitmap_entry(ResourceName("ST")), nullptr);
}

TEST_F(Installed, SearchOrderAndModuleScope) {
    EXPECT_EQ(find_bitmap_entry(131)->bytes.data(), fake_bitmap_b);
    EXPECT_EQ(find_bitmap_entry(131, b)->bytes.data(), fake_bitmap_c);
    EXPECT_EQ(find_bitmap_entry(200, a), nullptr);
    EXPECT_NE(find_bitmap_entry(200), nullptr);
    EXPECT_EQ(main_instance(), a);
    EXPECT_EQ(install(first), a);
}

TEST_F(Installed, ModuleHoldingFindsTheFirstInstalledOwner) {
    EXPECT_EQ(module_holding(ResourceType::bitmap, 131), a);
    EXPECT_EQ(module_holding(ResourceType::bitmap, 200), b);
    EXPECT_EQ(module_holding(ResourceType::bitmap, ResourceName("stux")), b);
    EXPECT_EQ(module_holding(ResourceType::string, 102), b);
    EXPECT_EQ(module_holding(ResourceType::icon, 131), nullptr);
    EXPECT_EQ(module_holding(ResourceType::dialog, 131), nullptr);
}

TEST_F(Installed, StaleInstanceFindsNothing) {
    HINSTANCE old = b;
    ASSERT_TRUE(uninstall(b));
    EXPECT_FALSE(uninstall(old));
    EXPECT_EQ(find_bitmap_entry(200, old), nullptr);
    EXPECT_EQ(find_bitmap_entry(200), nullptr);
    EXPECT_EQ(find_bitmap_entry(ResourceName("STU"), reinterpret_cast<HINSTANCE>(0x1234)), nullptr);
    b = install(second);
    EXPECT_NE(b, old);
    EXPECT_NE(find_bitmap_entry(200, b), nullptr);
}

TEST_F(Installed, LoadStringCopiesTruncatesAndTerminates) {
    char buf[64];
    EXPECT_EQ(LoadStringA(a, 101, buf, sizeof buf), 17);
    EXPECT_STREQ(buf, "&About Korvane...");
    EXPECT_EQ(LoadStringA(nullptr, 102, buf, sizeof buf), 6);
    EXPECT_STREQ(buf, "second");

    char small[5];
    std::memset(small, 'x', sizeof small);
    EXPECT_EQ(LoadStringA(a, 101, small, sizeof small), 4);
    EXPECT_STREQ(small, "&Abo");

    std::strcpy(buf, "junk");
    EXPECT_EQ(LoadStringA(a, 102, buf, sizeof buf), 0);  // only in the other module
    EXPECT_STREQ(buf, "");
    EXPECT_EQ(LoadStringA(a, 7, buf, sizeof buf), 0);
    EXPECT_EQ(LoadStringA(a, 101, nullptr, 10), 0);
    EXPECT_EQ(LoadStringA(a, 101, buf, 0), 0);
    EXPECT_EQ(LoadStringA(a, 0x10065, buf, sizeof buf), 0);  // not 101 cut to 16 bits
}

// Templates from hand-written tables; the compiler's own output is checked
// in rc_script_test.
constexpr ControlEntry controls[] = {
    {"STATIC", "", 129, -1, WS_CHILD | WS_VISIBLE | SS_BITMAP, 0, 0, 0, 255, 100},
    {"BUTTON", "&Continue", 0, 1000, WS_CHILD | BS_DEFPUSHBUTTON, 0, 195, 111, 57, 16},
};
constexpr DialogEntry dialog{{100, nullptr},
                             "About",
                             WS_POPUP | DS_SETFONT,
                             WS_EX_APPWINDOW,
                             "MS Sans Serif",
                             8,
                             0,
                             0,
                             255,
                             133,
                             {130, nullptr},
                             "",
                             controls};
constexpr MenuItemEntry items[] = {
    {0, menu_flag::popup, 0, "&File"},
    {1, 0, 32771, "&Open"},
    {1, menu_flag::separator, 0, ""},
    {1, menu_flag::popup, 0, "More"},
    {2, menu_flag::checked, 5, "Deep"},
    {1, 0, 32774, "E&xit"},
    {0, menu_flag::popup, 0, "&Help"},
    {1, 0, 32780, "&About"},
    {3, 0, 9, "orphan"},  // deeper than any popup allows: dropped
};
constexpr MenuEntry menu{{130, nullptr}, items};

TEST(Templates, DialogTableConverts) {
    DialogTemplate t = to_template(dialog);
    EXPECT_EQ(t.caption, "About");
    EXPECT_EQ(t.font_name, "MS Sans Serif");
    EXPECT_EQ(t.point_size, 8);
    EXPECT_EQ(t.exstyle, DWORD(WS_EX_APPWINDOW));
    EXPECT_EQ(t.menu, ResourceName(130));
    ASSERT_EQ(t.controls.size(), 2u);
    EXPECT_EQ(t.controls[0].text_id, 129);
    EXPECT_EQ(t.controls[0].id, -1);
    EXPECT_EQ(t.controls[1].x, 195);
    EXPECT_EQ(t.controls[1].cy, 16);
    EXPECT_EQ(t.controls[1].text, "&Continue");
}

TEST(Templates, MenuTreeFollowsDepths) {
    MenuTemplate t = to_template(menu);
    ASSERT_EQ(t.items.size(), 2u);
    const auto& file = t.items[0];
    EXPECT_TRUE(file.is_popup());
    ASSERT_EQ(file.children.size(), 4u);
    EXPECT_EQ(file.children[0].id, 32771u);
    EXPECT_TRUE(file.children[1].is_separator());
    ASSERT_EQ(file.children[2].children.size(), 1u);
    EXPECT_EQ(file.children[2].children[0].flags, UINT(menu_flag::checked));
    EXPECT_EQ(file.children[3].text, "E&xit");
    ASSERT_EQ(t.items[1].children.size(), 1u);
    EXPECT_EQ(t.items[1].children[0].id, 32780u);
}

}  // namespace
