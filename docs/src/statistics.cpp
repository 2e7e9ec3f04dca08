#include "statistics.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

#include "simulation/lab.hpp"
#include "simulation/recording.hpp"

namespace counting_lab::guide {

double share_outside(const std::vector<double>& p, const Mean_and_spread& m, double k) {
    double share = 0;
    for (std::size_t n = 0; n < p.size(); ++n) {
        if (std::abs(static_cast<double>(n) - m.mean) > k * m.standard_deviation) {
            share += p[n];
        }
    }
    return share;
}

Count_range central_range(const std::vector<double>& p, double share) {
    const double low_tail = (1 - share) / 2;
    const double high_tail = (1 + share) / 2;
    Count_range range{-1, -1};
    double below = 0;
    for (std::size_t n = 0; n < p.size() && range.high < 0; ++n) {
        below += p[n];
        if (range.low < 0 && below >= low_tail) {
            range.low = static_cast<int>(n);
        }
        if (below >= high_tail) {
            range.high = static_cast<int>(n);
        }
    }
    if (range.high < 0) {  // the sum fell short of the top by rounding
        range.high = static_cast<int>(p.size()) - 1;
    }
    return range;
}

double query_threshold() {
    static const double threshold = [] {
        std::vector<std::vector<double>> all;
        for (const Source& source : sources) {
            for (const double t : source_table_times_s) {
                all.push_back(count_probabilities(t, source_rate(source), tau));
            }
        }
        for (int tenths = 30;; ++tenths) {
            const double k = tenths / 10.0;
            if (std::all_of(all.begin(), all.end(), [k](const std::vector<double>& p) {
                    return share_outside(p, mean_and_spread(p), k) < rarer_than;
                })) {
                return k;
            }
        }
    }();
    return threshold;
}

std::string fixed(double value, int decimals) {
    std::array<char, 64> text{};
    (void)std::snprintf(text.data(), text.size(), "%.*f", decimals, value);
    const std::string result = text.data();
    return result.find_first_not_of("-0.") == std::string::npos && result[0] == '-' ? result.substr(1) : result;
}

std::vector<double> count_distribution(double t, double rate) { return count_probabilities(t, rate, tau); }

Mean_and_spread count_spread(double t, double rate) { return mean_and_spread(count_distribution(t, rate)); }

std::string mean_pm_sd(const Mean_and_spread& m) { return fixed(m.mean, 1) + " ± " + fixed(m.standard_deviation, 1); }

int simulated_count(double t, double rate, std::uint32_t seed) { return count_events(t, rate, tau, seeded_draw(seed)); }

double corrected_rate(double measured_per_s) { return measured_per_s / (1 - measured_per_s * tau); }

std::string thousands(int n) {
    const std::string digits = std::to_string(n);
    std::string text;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) {
            text += ',';
        }
        text += digits[i];
    }
    return text;
}

}  // namespace counting_lab::guide
