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

/// How rare a student's or the class's scatter must be, on either side, to
/// be too regular or too scattered.
inline constexpr double scatter_rarer_than = 1.0 / 200;

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
    // A time to the minute (its second lost in a spreadsheet's save): its
    // first second, whether some second of the minute gives N, and the chance
    // that an honest count at the setting agrees with one of the minute's.
    std::optional<std::int64_t> minute;
    bool fits_minute = false;
    double minute_chance = 0;
    std::vector<std::string> look;  // why a teacher looks at this row: "query it", "not reproduced", ...
    [[nodiscard]] bool refused() const { return !problem.empty(); }
    [[nodiscard]] bool not_reproduced() const { return (reproduced && *reproduced != N) || (minute && !fits_minute); }
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

/// Where a student's or the class's D = sum of z^2 stands in the exact
/// distribution of an honest D' at the same settings (scatter_distribution.hpp).
struct Scatter {
    enum class Reading { as_expected, too_regular, too_scattered };
    std::string student;  // empty for the class
    int counts = 0;
    int refused = 0;     // the student's rows refused, whose counts are not in D
    int recordings = 0;  // for the class: its counts, one of each second
    double D = 0;
    double at_most = 1;   // P(D' <= D)
    double at_least = 1;  // P(D' >= D)
    Reading reading = Reading::as_expected;
    // A third or more of the student's rows refused: D speaks of the rest.
    [[nodiscard]] bool many_refused() const { return refused * 3 >= counts + refused && refused > 0; }
};

/// Two rows of different students with the same count at one setting.
struct Identical_pair {
    std::size_t one;  // indices into the check's rows
    std::size_t other;
    bool same_second;
};

/// Two students whose counts at the settings they share are equal more
/// often than honest counts are: `equal` of the `compared` pairs of counts
/// (each student's first count at a setting against the other's first, and
/// so on; pairs from the same second left out, as those are equal by
/// design), with the exact chance of that many or more. A file handed in
/// twice: every row of one is a row of the other, setting, second and count.
struct Copied_pair {
    std::string one;
    std::string other;
    int equal = 0;
    int compared = 0;
    double chance = 1;
    bool same_file = false;
};

/// The chance below which a pair of students is flagged in a class of
/// `student_pairs` pairs: 1 in 200 shared out over them all (Sidak's), so
/// that an honest class shows a flagged pair at most 1 time in 200.
double copied_rarer_than(std::size_t student_pairs);

/// A student a teacher should talk to, and every reason, the strongest first.
struct Student_to_talk_to {
    std::string student;
    std::vector<std::string> reasons;
};

/// What the check found of the class as a whole.
struct Class_summary {
    std::vector<Student_to_talk_to> to_talk_to;
    int read = 0;
    std::vector<int> refused_lines;
    int timed = 0;  // rows with the second their recording ended
    std::vector<int> not_reproduced_lines;
    int to_the_minute = 0;     // rows timed to the minute
    double minute_chance = 0;  // their mean chance of agreeing with a second of the minute
    std::vector<int> not_in_minute_lines;
    std::array<int, 4> counted{};             // per verdict
    std::array<double, 3> honest{};           // what an honest class hands in: as expected, second look, query
    std::vector<Scatter> students;            // those with 3 or more counts
    std::optional<Scatter> whole_class;       // one count of each second
    std::size_t same_second_pairs = 0;        // identical counts of different students from one second
    std::size_t pairs = 0;                    // identical counts of different students at different seconds
    double honest_pairs = 0;                  // how many of those an honest class has by chance
    std::vector<Identical_pair> shown_pairs;  // those of one second first, at most `shown_pairs_limit`
    std::vector<Copied_pair> copied;          // pairs whose chance is below `copied_rarer_than`
    std::size_t student_pairs = 0;            // pairs of students who share a setting
    double copied_rarer_than = 0;             // 1 in 200 allowed for every pair of the class
};
inline constexpr std::size_t shown_pairs_limit = 12;

/// The check of a sheet. Where the sheet as a whole cannot be read,
/// `problem` says why and nothing else is filled in.
struct Class_check {
    std::string problem;
    std::vector<std::string> read_as;  // what reading a spreadsheet's save into the page's form did
    std::vector<std::string> header;   // the sheet's columns, as written
    std::vector<Checked_row> rows;
    Class_summary summary;
    std::vector<Class_histogram> histograms;
};

/// Checks a sheet pasted or opened as text (see sheet.hpp).
Class_check check_class(std::string_view sheet);

}  // namespace counting_lab::grading
