// What the exact distribution says to a grader: ranges, two-sided p, the
// verdict's thresholds, the highest count, and the student's rates.
#include "grading/statistics.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "simulation/lab.hpp"

namespace {

using namespace counting_lab::grading;

TEST(Statistics, CentralRangeAndShareOutside) {
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

TEST(Statistics, TwoSidedPIsAProbability) {
    // Doubling the smaller tail passes 1 near the middle: it is held at 1.
    const std::vector<double> ps = two_sided_ps(count_distribution(30, 5.15));
    EXPECT_EQ(*std::max_element(ps.begin(), ps.end()), 1.0);
    // 1/4, 1/2, 1/4: each end is doubled to 1/2; a count outside is 0.
    const std::vector<double> p{0.25, 0.5, 0.25};
    EXPECT_EQ(two_sided_p(p, 0), 0.5);
    EXPECT_EQ(two_sided_p(p, 1), 1.0);
    EXPECT_EQ(two_sided_p(p, 2), 0.5);
    EXPECT_EQ(two_sided_p(p, 3), 0.0);
    EXPECT_EQ(two_sided_p(p, -1), 0.0);
}

// 1 in 200 and 1 in 5,000, as the guide states them.
TEST(Statistics, VerdictThresholds) {
    EXPECT_EQ(verdict_of(1.0), Verdict::as_expected);
    EXPECT_EQ(verdict_of(1.0 / 200), Verdict::as_expected);
    EXPECT_EQ(verdict_of(1.0 / 201), Verdict::second_look);
    EXPECT_EQ(verdict_of(1.0 / 5000), Verdict::second_look);
    EXPECT_EQ(verdict_of(1.0 / 5001), Verdict::query);
    EXPECT_EQ(verdict_of(0), Verdict::query);
    EXPECT_EQ(verdict_of(std::numeric_limits<double>::quiet_NaN()), Verdict::query);
    EXPECT_EQ(verdict_words(Verdict::cannot_happen), "cannot happen");
}

TEST(Statistics, HighestPossibleCountIsOnePerDeadTime) {
    EXPECT_EQ(highest_possible(30, 8.95), 500);
    EXPECT_EQ(highest_possible(100, 8.95), 1667);
    EXPECT_EQ(highest_possible(100, 0), 0);
    // Beyond the highest, the exact distribution holds nothing.
    const std::vector<double> p = count_distribution(10, 8.95);
    EXPECT_LE(p.size(), static_cast<std::size_t>(highest_possible(10, 8.95)) + 1);
}

TEST(Statistics, AtLeastOfIndependentTrials) {
    EXPECT_EQ(at_least({0.5, 0.5}, 0), 1.0);
    EXPECT_EQ(at_least({0.5, 0.5}, 1), 0.75);
    EXPECT_EQ(at_least({0.5, 0.5}, 2), 0.25);
    EXPECT_EQ(at_least({0.5, 0.5}, 3), 0.0);
    EXPECT_NEAR(at_least({0.1, 0.2, 0.3}, 2), 0.1 * 0.2 + 0.1 * 0.3 + 0.2 * 0.3 - 2 * 0.1 * 0.2 * 0.3, 1e-15);
    EXPECT_NEAR(at_least(std::vector<double>(27, 0.03), 27), std::pow(0.03, 27), 1e-50);
}

TEST(Statistics, StudentRates) {
    const Student_rates none = student_rates(0, 30);
    EXPECT_EQ(none.m, 0);
    EXPECT_EQ(none.n, 0);
    EXPECT_EQ(none.sigma_n, 0);
    EXPECT_TRUE(none.live());
    const Student_rates some = student_rates(171, 30);
    EXPECT_DOUBLE_EQ(some.m, 5.7);
    EXPECT_DOUBLE_EQ(some.n, 5.7 / (1 - 5.7 * counting_lab::tau));
    EXPECT_DOUBLE_EQ(some.sigma_n, some.n / std::sqrt(171.0));
    // m tau >= 1: the counter was never live.
    EXPECT_FALSE(student_rates(600, 30).live());
    EXPECT_TRUE(std::isnan(student_rates(600, 30).sigma_n));
}

}  // namespace
