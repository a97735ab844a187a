#include <gtest/gtest.h>

#include "tools/rc/emitter.h"
#include "tools/rc/parser.h"

namespace {

struct Parsed {
    std::optional<rc::Script> script;
    std::vector<rc::Diagnostic> errors;
};

Parsed parse(std::string_view text) {
    Parsed p;
    p.script = rc::parse_script(text, p.errors);
    return p;
}

// Each broken script names the line and says what is wrong.
TEST(RcParser, ErrorsNameTheLine) {
    struct Case {
        const char* script;
        int line;
        const char* message;
    } cases[] = {
        {"DIALOG 1 0 0 10 10\nSTYLE WS_POPUP | WS_BOGUS\nBEGIN END", 2,
         "unknown style name WS_BOGUS"},
        {"BITMAP 5 \"a.bmp\"\nBITMAP 5 \"b.bmp\"", 2, "duplicate bitmap 5"},
        {"BITMAP stu \"a.bmp\"\nBITMAP STU \"b.bmp\"", 2, "duplicate bitmap STU"},
        {"STRINGTABLE BEGIN\n1 \"a\"\n1 \"b\" END", 3, "duplicate string 1"},
        {"STRINGTABLE BEGIN\n1 \"open", 2, "string is not closed"},
        {"DIALOG 1 0 0 40000 10 BEGIN END", 1, "width out of range: 40000"},
        {"DIALOG 0 0 0 1 1 BEGIN END", 1, "resource number out of range: 0"},
        {"\n\nICON 70000 \"x.ico\"", 3, "resource number out of range: 70000"},
        {"DIALOG 1 0 0 1 1 BEGIN\nCONTROL \"a\" 70000 BUTTON 0 0 0 1 1 END", 2,
         "control id out of range: 70000"},
        {"MENU 1 BEGIN MENUITEM \"x\" END", 1, "expected command id"},
        {"/* never closed", 1, "comment is not closed"},
        {"DIALOG 1 0 0 1 1\nWHAT", 2, "expected a dialog option or BEGIN"},
        {"BITMAP 1 \"a\\q\"", 1, "unknown escape \\q"},
        {"BITMAP 1 0x1G \"a\"", 1, "bad character after number"},
        {"BITMAP 1 12a \"a\"", 1, "bad digit in number"},
        {"BITMAP 1 0x100000000 \"a\"", 1, "number too large"},
        {"DIALOG 1 0 0 1 1 BEGIN", 1, "expected CONTROL"},
        {"ACCELERATORS", 1, "expected DIALOG, MENU, STRINGTABLE, BITMAP or ICON"},
    };
    for (const Case& c : cases) {
        Parsed p = parse(c.script);
        EXPECT_FALSE(p.script) << c.script;
        ASSERT_EQ(p.errors.size(), 1u) << c.script;
        EXPECT_EQ(p.errors[0].line, c.line) << c.script;
        EXPECT_EQ(p.errors[0].message, c.message) << c.script;
    }
}

TEST(RcParser, MenusCannotNestWithoutEnd) {
    std::string s = "MENU 1 BEGIN";
    for (int i = 0; i < 20; ++i) s += " POPUP \"p\" BEGIN";
    Parsed p = parse(s);
    EXPECT_FALSE(p.script);
    ASSERT_FALSE(p.errors.empty());
    EXPECT_EQ(p.errors[0].message, "menu nested too deeply");
}

TEST(RcParser, KeywordsAnyCaseNamesUpperCase) {
    Parsed p = parse("bitmap PrevU \"prevu.bmp\" // comment\nicon 128 \"k.ico\"");
    ASSERT_TRUE(p.script);
    ASSERT_EQ(p.script->bitmaps.size(), 1u);
    EXPECT_EQ(p.script->bitmaps[0].key.name, "PREVU");
    EXPECT_EQ(p.script->bitmaps[0].path, "prevu.bmp");
    EXPECT_EQ(p.script->icons[0].key.id, 128);
}

TEST(RcParser, FontAddsSetFontAndStyleReplacesTheDefault) {
    Parsed p = parse("DIALOG 1 0 0 1 1 STYLE 0x80000000 FONT 8 \"X\" BEGIN END");
    ASSERT_TRUE(p.script);
    EXPECT_EQ(p.script->dialogs[0].style, 0x80000040u);
}

TEST(RcLiteral, EscapesWhatCouldBreakTheSource) {
    EXPECT_EQ(rc::cpp_literal("a\"b\\c"), "\"a\\\"b\\\\c\"");
    EXPECT_EQ(rc::cpp_literal("tab\there\n"), "\"tab\\011here\\012\"");
    EXPECT_EQ(rc::cpp_literal("?"
                              "?="),
              "\"\\077\\077=\"");
    EXPECT_EQ(rc::cpp_literal("\xe9"), "\"\\351\"");
}

}  // namespace
