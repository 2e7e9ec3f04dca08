#include "common/number_grammar.hpp"

#include <charconv>
#include <clocale>
#include <cstdlib>
#include <limits>
#include <string>
#include <system_error>

namespace counting_lab {

namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Skips the digits from `at`; returns how many there were.
std::size_t skip_digits(std::string_view word, std::size_t& at) {
    const std::size_t from = at;
    while (at < word.size() && is_digit(word[at])) {
        ++at;
    }
    return at - from;
}

void skip_sign(std::string_view word, std::size_t& at) {
    if (at < word.size() && (word[at] == '+' || word[at] == '-')) {
        ++at;
    }
}

// A word is a number only if all of it is.
bool is_integer(std::string_view word) {
    std::size_t at = 0;
    skip_sign(word, at);
    return skip_digits(word, at) > 0 && at == word.size();
}

bool is_decimal(std::string_view word) {
    std::size_t at = 0;
    skip_sign(word, at);
    std::size_t digits = skip_digits(word, at);
    if (at < word.size() && word[at] == '.') {
        ++at;
        digits += skip_digits(word, at);
    }
    if (digits == 0) {
        return false;
    }
    if (at < word.size() && (word[at] == 'e' || word[at] == 'E')) {
        ++at;
        skip_sign(word, at);
        if (skip_digits(word, at) == 0) {
            return false;
        }
    }
    return at == word.size();
}

}  // namespace

// Integers beyond an int's range read as its extreme of their sign, and
// decimals beyond a double's as an infinity: no range check accepts either.
bool parse_number(std::string_view word, int& value) {
    if (!is_integer(word)) {
        return false;
    }
    const char* first = word.data() + (word[0] == '+' ? 1 : 0);
    if (std::from_chars(first, word.data() + word.size(), value).ec == std::errc::result_out_of_range) {
        value = word[0] == '-' ? std::numeric_limits<int>::min() : std::numeric_limits<int>::max();
    }
    return true;
}

bool parse_number(std::string_view word, double& value) {
    if (!is_decimal(word)) {
        return false;
    }
    // strtod reads the point of the locale that the program has set: the
    // point that the grammar took is written as that one, so that "2.5" is
    // 2.5 whatever the locale (a German one's point is ",").
    std::string text(word);
    if (const auto point = text.find('.'); point != std::string::npos) {
        text.replace(point, 1, std::localeconv()->decimal_point);
    }
    value = std::strtod(text.c_str(), nullptr);  // beyond a double: an infinity of its sign
    return true;
}

}  // namespace counting_lab
