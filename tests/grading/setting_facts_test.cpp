// The facts of a setting that the class check works out once.
#include "grading/setting_facts.hpp"

#include <gtest/gtest.h>

#include <cmath>

#include "grading/statistics.hpp"

namespace {

using namespace counting_lab::grading;

TEST(SettingFacts, AgreeWithTheDistribution) {
    const Setting_facts f = facts_of({3, 0, 30});
    EXPECT_EQ(f.p, count_distribution(30, 5.15));
    EXPECT_EQ(f.highest, 500);
    double shares = 0;
    for (const double share : f.verdict_share) {
        shares += share;
    }
    EXPECT_NEAR(shares, 1, 1e-12);
    EXPECT_NEAR(f.verdict_share[static_cast<std::size_t>(Verdict::query)], 0, 1.0 / 5000);
    // The count at a quantile is the least with P(N' <= n) above it.
    for (const double u : {1e-9, 0.025, 0.5, 0.975, 1 - 1e-9}) {
        const std::size_t n = count_at_quantile(f, u);
        EXPECT_GT(f.cumulative[n], u);
        EXPECT_TRUE(n == 0 || f.cumulative[n - 1] <= u) << u;
    }
    // Beyond the cut-off every count is 0.
    EXPECT_EQ(count_at_quantile(facts_of({0, 3.0, 30}), 0.99), 0U);
}

}  // namespace
