// The chi-square exercise and its acceptance band, and what recordings that
// end in the same second share.
#include <algorithm>
#include <cmath>
#include <functional>

#include "guide.hpp"
#include "simulation/lab.hpp"
#include "simulation/recording.hpp"

namespace counting_lab::guide {

namespace {

struct Chi_square_setting {
    std::size_t source;  // index into `sources`
    double t_s;
    int repeats;
    int simulated_sets;  // made by the program's own generator
    std::uint32_t first_seed;
    int exact_sets;  // drawn from the exact distribution, for the acceptance band
};
constexpr Chi_square_setting chi_square{4, 10, 20, 2000, 400'000, 200'000};

// P(X <= x) for X chi-square with `dof` degrees of freedom: the regularised
// lower incomplete gamma function P(dof / 2, x / 2), by its series.
double chi_square_cdf(int dof, double x) {
    if (x <= 0) {
        return 0;
    }
    const double a = dof / 2.0;
    const double y = x / 2;
    double term = 1 / a;
    double sum = term;
    for (int k = 1; k < 1000 && term > sum * 1e-17; ++k) {
        term *= y / (a + k);
        sum += term;
    }
    return sum * std::exp(-y + a * std::log(y) - std::lgamma(a));
}

double chi_square_quantile(int dof, double p) {
    double low = 0;
    double high = 10.0 * dof + 100;
    for (int i = 0; i < 200; ++i) {
        const double mid = (low + high) / 2;
        (chi_square_cdf(dof, mid) < p ? low : high) = mid;
    }
    return (low + high) / 2;
}

// The value below which `share` of the sorted `values` lie.
double quantile(const std::vector<double>& sorted, double share) {
    return sorted[static_cast<std::size_t>(share * static_cast<double>(sorted.size() - 1))];
}

// The acceptance band: sets drawn from the exact distribution, each judged
// with sqrt(N-bar) as most students do, and with N-bar (1 - m tau)^2; each
// list sorted.
struct Band {
    std::vector<double> with_sqrt;
    std::vector<double> with_dead_time;
};

Band acceptance_band(const std::vector<double>& exact) {
    Seeded_counts honest(exact, 2026);
    Band band;
    for (int set = 0; set < chi_square.exact_sets; ++set) {
        std::vector<double> counts(static_cast<std::size_t>(chi_square.repeats));
        std::generate(counts.begin(), counts.end(), std::ref(honest));
        const double mean = average(counts);
        const double squares = squares_about(counts, mean);
        const double live = 1 - mean / chi_square.t_s * tau;
        band.with_sqrt.push_back(squares / mean);
        band.with_dead_time.push_back(squares / (mean * live * live));
    }
    std::sort(band.with_sqrt.begin(), band.with_sqrt.end());
    std::sort(band.with_dead_time.begin(), band.with_dead_time.end());
    return band;
}

}  // namespace

Values chi_square_exercise() {
    const double rate = source_rate(sources[chi_square.source]);
    const std::vector<double> exact = count_distribution(chi_square.t_s, rate);
    const Mean_and_spread spread = mean_and_spread(exact);
    const int dof = chi_square.repeats - 1;

    // Sets made by the program's generator, as students make them.
    std::vector<double> sample_sds;
    std::vector<double> chi_squares;
    std::uint32_t seed = chi_square.first_seed;
    for (int set = 0; set < chi_square.simulated_sets; ++set) {
        std::vector<double> counts(static_cast<std::size_t>(chi_square.repeats));
        for (double& N : counts) {
            N = simulated_count(chi_square.t_s, rate, seed++);
        }
        const double mean = average(counts);
        const double squares = squares_about(counts, mean);
        sample_sds.push_back(std::sqrt(squares / (chi_square.repeats - 1)));
        chi_squares.push_back(squares / mean);
    }
    const double sd_mean = average(sample_sds);
    const double spread_of_sds =
        std::sqrt(squares_about(sample_sds, sd_mean) / static_cast<double>(sample_sds.size() - 1));

    const Band band = acceptance_band(exact);
    const std::vector<double>& with_sqrt = band.with_sqrt;
    const std::vector<double>& with_dead_time = band.with_dead_time;
    const double table_low = chi_square_quantile(dof, 0.025);
    const double table_high = chi_square_quantile(dof, 0.975);
    const double too_good =
        static_cast<double>(std::lower_bound(with_sqrt.begin(), with_sqrt.end(), table_low) - with_sqrt.begin()) /
        static_cast<double>(with_sqrt.size());
    return {
        {"chi_source", std::to_string(chi_square.source + 1)},
        {"chi_t", fixed(chi_square.t_s, 0)},
        {"chi_repeats", std::to_string(chi_square.repeats)},
        {"chi_wait_min", fixed(chi_square.repeats * chi_square.t_s / 60, 1)},
        {"chi_sets", thousands(chi_square.simulated_sets)},
        {"chi_exact_sets", thousands(chi_square.exact_sets)},
        {"chi_exact_sd", fixed(spread.standard_deviation, 2)},
        {"chi_sqrt_mean", fixed(std::sqrt(spread.mean), 2)},
        {"chi_sample_sd", fixed(sd_mean, 2)},
        {"chi_sample_sd_low", fixed(sd_mean - 2 * spread_of_sds, 1)},
        {"chi_sample_sd_high", fixed(sd_mean + 2 * spread_of_sds, 1)},
        {"chi_sample_sd_spread", fixed(spread_of_sds, 2)},
        {"chi_dof", std::to_string(dof)},
        {"chi_expected", fixed(dof * spread.standard_deviation * spread.standard_deviation / spread.mean, 1)},
        {"chi_simulated", fixed(average(chi_squares), 1)},
        {"chi_table_low", fixed(table_low, 1)},
        {"chi_table_high", fixed(table_high, 1)},
        {"chi_sqrt_low", fixed(quantile(with_sqrt, 0.025), 1)},
        {"chi_sqrt_high", fixed(quantile(with_sqrt, 0.975), 1)},
        {"chi_dead_low", fixed(quantile(with_dead_time, 0.025), 1)},
        {"chi_dead_high", fixed(quantile(with_dead_time, 0.975), 1)},
        {"chi_too_good", percent(too_good, 0)},
    };
}

Values same_second() {
    // Sources 4 and 5, 30 s each, recordings that end in the same second:
    // the same seed, so the same random numbers.
    const double rate_4 = source_rate(sources[3]);
    const double rate_5 = source_rate(sources[4]);
    constexpr int pairs = 20'000;
    double sum_x = 0;
    double sum_y = 0;
    double sum_xx = 0;
    double sum_yy = 0;
    double sum_xy = 0;
    for (std::uint32_t seed = 500'000; seed < 500'000 + pairs; ++seed) {
        const double x = simulated_count(worksheet_t_s, rate_4, seed);
        const double y = simulated_count(worksheet_t_s, rate_5, seed);
        sum_x += x;
        sum_y += y;
        sum_xx += x * x;
        sum_yy += y * y;
        sum_xy += x * y;
    }
    const double cov = sum_xy / pairs - (sum_x / pairs) * (sum_y / pairs);
    const double var_x = sum_xx / pairs - (sum_x / pairs) * (sum_x / pairs);
    const double var_y = sum_yy / pairs - (sum_y / pairs) * (sum_y / pairs);
    return {{"same_second_r", fixed(cov / std::sqrt(var_x * var_y), 2)}};
}

}  // namespace counting_lab::guide
