// The class check, row by row: reading a sheet's rows, grading each count,
// checking the arithmetic and reproducing a count from its second.
#include "grading/class_check.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>

#include "class_sheets.hpp"
#include "grading/wording.hpp"

namespace {

using namespace counting_lab::grading;
using class_sheets::cell;

TEST(ClassCheck, ReadsRowsAndSaysWhatIsWrong) {
    // Semicolons, a mark before UTF-8, names in any case, a quoted name.
    const Class_check semicolons = check_class(
        "\xEF\xBB\xBF"
        "Student; Source ;T_s;n\n\"Lee; Ann\";3;30;171\n\nBo;;30;170\nCy;2;30,5;90\n;1;10;5\nDi;1;10\n");
    ASSERT_EQ(semicolons.problem, "");
    ASSERT_EQ(semicolons.rows.size(), 5U);  // the blank line is no row, but it is counted
    EXPECT_EQ(semicolons.rows[0].student, "Lee; Ann");
    EXPECT_EQ(cell(semicolons, 0, "Setting"), "source 3");
    EXPECT_EQ(semicolons.rows[1].problem, "row 4: source or distance_cm is missing");
    // Beside semicolons a comma is a decimal mark; beside commas it is not.
    EXPECT_EQ(semicolons.rows[2].setting.t_s, 30.5);
    EXPECT_EQ(semicolons.rows[2].t_typed, "30.5");
    EXPECT_EQ(check_class("student,source,t_s,N\nCy,2,\"30,5\",90\n").rows[0].problem,
              "row 2: t_s “30,5” is not a number: Type decimals with a point: 2.5, not 2,5.");
    EXPECT_EQ(semicolons.rows[3].problem, "row 6: student is missing");
    EXPECT_EQ(semicolons.rows[4].problem, "row 7: N is missing");
    EXPECT_EQ(semicolons.summary.refused_lines, (std::vector<int>{4, 6, 7}));
    // Tabs, as a spreadsheet copies; both a source and a distance; a count in
    // words; settings the program would not take.
    const Class_check tabs = check_class(
        "student\tsource\tdistance_cm\tt_s\tN\nA\t1\t2\t30\t5\nB\t\t2.6\t10\t1e3\nC\t7\t\t10\t1\nD\t\t6\t500\t1\n");
    EXPECT_EQ(tabs.rows[0].problem, "row 2: source and distance_cm are both filled in: one of them, please");
    EXPECT_EQ(tabs.rows[1].problem, "row 3: N “1e3” is not a whole number written in digits");
    EXPECT_EQ(tabs.rows[2].problem, "row 4: there is no source 7; the sources are 1 to 5");
    EXPECT_EQ(tabs.rows[3].problem,
              "row 5: distance_cm 6 is outside the program's 0.5 to 5.0 cm; t_s 500 is outside the program's 10 to "
              "100 s");
    EXPECT_NE(check_class("student,t_s\nA,30\n").problem.find("names no column N and source or distance_cm"),
              std::string::npos);
    EXPECT_NE(check_class(" \n").problem.find("Paste a class sheet"), std::string::npos);
}

TEST(ClassCheck, TakesTenThousandRowsAndNoMore) {
    std::string sheet = "student,source,t_s,N\n";
    for (int i = 0; i < class_rows_limit; ++i) {
        sheet += "A,1,10,5\n";
    }
    EXPECT_EQ(check_class(sheet).rows.size(), 10'000U);
    sheet += "A,1,10,5\n";
    EXPECT_EQ(check_class(sheet).problem,
              "The sheet has 10,001 rows of counts; the check takes at most 10,000 at a time: split it.");
}

TEST(ClassCheck, ATimeToTheMinuteFitsOneOfItsSecondsOrNone) {
    // 09:02 as a spreadsheet saved it: 09:02:05, whose count row A has, and a
    // count that no second of 09:02 gives, in row B.
    const std::int64_t minute = class_sheets::nine_o_clock + 120;
    std::set<int> counts;
    for (std::int64_t second = minute; second < minute + 60; ++second) {
        counts.insert(class_sheets::count_at(3, 30, second));
    }
    const int N = class_sheets::count_at(3, 30, minute + 5);
    int other = N;
    while (counts.contains(other)) {
        ++other;
    }
    const Class_check check = check_class("student;source;t_s;N;time_utc\nA;3;30;" + std::to_string(N) +
                                          ";09.12.2026 09:02\nB;3;30;" + std::to_string(other) + ";09.12.2026 09:02\n");
    EXPECT_TRUE(check.rows[0].fits_minute);
    EXPECT_FALSE(check.rows[0].reproduced);  // never said to be reproduced
    EXPECT_FALSE(check.rows[0].not_reproduced());
    EXPECT_TRUE(cell(check, 0, "Reproduced").starts_with("to the minute: some second of it gives N (by chance "));
    EXPECT_EQ(cell(check, 1, "Reproduced"), "no: no second of its minute gives N");
    EXPECT_EQ(check.summary.not_in_minute_lines, std::vector<int>{3});
    EXPECT_TRUE(check.summary.not_reproduced_lines.empty());
    const double chance = check.rows[0].minute_chance;
    EXPECT_GT(chance, 0.05);  // some tens of distinct counts near the mean
    EXPECT_LT(chance, 1.0);
    const std::string words = class_summary_words(check);
    EXPECT_NE(words.find("Times to the minute, their second lost in a spreadsheet's save: 2 rows."), std::string::npos);
    EXPECT_NE(words.find("Timed to the minute: 2 rows; no second of its minute gives the count in 1 (row 3)."),
              std::string::npos)
        << words;
}

TEST(ClassCheck, GradesAndReproducesEachCount) {
    const std::int64_t second = class_sheets::nine_o_clock + 125;
    const int N = class_sheets::count_at(3, 30, second);
    const std::string time = utc_time(second);
    const Class_check check =
        check_class("student,source,t_s,N,time_utc\nA,3,30," + std::to_string(N) + "," + time + "\nB,3,30," +
                    std::to_string(N + 1) + "," + time +
                    "\nC,3,30,600,\nD,3,30,0,\nE,3,30,3,2026-12-09 09:02:05\nF,3,30,100,12/09/2026 09:02:05\n");
    EXPECT_EQ(check.rows[0].reproduced, N);
    EXPECT_EQ(cell(check, 0, "Reproduced"), "yes");
    EXPECT_EQ(cell(check, 1, "Reproduced"), "no: the program gave " + std::to_string(N) + " at that second");
    EXPECT_EQ(check.rows[2].verdict, Verdict::cannot_happen);
    EXPECT_EQ(cell(check, 2, "p"), "0");
    EXPECT_EQ(check.rows[3].verdict, Verdict::query);
    EXPECT_FALSE(check.rows[3].reproduced);
    EXPECT_EQ(check.rows[4].problem, "");  // a time as a spreadsheet writes it back
    EXPECT_EQ(check.rows[4].second, second);
    // A time that cannot be read: the count checked all the same.
    EXPECT_EQ(check.rows[5].problem, "");
    EXPECT_EQ(cell(check, 5, "Reproduced"), "time not read");
    EXPECT_EQ(cell(check, 3, "Reproduced"), "");
    EXPECT_EQ(check.summary.counted[static_cast<std::size_t>(Verdict::cannot_happen)], 1);
    EXPECT_EQ(check.rows[0].spread.mean, count_spread(30, counting_lab::setting_rate(3, 0)).mean);
    EXPECT_EQ(check.rows[0].p, two_sided_p(count_distribution(30, counting_lab::setting_rate(3, 0)), N));
}

// The student's m, n and sigma_n: right to the places written, "rounding"
// within 1 %, else what they should be.
TEST(ClassCheck, ChecksTheArithmetic) {
    const auto arithmetic = [](const std::string& m, const std::string& n, const std::string& sigma) {
        return check_class("student,source,t_s,N,m_per_s,n_per_s,sigma_n_per_s\nA,3,30,171," + m + "," + n + "," +
                           sigma + "\n")
            .rows.at(0)
            .arithmetic;
    };
    // N = 171 in 30 s: m = 5.7, n = 8.663, sigma_n = 0.662.
    EXPECT_EQ(arithmetic("5.700", "8.66", "0.66"), "right");
    EXPECT_EQ(arithmetic("57e-1", "", ""), "right");
    EXPECT_EQ(arithmetic("5.7", "8.70", ""), "rounding");
    // 3.6 % off is no rounding.
    EXPECT_EQ(arithmetic("", "8.97", ""), "n should be 8.66, not 8.97");
    // An exponent counts in the places written: 5.6 is not 5.7.
    EXPECT_EQ(arithmetic("56e-1", "", ""), "m should be 5.70, not 56e-1");
    // However many places a student writes, the answer has no more than a
    // double holds.
    EXPECT_EQ(arithmetic("0.900000000000000000000000000001", "", ""),
              "m should be 5.700000, not 0.900000000000000000000000000001");
    EXPECT_EQ(arithmetic("", "", ""), "");
    EXPECT_EQ(check_class("student,source,t_s,N,n_per_s\nC,3,30,600,9.12\n").rows[0].arithmetic,
              "n cannot be worked out: m τ = 1.20, the counter was never live");
}

}  // namespace
