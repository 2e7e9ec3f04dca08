// The library's public functions outside the inputs the dialogue gives them:
// each gives the defined result its contract names, without undefined
// behaviour (this runs under the sanitizers too) and without hanging.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

#include "simulation/count_distribution.hpp"
#include "simulation/geometry.hpp"
#include "simulation/recording.hpp"

namespace {

using namespace counting_lab;

constexpr double inf = std::numeric_limits<double>::infinity();
const double nan = std::nan("");
constexpr int most = std::numeric_limits<int>::max();
constexpr int least = std::numeric_limits<int>::min();

TEST(HighestCount, ZeroBeforeTheStartCeilingWithoutADeadTime) {
    EXPECT_EQ(highest_count(100, tau), 1667);
    EXPECT_EQ(highest_count(10, 0.5), 21);
    for (const double t : {0.0, -1.0, -inf, nan}) {
        EXPECT_EQ(highest_count(t, tau), 0) << "t = " << t;
    }
    for (const double dead_time : {0.0, -0.0, -1e-300, -100.0, -inf, nan}) {
        EXPECT_EQ(highest_count(10, dead_time), count_ceiling) << "dead time " << dead_time;
    }
    for (const double t : {1e301, inf}) {
        EXPECT_EQ(highest_count(t, tau), count_ceiling) << "t = " << t;
    }
}

TEST(CountEvents, EndsAtTheCeiling) {
    // An endless recording, a counter without dead time.
    EXPECT_EQ(count_events(inf, 1e6, tau, seeded_draw(1)), count_ceiling);
    EXPECT_EQ(count_events(10, 1e12, 0.0, seeded_draw(1)), count_ceiling);
    for (const double t : {-5.0, nan}) {
        EXPECT_EQ(count_events(t, 5, tau, seeded_draw(1)), 0) << "t = " << t;
    }
    // U = 1 waits no time, even at a rate so low that 1 / rate is infinite:
    // the first event at 0, the next one dead time later.
    const Draw all_ones = [] { return 32767; };
    EXPECT_EQ(count_events(10, 1e-320, 100, all_ones), 1);
    EXPECT_EQ(count_events(10, 1e-320, 4, all_ones), 3);
}

TEST(PoissonProbability, NoNaNAnywhere) {
    EXPECT_EQ(poisson_probability(0, 0.0), 1.0);
    EXPECT_EQ(poisson_probability(3, 0.0), 0.0);
    EXPECT_EQ(poisson_probability(-1, 2.0), 0.0);
    EXPECT_EQ(poisson_probability(least, 2.0), 0.0);
    for (const double mu : {-1.0, inf, nan}) {
        EXPECT_EQ(poisson_probability(2, mu), 0.0) << "mu = " << mu;
    }
}

TEST(CountAtLeast, EndsOfIntAndDouble) {
    // Nothing at or below 0 needs counting, whatever else is given.
    for (const int n : {0, -1, least}) {
        EXPECT_EQ(count_at_least(n, 10, 5, tau), 1.0) << "n = " << n;
        EXPECT_EQ(count_at_least(n, 10, 0, tau), 1.0) << "n = " << n;
        EXPECT_EQ(count_at_least(n, nan, nan, nan), 1.0) << "n = " << n;
    }
    // No overflow of the summing index, no endless sum.
    EXPECT_EQ(count_at_least(most, 10, 5, tau), 0.0);           // no time left free
    EXPECT_EQ(count_at_least(most, 1e300, 1.0, 0.0), 1.0);      // far below a huge mean
    EXPECT_NEAR(count_at_least(most, 1, 2e9, 0.0), 0.0, 1e-9);  // just above a large mean
    EXPECT_EQ(count_at_least(3, 10, inf, tau), 1.0);
    EXPECT_EQ(count_at_least(1, 10, nan, tau), 0.0);
    // An endless dead time leaves the first count its whole time, the second none.
    EXPECT_DOUBLE_EQ(count_at_least(1, 10, 5, inf), 1 - std::exp(-50.0));
    EXPECT_EQ(count_at_least(2, 10, 5, inf), 0.0);
}

TEST(CountProbabilities, EmptyOutsideItsDomain) {
    EXPECT_EQ(count_probabilities(0, 5, tau), std::vector<double>{1.0});
    for (const auto& [t, dead_time] : std::vector<std::pair<double, double>>{
             {10, 0.0}, {10, -1.0}, {10, nan}, {inf, tau}, {1e301, tau}, {-1, tau}, {nan, tau}}) {
        EXPECT_TRUE(count_probabilities(t, 5, dead_time).empty()) << "t = " << t << ", dead time = " << dead_time;
    }
    // A distribution near the longest it works out, in linear time: a sum of
    // its terms per count would take this test past its time limit.
    const std::vector<double> longest = count_probabilities(5999, 20, 0.06);
    EXPECT_EQ(longest.size(), 99'985U);  // counts 0 to floor(5999 / 0.06) + 1
    double sum = 0;
    for (const double p : longest) {
        sum += p;
    }
    EXPECT_NEAR(sum, 1.0, 1e-12);
}

TEST(SolidAngle, WithinTheHalfSpace) {
    EXPECT_DOUBLE_EQ(solid_angle(0, 2.64), 2 * std::numbers::pi);
    for (const double d : {-1.0, nan, inf}) {
        EXPECT_EQ(solid_angle(d, 2.64), 0.0) << "d = " << d;
    }
    for (const double L : {0.0, -1.0, -inf, nan}) {
        EXPECT_EQ(solid_angle(1, L), 0.0) << "L = " << L;
    }
    // Far away, or with no cut-off at all: nothing overflows on the way.
    for (const auto& [d, L] :
         std::vector<std::pair<double, double>>{{1e300, inf}, {inf, inf}, {1e200, 1e300}, {1e-300, inf}, {1, inf}}) {
        const double omega = solid_angle(d, L);
        EXPECT_GE(omega, 0.0) << "d = " << d << ", L = " << L;
        EXPECT_LE(omega, 2 * std::numbers::pi) << "d = " << d << ", L = " << L;
    }
    EXPECT_EQ(solid_angle(inf, inf), 0.0);
    EXPECT_NEAR(solid_angle(1e300, inf), 0.0, 1e-12);
}

}  // namespace
