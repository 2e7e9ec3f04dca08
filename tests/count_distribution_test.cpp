// The counts of many recordings, from the real generator with fixed seeds,
// against the exact distribution of the count for a counter with dead time.
#include "simulation/count_distribution.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "simulation/recording.hpp"

namespace {

using counting_lab::count_events;
using counting_lab::seeded_draw;
using counting_lab::tau;

// Chi-square statistic and degrees of freedom of the observed counts against
// the exact distribution, cells pooled until each expects at least 5.
struct Fit {
    double chi_square;
    int degrees_of_freedom;
};

Fit fit(const std::vector<int>& counts, double rate, double t, double dead_time) {
    const int highest = counting_lab::highest_count(t, dead_time);
    std::vector<int> observed(static_cast<std::size_t>(highest) + 2, 0);
    for (const int N : counts) {
        observed[static_cast<std::size_t>(std::min(N, highest + 1))]++;
    }

    const std::vector<double> exact = counting_lab::count_probabilities(t, rate, dead_time);
    const double samples = static_cast<double>(counts.size());
    std::vector<double> cell_expected{0};
    std::vector<double> cell_observed{0};
    for (int n = 0; n <= highest + 1; ++n) {
        if (cell_expected.back() >= 5) {
            cell_expected.push_back(0);
            cell_observed.push_back(0);
        }
        const auto cell = static_cast<std::size_t>(n);
        cell_expected.back() += samples * (cell < exact.size() ? exact[cell] : 0.0);
        cell_observed.back() += observed[cell];
    }
    if (cell_expected.size() > 1 && cell_expected.back() < 5) {  // fold a thin tail into its neighbour
        cell_expected[cell_expected.size() - 2] += cell_expected.back();
        cell_observed[cell_observed.size() - 2] += cell_observed.back();
        cell_expected.pop_back();
        cell_observed.pop_back();
    }
    Fit result{0, static_cast<int>(cell_expected.size()) - 1};
    for (std::size_t i = 0; i < cell_expected.size(); ++i) {
        const double miss = cell_observed[i] - cell_expected[i];
        result.chi_square += miss * miss / cell_expected[i];
    }
    return result;
}

// The chi-square value exceeded with probability 0.001 (Wilson-Hilferty).
double critical_value(int degrees_of_freedom) {
    const double k = degrees_of_freedom;
    const double z = 3.090232;
    const double a = 2.0 / (9.0 * k);
    return k * std::pow(1.0 - a + z * std::sqrt(a), 3);
}

std::vector<int> recordings(double rate, double t, double dead_time, int how_many) {
    std::vector<int> counts;
    counts.reserve(static_cast<std::size_t>(how_many));
    for (int i = 0; i < how_many; ++i) {
        counts.push_back(count_events(t, rate, dead_time, seeded_draw(static_cast<std::uint32_t>(1'000 + i))));
    }
    return counts;
}

TEST(CountDistribution, MatchesTheDeadTimeModel) {
    struct Pair {
        double rate, t;
    };
    // The lab's own rates and times, and one rate where the dead time rules.
    for (const Pair p : {Pair{1.05, 10}, Pair{5.15, 20}, Pair{16.8, 100}, Pair{200, 10}}) {
        const Fit f = fit(recordings(p.rate, p.t, tau, 400), p.rate, p.t, tau);
        ASSERT_GE(f.degrees_of_freedom, 3) << "rate " << p.rate << ", t " << p.t;
        EXPECT_LT(f.chi_square, critical_value(f.degrees_of_freedom))
            << "rate " << p.rate << ", t " << p.t << ", " << f.degrees_of_freedom << " degrees of freedom";
    }
}

TEST(CountDistribution, TellsAMissingDeadTimeApart) {
    // The same check must reject counts made without dead time.
    const Fit f = fit(recordings(16.8, 100, 0.0, 400), 16.8, 100, tau);
    EXPECT_GT(f.chi_square, critical_value(f.degrees_of_freedom));
}

TEST(CountDistribution, ExactDistributionSumsToOneAndHasTheSimulatedMean) {
    using counting_lab::mean_and_spread;
    for (const double rate : {0.0, 1.05, 8.95, 200.0}) {
        const std::vector<double> p = counting_lab::count_probabilities(10, rate, tau);
        double sum = 0;
        for (const double p_n : p) {
            sum += p_n;
        }
        EXPECT_NEAR(sum, 1.0, 1e-12) << "rate " << rate;

        const std::vector<int> counts = recordings(rate, 10, tau, 20'000);
        double simulated_mean = 0;
        for (const int N : counts) {
            simulated_mean += N;
        }
        simulated_mean /= static_cast<double>(counts.size());
        // Within four standard errors of the simulation.
        const auto exact = mean_and_spread(p);
        EXPECT_NEAR(simulated_mean, exact.mean, 4 * exact.standard_deviation / std::sqrt(20'000.0) + 1e-12)
            << "rate " << rate;
    }
}
// Each tail against the plain sum of all its Poisson terms, and the chance
// of no count at all against e^(-rate t), which nothing but the first
// event decides.
TEST(CountDistribution, TailsAreSummedToTheLastTerm) {
    using counting_lab::count_at_least;
    using counting_lab::poisson_probability;
    for (const double mu : {0.5, 12.0, 150.0}) {
        for (int n = 1; n <= static_cast<int>(3 * mu) + 10; ++n) {
            double below = 0;  // P(X < n), every term
            for (int k = 0; k < n; ++k) {
                below += poisson_probability(k, mu);
            }
            double above = 0;  // P(X >= n), every term that a double holds
            for (int k = n; k < n + 2000; ++k) {
                above += poisson_probability(k, mu);
            }
            const double exact = n > mu ? above : 1 - below;
            EXPECT_NEAR(count_at_least(n, 1, mu, 0), exact, 1e-12 * exact + 4e-15) << "mu " << mu << ", n " << n;
        }
    }
    for (const double rate : {0.3, 1.61, 8.95}) {
        const std::vector<double> p = counting_lab::count_probabilities(10, rate, tau);
        EXPECT_NEAR(p[0], std::exp(-10 * rate), 1e-15) << "rate " << rate;
    }
}

TEST(CountDistribution, MeanAndSpread) {
    // Half the time 0, half the time 4: mean 2, variance 4, spread 2.
    const auto m = counting_lab::mean_and_spread({0.5, 0, 0, 0, 0.5});
    EXPECT_EQ(m.mean, 2.0);
    EXPECT_EQ(m.standard_deviation, 2.0);
}

}  // namespace
