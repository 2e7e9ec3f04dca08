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

TEST(Domains, EveryFunctionIsDefinedOutsideItsDomain) {
    // The highest count: 0 before the start, the ceiling where the dead time bounds nothing.
    EXPECT_EQ(highest_count(100, tau), 1667);
    for (const double t : {0.0, -1.0, nan}) EXPECT_EQ(highest_count(t, tau), 0) << "t = " << t;
    for (const double dead_time : {0.0, -1.0, nan}) EXPECT_EQ(highest_count(10, dead_time), count_ceiling);
    for (const double t : {1e301, inf}) EXPECT_EQ(highest_count(t, tau), count_ceiling) << "t = " << t;

    // Counting ends at that ceiling: an endless recording, a counter without dead time.
    EXPECT_EQ(count_events(inf, 1e6, tau, seeded_draw(1)), count_ceiling);
    EXPECT_EQ(count_events(10, 1e12, 0.0, seeded_draw(1)), count_ceiling);
    for (const double t : {-5.0, nan}) EXPECT_EQ(count_events(t, 5, tau, seeded_draw(1)), 0) << "t = " << t;

    // The Poisson term: mu = 0 is certain 0; no NaN anywhere.
    EXPECT_EQ(poisson_probability(0, 0.0), 1.0);
    EXPECT_EQ(poisson_probability(3, 0.0), 0.0);
    EXPECT_EQ(poisson_probability(-1, 2.0), 0.0);
    for (const double mu : {-1.0, inf, nan}) EXPECT_EQ(poisson_probability(2, mu), 0.0) << "mu = " << mu;

    // Tails at the ends of int and double: no overflow of the summing index, no endless sum.
    EXPECT_EQ(count_at_least(most, 5, 10, tau), 0.0);          // no time left free
    EXPECT_EQ(count_at_least(most, 1.0, 1e300, 0.0), 1.0);      // far below a huge mean
    EXPECT_NEAR(count_at_least(most, 2e9, 1, 0.0), 0.0, 1e-9);  // just above a large mean
    EXPECT_EQ(count_at_least(3, inf, 10, tau), 1.0);

    // The distribution: empty outside its domain, certain 0 for no time.
    EXPECT_EQ(count_probabilities(0, 5, tau), std::vector<double>{1.0});
    for (const auto& [t, dead_time] : std::vector<std::pair<double, double>>{
             {10, 0.0}, {10, -1.0}, {10, nan}, {inf, tau}, {1e301, tau}, {-1, tau}, {nan, tau}}) {
        EXPECT_TRUE(count_probabilities(t, 5, dead_time).empty()) << "t = " << t << ", dead time = " << dead_time;
    }

    // The solid angle: the half space in the window plane, 0 where it means nothing.
    EXPECT_DOUBLE_EQ(solid_angle(0, 2.64), 2 * std::numbers::pi);
    for (const double d : {-1.0, nan}) EXPECT_EQ(solid_angle(d, 2.64), 0.0) << "d = " << d;
    for (const double L : {0.0, -1.0, nan}) EXPECT_EQ(solid_angle(1, L), 0.0) << "L = " << L;
}

}  // namespace
