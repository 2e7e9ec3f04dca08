// The class check of the class as a whole: verdict counts, each student's
// and the class's scatter, identical counts, histograms.
#include "grading/class_summary.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "class_sheets.hpp"
#include "grading/sheet.hpp"

namespace {

using namespace counting_lab::grading;
using class_sheets::honest;
using class_sheets::nine_o_clock;

const Scatter* scatter_of(const Class_check& check, const std::string& student) {
    for (const Scatter& s : check.summary.students) {
        if (s.student == student) {
            return &s;
        }
    }
    return nullptr;
}

TEST(ClassSummary, TellsInventedAndScatteredSetsFromHonestOnes) {
    std::string sheet = "student,source,t_s,N,time_utc\n";
    for (int k = 0; k < 15; ++k) {
        const int source = 1 + k % 5;
        sheet += honest("Honest", source, nine_o_clock + std::int64_t{40} * k);
        // Counts at the means: invented; 2.5 sd out, one side then the other.
        const auto spread = count_spread(30, counting_lab::setting_rate(source, 0));
        sheet += "Neat," + std::to_string(source) + ",30," + std::to_string(std::lround(spread.mean)) + ",\n";
        const double wild = spread.mean + (k % 2 == 1 ? 2.5 : -2.5) * spread.standard_deviation;
        sheet += "Wild," + std::to_string(source) + ",30," + std::to_string(std::lround(wild)) + ",\n";
    }
    sheet += honest("Twin", 2, nine_o_clock + 40);  // Honest's second count, at the same second
    const Class_check check = check_class(sheet);
    ASSERT_NE(scatter_of(check, "Honest"), nullptr);
    EXPECT_EQ(scatter_of(check, "Honest")->reading, Scatter::Reading::as_expected);
    EXPECT_EQ(scatter_of(check, "Neat")->reading, Scatter::Reading::too_regular);
    EXPECT_EQ(scatter_of(check, "Wild")->reading, Scatter::Reading::too_scattered);
    EXPECT_EQ(scatter_of(check, "Twin"), nullptr);  // one count: no scatter test
    EXPECT_EQ(check.summary.whole_class->counts, 46);
    ASSERT_EQ(check.histograms.size(), 1U);  // source 2 alone has 10 counts
    EXPECT_EQ(check.histograms[0].setting, "source 2, 30 s");
    int counted = 0;
    for (const int c : check.histograms[0].counted) {
        counted += c;
    }
    EXPECT_EQ(counted, 10);
}

// The class's D takes the counts of one second at one setting once: the
// program gave them one draw.
TEST(ClassSummary, CountsOneSecondOnceForTheClass) {
    std::string sheet = "student,source,t_s,N,time_utc\n";
    for (int k = 0; k < 6; ++k) {
        const std::int64_t at = nine_o_clock + std::int64_t{40} * k;
        sheet += honest("Ann", 1 + k % 5, at) + honest("Bob", 1 + k % 5, at) + honest("Cy", 2, at + 1);
    }
    const Class_check check = check_class(sheet);
    ASSERT_TRUE(check.summary.whole_class);
    EXPECT_EQ(check.summary.whole_class->counts, 18);
    EXPECT_EQ(check.summary.whole_class->recordings, 12);
    // Ann's and Bob's D are one and the same; the class's holds it once.
    EXPECT_EQ(check.summary.students[0].D, check.summary.students[1].D);
    EXPECT_NEAR(check.summary.whole_class->D, check.summary.students[0].D + check.summary.students[2].D, 1e-9);
}

// First in the summary: each student to talk to, with every reason, the
// strongest first; the rows carry theirs.
TEST(ClassSummary, StudentsToTalkTo) {
    const std::int64_t at = nine_o_clock;
    const int N = class_sheets::count_at(3, 30, at);
    const Class_check check = check_class(
        "student,source,t_s,N,n_per_s,time_utc\n"
        "Ann,3,30," +
        std::to_string(N) + ",9.99," + utc_time(at) +
        "\n"  // arithmetic
        "Ann,3,30," +
        std::to_string(N + 1) + ",," + utc_time(at + 40) +
        "\n"                // not reproduced, most likely
        "Bob,3,30,600,,\n"  // cannot happen
        "Bob,3,30,0,,\n"    // query it
        "Cy,3,30," +
        std::to_string(N) + ",," + utc_time(at) + "\n");  // as the program counts
    const auto& talk = check.summary.to_talk_to;
    ASSERT_EQ(talk.size(), 2U);
    const bool again = class_sheets::count_at(3, 30, at + 40) == N + 1;
    EXPECT_EQ(talk[0].student, "Ann");
    const std::vector<std::string> ann = again
                                             ? std::vector<std::string>{"arithmetic (row 2)"}
                                             : std::vector<std::string>{"not reproduced (row 3)", "arithmetic (row 2)"};
    EXPECT_EQ(talk[0].reasons, ann);
    EXPECT_EQ(talk[1].student, "Bob");
    EXPECT_EQ(talk[1].reasons, (std::vector<std::string>{"query it (row 5)", "cannot happen (row 4)"}));
    EXPECT_EQ(check.rows[3].look, (std::vector<std::string>{"query it"}));
    EXPECT_TRUE(check.rows[4].look.empty());
    EXPECT_EQ(check.summary.not_reproduced_lines, again ? std::vector<int>{} : std::vector<int>{3});
}

}  // namespace
