// Splits a resource script into tokens. Commas separate like blanks; "//" and
// "/* */" are comments; strings take C escapes and "" for a quote.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "script.h"

namespace rc {

enum class TokenKind { identifier, number, string, pipe, end_of_input };

struct Token {
    TokenKind kind = TokenKind::end_of_input;
    std::string text;  // identifier or string contents
    std::int64_t number = 0;
    int line = 1;
};

// Stops at the first error, which it appends to `errors`.
std::vector<Token> tokenize(std::string_view source, std::vector<Diagnostic>& errors);

}  // namespace rc
