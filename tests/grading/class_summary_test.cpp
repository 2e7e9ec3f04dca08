// The class check of the class as a whole: verdict counts, each student's
// and the class's scatter, identical counts, histograms.
#include "grading/class_summary.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "class_sheets.hpp"

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
    EXPECT_EQ(check.summary.whole_class->sets, scatter_sets);
    ASSERT_EQ(check.histograms.size(), 1U);  // source 2 alone has 10 counts
    EXPECT_EQ(check.histograms[0].setting, "source 2, 30 s");
    int counted = 0;
    for (const int c : check.histograms[0].counted) {
        counted += c;
    }
    EXPECT_EQ(counted, 10);
}

// Pairs are of different students; one student's repeats are no pair. Those
// of one second come first.
TEST(ClassSummary, IdenticalCountsOfDifferentStudents) {
    const Class_check check = check_class(
        "student,source,t_s,N,time_utc\n"
        "Ann,1,30,30,2026-12-09T09:00:00Z\nAnn,1,30,30,2026-12-09T09:01:00Z\n"
        "Bob,1,30,30,2026-12-09T09:02:00Z\nCy,1,30,30,2026-12-09T09:01:00Z\nCy,1,10,30,2026-12-09T09:01:00Z\n");
    // Ann-Bob twice, Ann-Cy twice, Bob-Cy; not Ann-Ann, nor Cy's 10 s count.
    EXPECT_EQ(check.summary.pairs, 5U);
    ASSERT_FALSE(check.summary.shown_pairs.empty());
    EXPECT_TRUE(check.summary.shown_pairs[0].same_second);
    EXPECT_EQ(check.rows[check.summary.shown_pairs[0].one].line, 3);
    EXPECT_EQ(check.rows[check.summary.shown_pairs[0].other].line, 5);
    // An honest class of these settings: 5 pairs of counts at source 1, 30 s,
    // each equal with the chance that two honest counts are.
    const std::vector<double> p = count_distribution(30, counting_lab::setting_rate(1, 0));
    double same = 0;
    for (const double q : p) {
        same += q * q;
    }
    EXPECT_NEAR(check.summary.honest_pairs, 5 * same, 1e-12);
}

}  // namespace
