// What the exact distribution of a recording's count says to a grader: the
// ranges an honest count falls in, and where one student's count stands.
// The guide's generator and the guide's checker (compiled to WebAssembly)
// both use it, so the guide and its checker say the same.
#pragma once

#include <array>
#include <cstdint>
#include <random>
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

/// How rare an honest count must be for a grader to give it a second look,
/// and to query it.
inline constexpr double second_look_rarer_than = 1.0 / 200;
inline constexpr double rarer_than = 1.0 / 5000;

/// The exact two-sided tail probability of the count N under distribution
/// `p` of counts 0, 1, ...: min(1, 2 min(P(N' <= N), P(N' >= N))), the share
/// of honest counts at least as far out, on the rarer side, doubled. 0 where
/// P(N) is 0 or N lies outside `p`.
double two_sided_p(const std::vector<double>& p, int N);
/// The same for every count of `p`, in one pass.
std::vector<double> two_sided_ps(const std::vector<double>& p);

/// What a grader does with a count: `as_expected` for p >= 1/200,
/// `second_look` down to 1/5,000, `query` below it (0 too: a count so rare
/// that a double holds no probability for it); `cannot_happen` for a count
/// above `highest_possible`, which the caller tells apart.
enum class Verdict { as_expected, second_look, query, cannot_happen };
Verdict verdict_of(double two_sided);
std::string verdict_words(Verdict verdict);

/// The counts whose two-sided p is at least `rarer_than`: outside them an
/// honest count is queried.
Count_range query_range(const std::vector<double>& p);

/// A probability as a grader reads it: "0.62" from 0.1 up, "1 in 981" below,
/// "under 1 in 1,000,000,000" below that.
std::string p_words(double probability);

/// From which honest mean count on the corrected rate's z_n is shown: below
/// it n = m / (1 - m tau) is too skewed for the normal approximation that
/// z_n rests on.
inline constexpr double normal_from_mean = 30;

/// The largest count that a recording of `t` seconds at `rate` counts per
/// second through the lab's counter can give: the n-th count needs some of
/// the t - (n - 1) tau seconds that the dead times leave free. 0 where the
/// rate is 0. (Its probability may be too small for a double.)
int highest_possible(double t, double rate);

/// Honest counts drawn from an exact distribution p with a fixed seed, so
/// that the guide comes out the same each time.
class Count_draw {
  public:
    Count_draw(const std::vector<double>& p, std::uint64_t seed);
    double operator()();

  private:
    std::vector<double> cumulative_;
    std::mt19937_64 pick_;
};

/// A number as a student writes it, to two places at most: 30, 12.5, 2.64.
std::string plain(double value);

/// Text with its first letter, if a lower-case ASCII one, made a capital.
std::string capitalised(std::string text);

/// Text without the blanks and line ends around it.
std::string_view trimmed(std::string_view text);

/// The items in a sentence: "a, b and c".
std::string listed(const std::vector<std::string>& items);

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
