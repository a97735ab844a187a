// The platform's in-memory template layout. Strings are UTF-16 in the
// template and UTF-8 in the engine.
#include "win/dialogs/dialog_template_binary.h"

#include <strings.h>

#include <cstring>
#include <string>

namespace win::dialogs {

static_assert(sizeof(DLGTEMPLATE) == 18);
static_assert(offsetof(DLGTEMPLATE, cdit) == 8);
static_assert(offsetof(DLGTEMPLATE, cy) == 16);
static_assert(sizeof(DLGITEMTEMPLATE) == 18);
static_assert(offsetof(DLGITEMTEMPLATE, x) == 8);
static_assert(offsetof(DLGITEMTEMPLATE, id) == 16);

namespace {

// Class atoms of the predefined control classes.
struct Atom {
    std::uint16_t atom;
    const char* name;
};
constexpr Atom kAtoms[] = {{0x80, "BUTTON"},  {0x81, "EDIT"},      {0x82, "STATIC"},
                           {0x83, "LISTBOX"}, {0x84, "SCROLLBAR"}, {0x85, "COMBOBOX"}};

class Reader {
  public:
    explicit Reader(const std::uint8_t* p) : p_(p) {}
    std::uint16_t word() {
        std::uint16_t v;
        std::memcpy(&v, p_ + at_, 2);
        at_ += 2;
        return v;
    }
    void align(size_t n) { at_ = (at_ + n - 1) / n * n; }
    const std::uint8_t* here() const { return p_ + at_; }
    void skip(size_t n) { at_ += n; }

    std::string utf16z() {
        std::string out;
        for (;;) {
            std::uint32_t c = word();
            if (!c) break;
            if (c >= 0xD800 && c < 0xDC00) {
                std::uint32_t lo = word();
                c = 0x10000 + ((c - 0xD800) << 10) + (lo - 0xDC00);
            }
            append_utf8(out, c);
        }
        return out;
    }

    // A name or a number: 0 = none, 0xFFFF = number follows, else a string.
    void name_or_number(std::string* name, std::uint16_t* number) {
        std::uint16_t first = word();
        if (first == 0) return;
        if (first == 0xFFFF) {
            *number = word();
            return;
        }
        at_ -= 2;
        *name = utf16z();
    }

  private:
    static void append_utf8(std::string& out, std::uint32_t c) {
        if (c < 0x80) {
            out += char(c);
        } else if (c < 0x800) {
            out += char(0xC0 | (c >> 6));
            out += char(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += char(0xE0 | (c >> 12));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        } else {
            out += char(0xF0 | (c >> 18));
            out += char(0x80 | ((c >> 12) & 0x3F));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        }
    }

    const std::uint8_t* p_;
    size_t at_ = 0;
};

void put_utf16(std::vector<std::uint16_t>& out, const std::string& s) {
    for (size_t i = 0; i < s.size();) {
        auto b = static_cast<unsigned char>(s[i]);
        std::uint32_t c = b;
        int extra = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
        if (extra) c = b & (0x3F >> extra);
        ++i;
        for (int k = 0; k < extra && i < s.size(); ++k, ++i) c = (c << 6) | (s[i] & 0x3F);
        if (c >= 0x10000) {
            c -= 0x10000;
            out.push_back(std::uint16_t(0xD800 + (c >> 10)));
            out.push_back(std::uint16_t(0xDC00 + (c & 0x3FF)));
        } else {
            out.push_back(std::uint16_t(c));
        }
    }
    out.push_back(0);
}

void put_dwords(std::vector<std::uint16_t>& out, std::uint32_t a, std::uint32_t b) {
    out.push_back(std::uint16_t(a));
    out.push_back(std::uint16_t(a >> 16));
    out.push_back(std::uint16_t(b));
    out.push_back(std::uint16_t(b >> 16));
}

}  // namespace

std::optional<res::DialogTemplate> parse_dialog_template(const DLGTEMPLATE* data) {
    if (!data) return std::nullopt;
    Reader r(reinterpret_cast<const std::uint8_t*>(data));
    DLGTEMPLATE head;
    std::memcpy(&head, data, sizeof head);
    std::uint16_t first_words[2];
    std::memcpy(first_words, data, 4);
    if (first_words[0] == 1 && first_words[1] == 0xFFFF) return std::nullopt;
    r.skip(sizeof head);

    res::DialogTemplate t;
    t.style = head.style;
    t.exstyle = head.dwExtendedStyle;
    t.x = head.x, t.y = head.y, t.cx = head.cx, t.cy = head.cy;
    std::string menu_name;
    std::uint16_t menu_id = 0;
    r.name_or_number(&menu_name, &menu_id);
    if (!menu_name.empty())
        t.menu = res::ResourceName(menu_name);
    else if (menu_id)
        t.menu = res::ResourceName(int(menu_id));
    std::uint16_t class_atom = 0;
    r.name_or_number(&t.class_name, &class_atom);
    t.caption = r.utf16z();
    if (t.style & DS_SETFONT) {
        t.point_size = r.word();
        t.font_name = r.utf16z();
    }
    for (int i = 0; i < head.cdit; ++i) {
        r.align(4);
        DLGITEMTEMPLATE item;
        std::memcpy(&item, r.here(), sizeof item);
        r.skip(sizeof item);
        res::DialogControl c;
        c.style = item.style;
        c.exstyle = item.dwExtendedStyle;
        c.x = item.x, c.y = item.y, c.cx = item.cx, c.cy = item.cy;
        c.id = int(std::int16_t(item.id));
        std::uint16_t atom = 0;
        r.name_or_number(&c.class_name, &atom);
        for (const Atom& a : kAtoms)
            if (atom == a.atom) c.class_name = a.name;
        r.name_or_number(&c.text, &c.text_id);
        std::uint16_t extra = r.word();
        r.skip(extra);
        t.controls.push_back(std::move(c));
    }
    return t;
}

std::vector<std::uint16_t> build_dialog_template(const res::DialogTemplate& tmpl) {
    std::vector<std::uint16_t> out;
    DWORD style = tmpl.style | (tmpl.font_name.empty() ? 0 : DS_SETFONT);
    put_dwords(out, style, tmpl.exstyle);
    out.push_back(std::uint16_t(tmpl.controls.size()));
    for (int v : {tmpl.x, tmpl.y, tmpl.cx, tmpl.cy}) out.push_back(std::uint16_t(std::int16_t(v)));
    if (tmpl.menu.empty()) {
        out.push_back(0);
    } else if (tmpl.menu.is_number()) {
        out.push_back(0xFFFF);
        out.push_back(tmpl.menu.id());
    } else {
        put_utf16(out, tmpl.menu.name());
    }
    if (tmpl.class_name.empty())
        out.push_back(0);
    else
        put_utf16(out, tmpl.class_name);
    put_utf16(out, tmpl.caption);
    if (style & DS_SETFONT) {
        out.push_back(std::uint16_t(tmpl.point_size));
        put_utf16(out, tmpl.font_name);
    }
    for (const res::DialogControl& c : tmpl.controls) {
        if (out.size() % 2) out.push_back(0);
        put_dwords(out, c.style, c.exstyle);
        for (int v : {c.x, c.y, c.cx, c.cy}) out.push_back(std::uint16_t(std::int16_t(v)));
        out.push_back(std::uint16_t(c.id));
        std::uint16_t atom = 0;
        for (const Atom& a : kAtoms)
            if (strcasecmp(c.class_name.c_str(), a.name) == 0) atom = a.atom;
        if (atom) {
            out.push_back(0xFFFF);
            out.push_back(atom);
        } else {
            put_utf16(out, c.class_name);
        }
        if (c.text_id) {
            out.push_back(0xFFFF);
            out.push_back(c.text_id);
        } else {
            put_utf16(out, c.text);
        }
        out.push_back(0);  // no creation data
    }
    return out;
}

}  // namespace win::dialogs
