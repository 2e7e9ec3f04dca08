// The teacher's guide's statistics and its checker of a student's count.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "class_check.hpp"
#include "count_check.hpp"
#include "simulation/lab.hpp"
#include "simulation/recording.hpp"
#include "statistics.hpp"

namespace {

using counting_lab::guide::central_range;
using counting_lab::guide::check_count;
using counting_lab::guide::share_outside;

bool starts_with(const std::string& text, const std::string& start) { return text.rfind(start, 0) == 0; }
bool ends_with(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

TEST(GuideStatistics, CentralRangeAndShareOutside) {
    // The central half of 1/4, 1/2, 1/4 is 0 to 1: the lowest counts at
    // which the distribution reaches 1/4 and 3/4.
    const std::vector<double> p{0.25, 0.5, 0.25};
    EXPECT_EQ(central_range(p, 0.5).low, 0);
    EXPECT_EQ(central_range(p, 0.5).high, 1);
    const std::vector<double> q{0.125, 0.75, 0.125};
    EXPECT_EQ(central_range(q, 0.5).low, 1);
    EXPECT_EQ(central_range(q, 0.5).high, 1);
    // Half at 0, half at 4: mean 2, spread 2; both lie exactly 1 sd out.
    const std::vector<double> two{0.5, 0, 0, 0, 0.5};
    EXPECT_EQ(share_outside(two, {2, 2}, 1), 0.0);
    EXPECT_EQ(share_outside(two, {2, 2}, 0.99), 1.0);
}

// Every setting the program accepts is checked, up to both ends of its
// ranges; what it refuses is answered in words.
TEST(GuideChecker, TakesWhatTheProgramTakes) {
    for (const char* t : {"10", "100", "55.5"}) {
        EXPECT_TRUE(starts_with(check_count("3", "", t, "37"), "Source 3 (A = 10.3 Bq), t = ")) << "t = " << t;
        EXPECT_TRUE(starts_with(check_count("", "1.0", t, "37"), "d = 1.0 cm (")) << "t = " << t;
    }
    for (const char* d : {"0.5", "5.0", "2.64"}) {
        EXPECT_TRUE(starts_with(check_count("", d, "10", "0"), "d = ")) << "d = " << d;
    }
    const std::string time_refused = "Counting time t (s): the program takes counting times from 10 to 100 s.";
    for (const char* t : {"9.99", "100.01", "-5"}) {
        EXPECT_EQ(check_count("3", "", t, "37"), time_refused) << "t = " << t;
    }
    const std::string distance_refused = "Distance d (cm): the program takes distances from 0.5 to 5.0 cm.";
    for (const char* d : {"0.49", "5.01", "0"}) {
        EXPECT_EQ(check_count("", d, "10", "1"), distance_refused) << "d = " << d;
    }
    EXPECT_EQ(check_count("6", "", "10", "1"), "Source (1-5): there is no source 6; the sources are 1 to 5.");
    EXPECT_EQ(check_count("", "2,5", "10", "1"),
              "Distance d (cm): “2,5” is not a number. Type decimals with a point: 2.5, not 2,5.");
}

TEST(GuideChecker, ZeroIsACount) {
    // Beyond the cut-off the only honest count, and below it a possible one.
    EXPECT_TRUE(ends_with(check_count("", "3", "10", "0"), "N = 0, as it must be.")) << check_count("", "3", "10", "0");
    EXPECT_TRUE(ends_with(check_count("", "5.0", "100", "1"), "Query it."));
    const std::string near_cut_off = check_count("", "2.6", "10", "0");
    EXPECT_NE(near_cut_off.find("N = 0 lies "), std::string::npos) << near_cut_off;
    EXPECT_NE(near_cut_off.find("Measured rate m = 0: nothing to correct."), std::string::npos) << near_cut_off;
    // One count per dead time, and the first at the start: 1,667 in 100 s.
    EXPECT_EQ(check_count("5", "", "100", "1667").find("cannot happen"), std::string::npos);
    EXPECT_NE(check_count("5", "", "100", "1668").find("cannot happen"), std::string::npos);
}

// The grader's rule is by probability: a count near the cut-off 4 sd out
// is only worth a second look, a 0 from source 1 just under 3.3 sd out is
// queried; both as the issue of a real sheet found them.
TEST(GuideChecker, GradesByTwoSidedProbability) {
    const std::string near_cut_off = check_count("", "2.60", "10", "13");
    EXPECT_NE(near_cut_off.find("more than 3 sd. Two-sided p = 1 in 981: worth a second look."), std::string::npos)
        << near_cut_off;
    const std::string nothing = check_count("1", "", "10", "0");
    EXPECT_NE(nothing.find("Two-sided p = 1 in 18,158: query it."), std::string::npos) << nothing;
    const std::string expected = check_count("3", "", "10", "37");
    EXPECT_NE(expected.find("Two-sided p = 0.70: as expected."), std::string::npos) << expected;
    const std::string far = check_count("3", "", "30", "191");
    EXPECT_NE(far.find("Two-sided p = under 1 in 1,000,000,000: query it."), std::string::npos) << far;
    // Too few counts for z_n: the count's p is what to grade on.
    EXPECT_NE(check_count("1", "", "10", "9").find("too few counts for z_n"), std::string::npos);
    EXPECT_EQ(expected.find("too few counts"), std::string::npos);
}

TEST(GuideChecker, SaysWhatWasTyped) {
    // The count and the distance as typed, the highest count one that can happen.
    EXPECT_NE(check_count("3", "", "10", "99999999999").find("N = 99999999999 cannot happen"), std::string::npos);
    EXPECT_TRUE(starts_with(check_count("", "2.639", "15", "2"), "d = 2.639 cm ("));
    EXPECT_EQ(check_count("3", "", "10", "1e3"),
              "Count N: “1e3” is not a whole number: write the count in digits, as 37.");
    EXPECT_EQ(check_count("5", "", "30", "500").find("cannot happen"), std::string::npos);
    EXPECT_NE(check_count("5", "", "30", "501").find("counts more than 500"), std::string::npos);
}

}  // namespace

namespace class_sheet {

using counting_lab::guide::check_class;
using counting_lab::guide::Class_check;

// One honest row: the program's count at that second.
std::string honest(const std::string& student, int source, std::int64_t second) {
    const int N = counting_lab::count_of_second(30, counting_lab::setting_rate(source, 0), counting_lab::tau, second);
    return student + "," + std::to_string(source) + ",30," + std::to_string(N) + "," +
           counting_lab::guide::utc_time(second) + "\n";
}

std::string cell(const Class_check& check, std::size_t row, const std::string& column) {
    const auto* const at =
        std::find(counting_lab::guide::class_columns.begin(), counting_lab::guide::class_columns.end(), column);
    return check.table.at(row).at(static_cast<std::size_t>(at - counting_lab::guide::class_columns.begin()));
}

TEST(ClassCheck, ReadsSheetsAsSpreadsheetsWriteThem) {
    // Semicolons, a mark before UTF-8, names in any case, a quoted name.
    const Class_check semicolons = check_class(
        "\xEF\xBB\xBFStudent; Source ;T_s;n\n\"Lee; Ann\";3;30;171\n\nBo;;30;170\nCy;2;30,5;90\n;1;10;5\nDi;1;10\n");
    ASSERT_EQ(semicolons.problem, "");
    ASSERT_EQ(semicolons.table.size(), 5U);  // the blank line is no row, but it is counted
    EXPECT_EQ(cell(semicolons, 0, "Student"), "Lee; Ann");
    EXPECT_EQ(cell(semicolons, 0, "Setting"), "source 3");
    EXPECT_EQ(semicolons.table[1][1], "row 4: source or distance_cm is missing");
    EXPECT_EQ(semicolons.table[2][1], "row 5: t_s “30,5” is not a number: Type decimals with a point: 2.5, not 2,5.");
    EXPECT_EQ(semicolons.table[3][1], "row 6: student is missing");
    EXPECT_EQ(semicolons.table[4][1], "row 7: N is missing");
    EXPECT_NE(semicolons.summary.find("Rows: 1 read, 4 refused (rows 4, 5, 6 and 7)."), std::string::npos);
    // Tabs, as a spreadsheet copies; both a source and a distance; a count in words.
    const Class_check tabs = check_class("student\tsource\tdistance_cm\tt_s\tN\nA\t1\t2\t30\t5\nB\t\t2.6\t10\t1e3\n");
    EXPECT_EQ(tabs.table[0][1], "row 2: source and distance_cm are both filled in: one of them, please");
    EXPECT_EQ(tabs.table[1][1], "row 3: N “1e3” is not a whole number written in digits");
    EXPECT_NE(check_class("student,t_s\nA,30\n").problem.find("names no column N and source or distance_cm"),
              std::string::npos);
    std::string big = "student,source,t_s,N\n";
    for (int i = 0; i <= counting_lab::guide::class_rows_limit; ++i) {
        big += "A,1,10,5\n";
    }
    EXPECT_NE(check_class(big).problem.find("10,001 rows"), std::string::npos);
}

TEST(ClassCheck, GradesReproducesAndChecksTheArithmetic) {
    const std::int64_t second = 1'796'806'925;
    const int N = counting_lab::count_of_second(30, counting_lab::setting_rate(3, 0), counting_lab::tau, second);
    const double m = N / 30.0;
    const double n = m / (1 - m * counting_lab::tau);
    const auto fixed = counting_lab::guide::fixed;
    const std::string time = "2026-12-09T09:02:05Z";
    const Class_check check = check_class(
        "student,source,t_s,N,m_per_s,n_per_s,sigma_n_per_s,time_utc\n"
        "A,3,30," +
        std::to_string(N) + "," + fixed(m, 3) + "," + fixed(n, 2) + "," + fixed(n / std::sqrt(N), 2) + "," + time +
        "\n"
        "B,3,30," +
        std::to_string(N + 1) + "," + fixed(m, 3) + "," + fixed(n * 1.005, 2) + ",," + time +
        "\n"
        "C,3,30,600,,9.12,,\n"
        "D,3,30,0,,,,\n"
        "E,3,30," +
        std::to_string(N) + ",,9.12,,\n");
    EXPECT_EQ(cell(check, 0, "Reproduced"), "yes");
    EXPECT_EQ(cell(check, 0, "Arithmetic"), "right");
    EXPECT_EQ(cell(check, 1, "Reproduced"), "no: the program gave " + std::to_string(N) + " at that second");
    EXPECT_EQ(cell(check, 1, "Arithmetic"), "rounding");  // m from another N, within 1 %
    EXPECT_EQ(cell(check, 2, "Verdict"), "cannot happen");
    EXPECT_EQ(cell(check, 2, "p"), "0");
    EXPECT_EQ(cell(check, 2, "Arithmetic"), "n cannot be worked out: m τ = 1.20, the counter was never live");
    EXPECT_EQ(cell(check, 4, "Arithmetic"), "n should be " + fixed(n, 2) + ", not 9.12");
    EXPECT_EQ(cell(check, 3, "Verdict"), "query it");
    EXPECT_EQ(cell(check, 3, "Reproduced"), "");
    EXPECT_NE(check.summary.find("Cannot happen: 1 (an honest class: 0)."), std::string::npos);
}

TEST(ClassCheck, TellsInventedAndScatteredSetsFromHonestOnes) {
    std::string sheet = "student,source,t_s,N,time_utc\n";
    const std::int64_t start = 1'796'806'800;
    for (int k = 0; k < 15; ++k) {
        sheet += honest("Honest", 1 + k % 5, start + std::int64_t{40} * k);
        // Counts at the means: invented.
        const double rate = counting_lab::setting_rate(1 + k % 5, 0);
        const auto spread = counting_lab::guide::count_spread(30, rate);
        sheet += "Neat," + std::to_string(1 + k % 5) + ",30," +
                 std::to_string(static_cast<int>(std::lround(spread.mean))) + ",\n";
        sheet += "Wild," + std::to_string(1 + k % 5) + ",30," +
                 std::to_string(static_cast<int>(
                     std::lround(spread.mean + (k % 2 == 1 ? 2.5 : -2.5) * spread.standard_deviation))) +
                 ",\n";
    }
    sheet += honest("Twin", 2, start + 40);  // Honest's second count, at the same second
    const Class_check check = check_class(sheet);
    const auto line_of = [&](const std::string& who) {
        const auto at = check.summary.find("- " + who + " (");
        return at == std::string::npos ? "" : check.summary.substr(at, check.summary.find('\n', at) - at);
    };
    EXPECT_NE(line_of("Honest").find(": as expected."), std::string::npos) << line_of("Honest");
    EXPECT_NE(line_of("Neat").find(": too regular."), std::string::npos) << line_of("Neat");
    EXPECT_NE(line_of("Wild").find(": too scattered."), std::string::npos) << line_of("Wild");
    EXPECT_EQ(line_of("Twin"), "");  // one count: no scatter test
    EXPECT_NE(check.summary.find("The class (46 counts)"), std::string::npos);
    EXPECT_EQ(check.histograms.size(), 1U);  // source 2 alone has 10 counts
    EXPECT_NE(check.summary.find("in the same second (" + counting_lab::guide::utc_time(start + 40) + ")"),
              std::string::npos)
        << check.summary;
}

TEST(ClassCheck, WritesACsvThatNoSpreadsheetRuns) {
    const Class_check check = check_class("student,source,t_s,N\n=HYPERLINK(\"x\"),3,30,171\n\"@a, b\",3,30,\n");
    const std::string csv = counting_lab::guide::class_csv(check);
    EXPECT_EQ(csv.substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_NE(csv.find("student,source,t_s,N,mean,sd,p,verdict,arithmetic,reproduced\r\n"), std::string::npos);
    EXPECT_NE(csv.find("\r\n\"'=HYPERLINK(\"\"x\"\")\",3,30,171,"), std::string::npos) << csv;
    EXPECT_NE(csv.find("\r\n\"'@a, b\",3,30,,,,,row 3: N is missing,,\r\n"), std::string::npos) << csv;
    const std::string html = counting_lab::guide::class_table_html(check);
    EXPECT_NE(html.find("<td>=HYPERLINK(&quot;x&quot;)</td>"), std::string::npos);
}

}  // namespace class_sheet
