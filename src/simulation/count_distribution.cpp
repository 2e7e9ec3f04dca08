#include "simulation/count_distribution.hpp"

#include <cmath>

namespace counting_lab {

namespace {

// P(X >= n) for X ~ Poisson(mu), summing the smaller tail in log space.
double poisson_at_least(int n, double mu) {
    if (n <= 0) {
        return 1.0;
    }
    if (!(mu > 0)) {
        return 0.0;
    }
    const auto term = [mu](int j) { return poisson_probability(j, mu); };
    double sum = 0;
    if (n > mu) {
        const int last = n + 100 + static_cast<int>(40 * std::sqrt(mu));
        for (int j = n; j <= last; ++j) {
            sum += term(j);
        }
        return sum;
    }
    for (int j = 0; j < n; ++j) {
        sum += term(j);
    }
    return 1.0 - sum;
}

}  // namespace

double poisson_probability(int n, double mu) { return std::exp(-mu + n * std::log(mu) - std::lgamma(n + 1.0)); }

double count_at_least(int n, double rate, double t, double dead_time) {
    if (!(rate > 0)) {
        return n <= 0 ? 1.0 : 0.0;
    }
    return poisson_at_least(n, rate * (t - (n - 1) * dead_time));
}

std::vector<double> count_probabilities(double t, double rate, double dead_time) {
    const int highest = rate > 0 ? static_cast<int>(std::floor(t / dead_time)) + 1 : 0;
    std::vector<double> p;
    p.reserve(static_cast<std::size_t>(highest) + 1);
    double at_least_n = 1.0;
    for (int n = 0; n <= highest; ++n) {
        const double at_least_next = count_at_least(n + 1, rate, t, dead_time);
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
