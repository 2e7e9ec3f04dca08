// The check of a whole class's sheet: every count against the exact
// distribution of its setting, every student's arithmetic and scatter, the
// class as a whole, and identical counts, as typed results that render.hpp
// writes as HTML, SVG, Markdown, CSV or words.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "grading/setting.hpp"
#include "grading/statistics.hpp"

namespace counting_lab::grading {

/// The most rows of counts that one check takes.
inline constexpr int class_rows_limit = 10'000;

/// How many honest sets of a student's counts the scatter test draws.
inline constexpr int scatter_sets = 20'000;

/// One row of the sheet as checked, or as refused.
struct Checked_row {
    int line = 0;                    // the sheet's line it starts on
    std::vector<std::string> cells;  // the sheet's own cells, one per column of the header
    std::string problem;             // why the row is refused ("row 9: N is missing"); empty where it is checked
    std::string student;
    std::string setting_typed;  // "source 3" or "d = 2.5 cm", as written
    std::string t_typed;
    std::string N_typed;
    Setting setting;
    int N = 0;
    Mean_and_spread spread{};
    double p = 0;  // two-sided; 0 for a count that cannot happen
    Verdict verdict = Verdict::as_expected;
    std::string arithmetic;              // "", "right", "rounding", or what is wrong
    std::optional<std::int64_t> second;  // when the row's recording ended, where the sheet says
    std::string time_typed;
    std::optional<int> reproduced;  // the program's count at that second
    [[nodiscard]] bool refused() const { return !problem.empty(); }
};

/// A histogram of the class's counts at one setting, against the exact
/// distribution: the number of counts in each bin of `width` counts from
/// `first`, and how many an honest class would have there.
struct Class_histogram {
    std::string setting;  // "source 3, 30 s"
    int first = 0;
    int width = 1;
    std::vector<int> counted;
    std::vector<double> honest;
};

/// Where a student's or the class's D = sum of z^2 stands among the honest
/// sets: how many of `sets` came out at most D and at least D.
struct Scatter {
    enum class Reading { as_expected, too_regular, too_scattered };
    std::string student;  // empty for the class
    int counts = 0;
    double D = 0;
    int at_most = 0;
    int at_least = 0;
    int sets = 0;
    Reading reading = Reading::as_expected;
};

/// Two rows of different students with the same count at one setting.
struct Identical_pair {
    std::size_t one;  // indices into the check's rows
    std::size_t other;
    bool same_second;
};

/// What the check found of the class as a whole.
struct Class_summary {
    int read = 0;
    std::vector<int> refused_lines;
    std::array<int, 4> counted{};    // per verdict
    std::array<double, 3> honest{};  // what an honest class hands in: as expected, second look, query
    std::vector<Scatter> students;   // those with 3 or more counts
    std::optional<Scatter> whole_class;
    std::size_t pairs = 0;  // identical counts of different students
    double honest_pairs = 0;
    std::vector<Identical_pair> shown_pairs;  // those of one second first, at most `shown_pairs_limit`
};
inline constexpr std::size_t shown_pairs_limit = 12;

/// The check of a sheet. Where the sheet as a whole cannot be read,
/// `problem` says why and nothing else is filled in.
struct Class_check {
    std::string problem;
    std::vector<std::string> header;  // the sheet's columns, as written
    std::vector<Checked_row> rows;
    Class_summary summary;
    std::vector<Class_histogram> histograms;
};

/// Checks a sheet pasted or opened as text (see sheet.hpp).
Class_check check_class(std::string_view sheet);

}  // namespace counting_lab::grading
