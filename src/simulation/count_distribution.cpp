#include "simulation/count_distribution.hpp"

#include <cmath>
#include <limits>

#include "simulation/recording.hpp"

namespace counting_lab {

namespace {

// P(X >= n) for X ~ Poisson(mu), summing the smaller tail. Its terms fall
// away from the mean, so the sum starts at the term nearest the mean, finds
// each next term from the one before by one multiplication, and stops once
// a term no longer changes the sum: the cost grows with the spread of X,
// not with n.
double poisson_at_least(int n, double mu) {
    if (n <= 0) {
        return 1.0;
    }
    if (!(mu > 0)) {
        return 0.0;
    }
    if (std::isinf(mu)) {
        return 1.0;
    }
    constexpr double negligible = std::numeric_limits<double>::epsilon() / 8;
    double sum = 0;
    if (n > mu) {  // P(X = k + 1) = P(X = k) mu / (k + 1), for k = n, n + 1, ...
        double term = poisson_probability(n, mu);
        for (long long k = n; term > sum * negligible; ++k) {  // no int overflow near INT_MAX
            sum += term;
            term *= mu / static_cast<double>(k + 1);
        }
        return sum;
    }
    // 1 - P(X < n), with P(X = k - 1) = P(X = k) k / mu, for k = n - 1 down to 0.
    double term = poisson_probability(n - 1, mu);
    for (int k = n - 1; k >= 0 && term > sum * negligible; --k) {
        sum += term;
        term *= k / mu;
    }
    return 1.0 - sum;
}

}  // namespace

double poisson_probability(int n, double mu) {
    if (n < 0 || !(mu >= 0) || std::isinf(mu)) {
        return 0.0;
    }
    if (mu == 0) {
        return n == 0 ? 1.0 : 0.0;  // where 0 log 0 would be NaN
    }
    return std::exp(-mu + n * std::log(mu) - std::lgamma(n + 1.0));
}

double count_at_least(int n, double t, double rate, double dead_time) {
    if (n <= 0) {
        return 1.0;
    }
    if (!(rate > 0)) {
        return 0.0;
    }
    // The first count has no dead time before it: its free time is t, even
    // for an infinite dead time, where 0 times it would be NaN.
    const double free_s = n == 1 ? t : t - (n - 1) * dead_time;
    return poisson_at_least(n, rate * free_s);
}

std::vector<double> count_probabilities(double t, double rate, double dead_time) {
    if (!(dead_time > 0) || !(t >= 0) || !(t < (distribution_ceiling - 1) * dead_time)) {
        return {};
    }
    const int highest = rate > 0 ? highest_count(t, dead_time) : 0;
    std::vector<double> p;
    p.reserve(static_cast<std::size_t>(highest) + 1);
    double at_least_n = 1.0;
    for (int n = 0; n <= highest; ++n) {
        const double at_least_next = count_at_least(n + 1, t, rate, dead_time);
        p.push_back(at_least_n - at_least_next);
        at_least_n = at_least_next;
    }
    return p;
}

Mean_and_spread mean_and_spread(const std::vector<double>& probabilities) {
    double mean = 0;
    for (std::size_t n = 0; n < probabilities.size(); ++n) {
        mean += static_cast<double>(n) * probabilities[n];
    }
    double variance = 0;
    for (std::size_t n = 0; n < probabilities.size(); ++n) {
        const double off = static_cast<double>(n) - mean;
        variance += off * off * probabilities[n];
    }
    return {mean, std::sqrt(variance)};
}

}  // namespace counting_lab
