#include "parser.h"

#include <algorithm>
#include <cctype>

#include "lexer.h"
#include "style_names.h"
#include "win/resources/resource_tables.h"

namespace rc {

namespace {

constexpr std::uint32_t ws_child = 0x40000000, ws_visible = 0x10000000;
constexpr std::uint32_t default_dialog_style = 0x80000000 | 0x00800000 | 0x00080000;
constexpr std::uint32_t ds_setfont = 0x40;
constexpr int max_menu_depth = 8;

std::string upper(std::string s) {
    for (char& c : s) c = char(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

class Parser {
  public:
    Parser(std::vector<Token> tokens, std::vector<Diagnostic>& errors)
        : t_(std::move(tokens)), errors_(errors) {}

    std::optional<Script> run() {
        Script s;
        while (peek().kind != TokenKind::end_of_input) {
            if (!statement(s)) return std::nullopt;
        }
        return s;
    }

  private:
    const Token& peek() const { return t_[pos_]; }
    const Token& next() { return t_[pos_ < t_.size() - 1 ? pos_++ : pos_]; }
    bool is_word(const Token& t, std::string_view w) const {
        return t.kind == TokenKind::identifier && upper(t.text) == w;
    }
    bool accept(std::string_view w) {
        if (!is_word(peek(), w)) return false;
        ++pos_;
        return true;
    }
    bool fail(const Token& at, std::string message) {
        errors_.push_back({at.line, std::move(message)});
        return false;
    }
    bool expect(std::string_view w) {
        if (accept(w)) return true;
        return fail(peek(), "expected " + std::string(w));
    }

    bool number(std::int64_t lo, std::int64_t hi, std::int64_t& out, const char* what) {
        const Token& t = next();
        if (t.kind != TokenKind::number) return fail(t, std::string("expected ") + what);
        if (t.number < lo || t.number > hi)
            return fail(t, std::string(what) + " out of range: " + std::to_string(t.number));
        out = t.number;
        return true;
    }
    template <typename T>
    bool number_as(T& out, const char* what, std::int64_t lo, std::int64_t hi) {
        std::int64_t v = 0;
        if (!number(lo, hi, v, what)) return false;
        out = T(v);
        return true;
    }
    bool coordinate(std::int16_t& out, const char* what) {
        return number_as(out, what, -32768, 32767);
    }
    bool string(std::string& out, const char* what) {
        const Token& t = next();
        if (t.kind != TokenKind::string) return fail(t, std::string("expected ") + what);
        out = t.text;
        return true;
    }

    bool key(Key& k) {
        const Token& t = next();
        if (t.kind == TokenKind::number) {
            if (t.number < 1 || t.number > 0xffff)
                return fail(t, "resource number out of range: " + std::to_string(t.number));
            k = {std::uint16_t(t.number), {}};
            return true;
        }
        if ((t.kind == TokenKind::identifier || t.kind == TokenKind::string) && !t.text.empty()) {
            k = {0, upper(t.text)};
            return true;
        }
        return fail(t, "expected a resource number or name");
    }

    // term { '|' term }, term = [NOT] (name | number)
    bool style(std::uint32_t base, std::uint32_t& out) {
        out = base;
        do {
            bool negate = accept("NOT");
            const Token& t = next();
            std::uint32_t v = 0;
            if (t.kind == TokenKind::number) {
                if (t.number < 0) return fail(t, "negative style value");
                v = std::uint32_t(t.number);
            } else if (t.kind == TokenKind::identifier) {
                auto known = style_value(t.text);
                if (!known) return fail(t, "unknown style name " + t.text);
                v = *known;
            } else {
                return fail(t, "expected a style");
            }
            out = negate ? out & ~v : out | v;
        } while (peek().kind == TokenKind::pipe && (++pos_, true));
        return true;
    }

    template <typename T>
    bool unique(const std::vector<T>& list, const Key& k, const Token& at, const char* kind) {
        for (const T& e : list)
            if (e.key == k) return fail(at, std::string("duplicate ") + kind + " " + k.describe());
        return true;
    }

    bool statement(Script& s) {
        const Token& t = peek();
        if (accept("DIALOG") || accept("DIALOGEX")) return dialog(s, t);
        if (accept("MENU")) return menu(s, t);
        if (accept("STRINGTABLE")) return strings(s);
        if (accept("BITMAP")) return file(s.bitmaps, t, "bitmap");
        if (accept("ICON")) return file(s.icons, t, "icon");
        return fail(t, "expected DIALOG, MENU, STRINGTABLE, BITMAP or ICON");
    }

    bool dialog(Script& s, const Token& at) {
        Dialog d;
        if (!key(d.key) || !unique(s.dialogs, d.key, at, "dialog")) return false;
        if (!coordinate(d.x, "x") || !coordinate(d.y, "y") || !coordinate(d.cx, "width") ||
            !coordinate(d.cy, "height"))
            return false;
        d.style = default_dialog_style;
        while (!accept("BEGIN")) {
            const Token& opt = peek();
            if (accept("CAPTION")) {
                if (!string(d.caption, "a caption")) return false;
            } else if (accept("STYLE")) {
                if (!style(0, d.style)) return false;
            } else if (accept("EXSTYLE")) {
                if (!style(0, d.exstyle)) return false;
            } else if (accept("FONT")) {
                if (!number_as(d.point_size, "point size", 1, 72) ||
                    !string(d.font_name, "a font name"))
                    return false;
            } else if (accept("MENU")) {
                Key m;
                if (!key(m)) return false;
                d.menu = m;
            } else if (accept("CLASS")) {
                if (!string(d.class_name, "a class name")) return false;
            } else {
                return fail(opt, "expected a dialog option or BEGIN");
            }
        }
        if (!d.font_name.empty()) d.style |= ds_setfont;
        while (!accept("END")) {
            if (!expect("CONTROL")) return false;
            Control c;
            if (!control(c)) return false;
            d.controls.push_back(std::move(c));
        }
        s.dialogs.push_back(std::move(d));
        return true;
    }

    bool control(Control& c) {
        const Token& text = next();
        if (text.kind == TokenKind::string) {
            c.text = text.text;
        } else if (text.kind == TokenKind::number && text.number >= 1 && text.number <= 0xffff) {
            c.text_id = std::uint16_t(text.number);
        } else {
            return fail(text, "expected the control's text or a resource number");
        }
        if (!number_as(c.id, "control id", -1, 0xffff)) return false;
        const Token& cls = next();
        if ((cls.kind != TokenKind::identifier && cls.kind != TokenKind::string) ||
            cls.text.empty())
            return fail(cls, "expected a window class");
        c.class_name = cls.text;
        if (!style(ws_child | ws_visible, c.style)) return false;
        if (!coordinate(c.x, "x") || !coordinate(c.y, "y") || !coordinate(c.cx, "width") ||
            !coordinate(c.cy, "height"))
            return false;
        if (!is_word(peek(), "CONTROL") && !is_word(peek(), "END")) return style(0, c.exstyle);
        return true;
    }

    bool menu(Script& s, const Token& at) {
        Menu m;
        if (!key(m.key) || !unique(s.menus, m.key, at, "menu")) return false;
        if (!expect("BEGIN") || !menu_items(m, 0)) return false;
        s.menus.push_back(std::move(m));
        return true;
    }

    bool menu_options(std::uint32_t& flags) {
        namespace mf = win::res::menu_flag;
        while (true) {
            if (accept("GRAYED"))
                flags |= mf::grayed;
            else if (accept("INACTIVE"))
                flags |= mf::disabled;
            else if (accept("CHECKED"))
                flags |= mf::checked;
            else if (accept("MENUBARBREAK"))
                flags |= mf::menubarbreak;
            else if (accept("MENUBREAK"))
                flags |= mf::menubreak;
            else if (accept("HELP"))
                flags |= mf::help;
            else
                return true;
        }
    }

    // Reads items up to the END that closes this level.
    bool menu_items(Menu& m, int depth) {
        if (depth >= max_menu_depth) return fail(peek(), "menu nested too deeply");
        while (!accept("END")) {
            const Token& t = peek();
            MenuItem item;
            item.depth = std::uint16_t(depth);
            if (accept("MENUITEM")) {
                if (accept("SEPARATOR")) {
                    item.flags = win::res::menu_flag::separator;
                } else if (!string(item.text, "the item's text") ||
                           !number_as(item.id, "command id", 0, 0xffff) ||
                           !menu_options(item.flags)) {
                    return false;
                }
                m.items.push_back(std::move(item));
            } else if (accept("POPUP")) {
                item.flags = win::res::menu_flag::popup;
                if (!string(item.text, "the popup's text") || !menu_options(item.flags) ||
                    !expect("BEGIN"))
                    return false;
                m.items.push_back(std::move(item));
                if (!menu_items(m, depth + 1)) return false;
            } else {
                return fail(t, "expected MENUITEM, POPUP or END");
            }
        }
        return true;
    }

    bool strings(Script& s) {
        if (!expect("BEGIN")) return false;
        while (!accept("END")) {
            const Token& at = peek();
            StringItem item;
            if (!number_as(item.id, "string id", 0, 0xffff) || !string(item.text, "the string"))
                return false;
            for (const StringItem& e : s.strings)
                if (e.id == item.id) return fail(at, "duplicate string " + std::to_string(e.id));
            s.strings.push_back(std::move(item));
        }
        return true;
    }

    bool file(std::vector<FileItem>& list, const Token& at, const char* kind) {
        FileItem f;
        f.line = at.line;
        if (!key(f.key) || !unique(list, f.key, at, kind) || !string(f.path, "a file name"))
            return false;
        list.push_back(std::move(f));
        return true;
    }

    std::vector<Token> t_;
    std::vector<Diagnostic>& errors_;
    std::size_t pos_ = 0;
};

}  // namespace

std::optional<Script> parse_script(std::string_view source, std::vector<Diagnostic>& errors) {
    std::vector<Token> tokens = tokenize(source, errors);
    if (tokens.empty()) return std::nullopt;
    return Parser(std::move(tokens), errors).run();
}

}  // namespace rc
