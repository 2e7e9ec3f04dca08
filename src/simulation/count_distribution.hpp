// The exact distribution of the count of one recording, for teachers'
// tables and for checking the generator against it.
#pragma once

#include <vector>

namespace counting_lab {

/// P(X = n) for X ~ Poisson(mu): the count of a counter without dead time
/// whose mean count is `mu`. Domain: n >= 0 and finite mu >= 0 (mu = 0 gives
/// 1 for n = 0). Gives 0 for a negative n and for a mu that is negative,
/// infinite or NaN.
double poisson_probability(int n, double mu);

/// P(N >= n) for a recording of `t` seconds from a source of `rate` events per
/// second through a counter of dead time `dead_time` seconds: the n-th count
/// comes before t exactly when n events of the source fall in the
/// t - (n - 1) dead_time seconds that the dead times leave free.
/// Domain: rate >= 0, t >= 0, dead_time >= 0. Gives 1 for n <= 0; 0 where
/// the rate is not above 0 or is NaN, and where no time is left free.
double count_at_least(int n, double t, double rate, double dead_time);

/// The longest distribution that count_probabilities works out.
inline constexpr int distribution_ceiling = 100'000;

/// P(N = n) for n = 0 up to highest_count(t, dead_time). Only N = 0 for a rate
/// that is not above 0, or NaN, or for t = 0. Domain: t >= 0, dead_time > 0
/// and t / dead_time below distribution_ceiling - 1, so that the highest
/// count stays within distribution_ceiling; outside it the result is empty.
std::vector<double> count_probabilities(double t, double rate, double dead_time);

struct Mean_and_spread {
    double mean;
    double standard_deviation;
};

/// Mean and standard deviation of a distribution over 0, 1, 2, ...
Mean_and_spread mean_and_spread(const std::vector<double>& probabilities);

}  // namespace counting_lab
