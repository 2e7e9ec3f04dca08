// How the grading code writes numbers and lists for a teacher to read: the
// one-count check, the class check, the answer key and the guide all write
// them alike.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace counting_lab::grading {

/// A value with `decimals` places, "0.0" rather than "-0.0"; however many
/// digits it takes.
std::string fixed(double value, int decimals);

/// A number as a student writes it, to two places at most: 30, 12.5, 2.64.
std::string plain(double value);

/// A whole number with a comma between thousands: 200,000.
std::string thousands(int n);

/// A probability as a grader reads it: "0.62" from 0.1 up, "1 in 981" below,
/// "under 1 in 1,000,000,000" below that.
std::string p_words(double probability);

/// A count of things: "1 count", "2 counts".
std::string plural(int n, const std::string& word);

/// The items in a sentence: "a, b and c".
std::string listed(const std::vector<std::string>& items);

/// Row numbers in words, at most `shown` of them: "row 3", "rows 3, 5 and
/// 2 more".
std::string row_list(const std::vector<int>& lines, std::size_t shown);

/// Text with its first letter, if a lower-case ASCII one, made a capital.
std::string capitalised(std::string text);

/// Text without the blanks and line ends around it.
std::string_view trimmed(std::string_view text);

}  // namespace counting_lab::grading
