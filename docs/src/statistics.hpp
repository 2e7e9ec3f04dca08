// What the exact distribution of a recording's count says to a grader: the
// ranges an honest count falls in, and where one student's count stands.
// The guide's generator and the guide's checker (compiled to WebAssembly)
// both use it, so the guide and its checker say the same.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "simulation/count_distribution.hpp"

namespace counting_lab::guide {

/// The share of the counts, of distribution `p` with mean and spread `m`,
/// that lie more than `k` standard deviations from the mean.
double share_outside(const std::vector<double>& p, const Mean_and_spread& m, double k);

/// The counts from `low` to `high` that hold the central `share` of `p`: the
/// lowest count at which the distribution reaches (1 - share) / 2, and the
/// lowest at which it reaches (1 + share) / 2.
struct Count_range {
    int low;
    int high;
};
Count_range central_range(const std::vector<double>& p, double share);

/// The counting times of the guide's table of the sources, in s.
inline constexpr std::array<double, 3> source_table_times_s{10, 30, 100};

/// How rare an honest count must be for a grader to query it.
inline constexpr double rarer_than = 1.0 / 5000;

/// How far from its mean, in whole tenths of a standard deviation, a count
/// is to be queried: beyond it fewer than `rarer_than` of the counts lie, at
/// every setting of the table of the sources.
double query_threshold();

/// A whole number with a comma between thousands: 200,000.
std::string thousands(int n);

/// A value with `decimals` places, "0.0" rather than "-0.0".
std::string fixed(double value, int decimals);

/// The exact distribution of the count of a recording of `t` seconds at
/// `rate` counts per second through the lab's counter, and its mean and spread.
std::vector<double> count_distribution(double t, double rate);
Mean_and_spread count_spread(double t, double rate);
std::string mean_pm_sd(const Mean_and_spread& m);

/// The count of one simulated recording, with the program's generator seeded
/// with `seed` as it is after a wait.
int simulated_count(double t, double rate, std::uint32_t seed);

/// n = m / (1 - m tau): the true rate that the measured rate m implies.
double corrected_rate(double measured_per_s);

}  // namespace counting_lab::guide
