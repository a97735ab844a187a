// X keysyms (written as numbers: tests do not include X headers) to
// virtual keys and typed characters.
#include "win/x11/key_map.h"

#include <gtest/gtest.h>

#include "winuser.h"

using win::x11::typed_char;
using win::x11::virtual_key;

namespace {

struct Case {
    std::uint32_t base;
    std::uint32_t typed;
    UINT vk;
    const char* name;
};

TEST(KeyMap, NamedKeysGiveTheirVirtualKeys) {
    const Case cases[] = {
        {0xff09, 0xff09, VK_TAB, "Tab"},           {0xfe20, 0xfe20, VK_TAB, "ISO_Left_Tab"},
        {0xff0d, 0xff0d, VK_RETURN, "Return"},     {0xff8d, 0xff8d, VK_RETURN, "KP_Enter"},
        {0xff1b, 0xff1b, VK_ESCAPE, "Escape"},     {0x0020, 0x0020, VK_SPACE, "space"},
        {0xff08, 0xff08, VK_BACK, "BackSpace"},    {0xffff, 0xffff, VK_DELETE, "Delete"},
        {0xff50, 0xff50, VK_HOME, "Home"},         {0xff57, 0xff57, VK_END, "End"},
        {0xff55, 0xff55, VK_PRIOR, "Prior"},       {0xff56, 0xff56, VK_NEXT, "Next"},
        {0xff51, 0xff51, VK_LEFT, "Left"},         {0xff52, 0xff52, VK_UP, "Up"},
        {0xff53, 0xff53, VK_RIGHT, "Right"},       {0xff54, 0xff54, VK_DOWN, "Down"},
        {0xff63, 0xff63, VK_INSERT, "Insert"},     {0xffe1, 0xffe1, VK_SHIFT, "Shift_L"},
        {0xffe2, 0xffe2, VK_SHIFT, "Shift_R"},     {0xffe3, 0xffe3, VK_CONTROL, "Control_L"},
        {0xffe4, 0xffe4, VK_CONTROL, "Control_R"}, {0xffe9, 0xffe9, VK_MENU, "Alt_L"},
        {0xffea, 0xffea, VK_MENU, "Alt_R"},        {0xffbe, 0xffbe, VK_F1, "F1"},
        {0xffc2, 0xffc2, VK_F1 + 4, "F5"},         {0xffc9, 0xffc9, VK_F1 + 11, "F12"},
        {0x002e, 0x002e, 0xBE, "period"},
    };
    for (const Case& c : cases) EXPECT_EQ(virtual_key(c.base, c.typed), c.vk) << c.name;
}

TEST(KeyMap, LettersAndDigitsAreTheKeyNotTheShiftedSymbol) {
    for (std::uint32_t k = 'a'; k <= 'z'; ++k) {
        EXPECT_EQ(virtual_key(k, k), UINT('A' + (k - 'a')));
        // Shift or Caps Lock changes what is typed, not which key it is.
        EXPECT_EQ(virtual_key(k, k - 0x20), UINT('A' + (k - 'a')));
    }
    for (std::uint32_t k = '0'; k <= '9'; ++k) EXPECT_EQ(virtual_key(k, k), UINT(k));
    EXPECT_EQ(virtual_key('1', '!'), UINT('1'));
    EXPECT_EQ(virtual_key('B', 'B'), UINT('B'));
}

TEST(KeyMap, KeypadFollowsNumLock) {
    // Keypad 7: KP_Home without Num Lock, KP_7 with it.
    EXPECT_EQ(virtual_key(0xff95, 0xff95), UINT(VK_HOME));
    EXPECT_EQ(virtual_key(0xff95, 0xffb7), 0x67u);  // VK_NUMPAD7
    EXPECT_EQ(virtual_key(0xff9f, 0xff9f), UINT(VK_DELETE));
    EXPECT_EQ(virtual_key(0xff9f, 0xffae), 0x6Eu);  // VK_DECIMAL
}

TEST(KeyMap, UnknownKeysHaveNoVirtualKey) {
    EXPECT_EQ(virtual_key(0x1008ff11, 0x1008ff11), 0u);  // a volume key
    EXPECT_EQ(virtual_key(0, 0), 0u);
}

TEST(KeyMap, TypedCharactersComeFromTheTypedText) {
    EXPECT_EQ(typed_char('A', "a"), 'a');
    EXPECT_EQ(typed_char('A', "A"), 'A');
    EXPECT_EQ(typed_char('A', "\x01"), '\x01');  // Ctrl+A
    EXPECT_EQ(typed_char(VK_RETURN, "\r"), '\r');
    EXPECT_EQ(typed_char(VK_BACK, "\b"), '\b');
    EXPECT_EQ(typed_char(VK_ESCAPE, "\x1b"), '\x1b');
    EXPECT_EQ(typed_char(0, "\xe9"), '\xe9');  // a Latin-1 letter on a key we do not name
    EXPECT_EQ(typed_char(VK_DELETE, "\x7f"), 0);
    EXPECT_EQ(typed_char(VK_LEFT, ""), 0);
    EXPECT_EQ(typed_char('A', "ab"), 0);
}

}  // namespace
