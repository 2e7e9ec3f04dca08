// What the exact distribution of a recording's count says to a grader: the
// ranges an honest count falls in, and where one student's count stands.
// The guide's generator and the guide's checker (compiled to WebAssembly)
// both use it, so the guide and its checker say the same.
#pragma once

#include <array>
#include <string>
#include <string_view>
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

/// A value with `decimals` places, "0.0" rather than "-0.0".
std::string fixed(double value, int decimals);

/// The checker's answer, in lines of plain text, for a student's count `count`
/// of a recording of `time` seconds from source `source` (1 to 5) or at the
/// distance `distance` cm (one of the two left empty), each as typed into the
/// guide's form. Input the program would refuse is answered in words.
std::string check_count(std::string_view source, std::string_view distance, std::string_view time,
                        std::string_view count);

}  // namespace counting_lab::guide
