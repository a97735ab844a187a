#include "lexer.h"

#include <cctype>

namespace rc {

namespace {

bool ident_start(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool ident_char(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }
bool digit(char c) { return c >= '0' && c <= '9'; }

class Lexer {
  public:
    Lexer(std::string_view s, std::vector<Diagnostic>& errors) : s_(s), errors_(errors) {}

    bool run(std::vector<Token>& out) {
        while (true) {
            if (!skip_blanks()) return false;
            if (pos_ >= s_.size()) break;
            Token t;
            t.line = line_;
            char c = s_[pos_];
            if (c == '|') {
                t.kind = TokenKind::pipe;
                ++pos_;
            } else if (c == '"') {
                if (!string(t)) return false;
            } else if (digit(c) || (c == '-' && pos_ + 1 < s_.size() && digit(s_[pos_ + 1]))) {
                if (!number(t)) return false;
            } else if (ident_start(c)) {
                t.kind = TokenKind::identifier;
                while (pos_ < s_.size() && ident_char(s_[pos_])) t.text.push_back(s_[pos_++]);
            } else {
                return fail(std::string("unexpected character '") + c + "'");
            }
            out.push_back(std::move(t));
        }
        Token end;
        end.line = line_;
        out.push_back(end);
        return true;
    }

  private:
    bool fail(std::string message) {
        errors_.push_back({line_, std::move(message)});
        return false;
    }

    bool skip_blanks() {
        while (pos_ < s_.size()) {
            char c = s_[pos_];
            if (c == '\n') {
                ++line_;
                ++pos_;
            } else if (c == ' ' || c == '\t' || c == '\r' || c == ',') {
                ++pos_;
            } else if (s_.substr(pos_, 2) == "//") {
                while (pos_ < s_.size() && s_[pos_] != '\n') ++pos_;
            } else if (s_.substr(pos_, 2) == "/*") {
                std::size_t end = s_.find("*/", pos_ + 2);
                if (end == std::string_view::npos) return fail("comment is not closed");
                for (std::size_t i = pos_; i < end; ++i) line_ += s_[i] == '\n';
                pos_ = end + 2;
            } else {
                break;
            }
        }
        return true;
    }

    bool number(Token& t) {
        t.kind = TokenKind::number;
        bool negative = s_[pos_] == '-';
        if (negative) ++pos_;
        int base = 10;
        if (s_.substr(pos_, 2) == "0x" || s_.substr(pos_, 2) == "0X") {
            base = 16;
            pos_ += 2;
        }
        std::int64_t value = 0;
        std::size_t start = pos_;
        while (pos_ < s_.size() && std::isxdigit(static_cast<unsigned char>(s_[pos_]))) {
            char c = char(std::tolower(static_cast<unsigned char>(s_[pos_])));
            int d = digit(c) ? c - '0' : c - 'a' + 10;
            if (d >= base) return fail("bad digit in number");
            value = value * base + d;
            if (value > 0xffffffffLL) return fail("number too large");
            ++pos_;
        }
        if (pos_ == start) return fail("number has no digits");
        if (pos_ < s_.size() && ident_char(s_[pos_])) return fail("bad character after number");
        t.number = negative ? -value : value;
        return true;
    }

    bool string(Token& t) {
        t.kind = TokenKind::string;
        ++pos_;
        while (true) {
            if (pos_ >= s_.size() || s_[pos_] == '\n') return fail("string is not closed");
            char c = s_[pos_++];
            if (c == '"') {
                if (pos_ < s_.size() && s_[pos_] == '"') {
                    t.text.push_back('"');
                    ++pos_;
                    continue;
                }
                return true;
            }
            if (c != '\\') {
                t.text.push_back(c);
                continue;
            }
            if (pos_ >= s_.size()) return fail("string is not closed");
            char e = s_[pos_++];
            switch (e) {
                case 'n':
                    t.text.push_back('\n');
                    break;
                case 't':
                    t.text.push_back('\t');
                    break;
                case '\\':
                    t.text.push_back('\\');
                    break;
                case '"':
                    t.text.push_back('"');
                    break;
                default:
                    return fail(std::string("unknown escape \\") + e);
            }
        }
    }

    std::string_view s_;
    std::vector<Diagnostic>& errors_;
    std::size_t pos_ = 0;
    int line_ = 1;
};

}  // namespace

std::vector<Token> tokenize(std::string_view source, std::vector<Diagnostic>& errors) {
    std::vector<Token> out;
    if (!Lexer(source, errors).run(out)) out.clear();
    return out;
}

}  // namespace rc
