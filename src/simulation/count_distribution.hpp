// The exact distribution of the count of one recording, for teachers'
// tables and for checking the generator against it.
#pragma once

#include <vector>

namespace counting_lab {

/// P(X = n) for X ~ Poisson(mu): the count of a counter without dead time
/// whose mean count is `mu`.
double poisson_probability(int n, double mu);

/// P(N >= n) for a recording of `t` seconds from a source of `rate` events per
/// second through a counter of dead time `dead_time` seconds: the n-th count
/// comes before t exactly when n events of the source fall in the
/// t - (n - 1) dead_time seconds that the dead times leave free.
double count_at_least(int n, double rate, double t, double dead_time);

/// P(N = n) for n = 0 up to the highest possible count, floor(t / dead_time) + 1.
/// Only N = 0 for a rate that is not above 0.
std::vector<double> count_probabilities(double t, double rate, double dead_time);

struct Mean_and_spread {
    double mean;
    double standard_deviation;
};

/// Mean and standard deviation of a distribution over 0, 1, 2, ...
Mean_and_spread mean_and_spread(const std::vector<double>& probabilities);

}  // namespace counting_lab
