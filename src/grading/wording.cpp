#include "grading/wording.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace counting_lab::grading {

std::string fixed(double value, int decimals) {
    const int length = std::snprintf(nullptr, 0, "%.*f", decimals, value);
    std::string text(static_cast<std::size_t>(std::max(length, 0)), '\0');
    (void)std::snprintf(text.data(), text.size() + 1, "%.*f", decimals, value);
    return text.find_first_not_of("-0.") == std::string::npos && text[0] == '-' ? text.substr(1) : text;
}

std::string plain(double value) {
    std::string text = fixed(value, 2);
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.') {
        text.pop_back();
    }
    return text;
}

std::string thousands(int n) {
    const std::string digits = std::to_string(n);
    std::string text;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) {
            text += ',';
        }
        text += digits[i];
    }
    return text;
}

std::string p_words(double probability) {
    if (probability >= 0.1) {
        return fixed(probability, 2);
    }
    if (probability < 1e-9) {  // and 1 / p no longer fits the words
        return "under 1 in " + thousands(1'000'000'000);
    }
    return "1 in " + thousands(static_cast<int>(std::lround(1 / probability)));
}

std::string plural(int n, const std::string& word) { return thousands(n) + " " + word + (n == 1 ? "" : "s"); }

std::string listed(const std::vector<std::string>& items) {
    std::string text;
    for (std::size_t i = 0; i < items.size(); ++i) {
        text += (i == 0 ? "" : i + 1 == items.size() ? " and " : ", ") + items[i];
    }
    return text;
}

std::string row_list(const std::vector<int>& lines, std::size_t shown) {
    std::vector<std::string> words;
    for (std::size_t i = 0; i < lines.size() && i < shown; ++i) {
        words.push_back(std::to_string(lines[i]));
    }
    if (lines.size() > shown) {
        words.push_back(thousands(static_cast<int>(lines.size() - shown)) + " more");
    }
    return (lines.size() == 1 ? "row " : "rows ") + listed(words);
}

std::string capitalised(std::string text) {
    if (!text.empty() && text[0] >= 'a' && text[0] <= 'z') {
        text[0] = static_cast<char>(text[0] - 'a' + 'A');
    }
    return text;
}

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

}  // namespace counting_lab::grading
