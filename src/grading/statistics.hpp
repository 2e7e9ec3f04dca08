// What the exact distribution of a recording's count says to a grader: the
// ranges an honest count falls in, how rare a count is, the verdict that
// follows, and what a student works out from a count.
#pragma once

#include <cmath>
#include <string>
#include <vector>

#include "simulation/count_distribution.hpp"

namespace counting_lab::grading {

/// The exact distribution of the count of a recording of `t` seconds at
/// `rate` counts per second through the lab's counter, and its mean and spread.
std::vector<double> count_distribution(double t, double rate);
Mean_and_spread count_spread(double t, double rate);
/// "217.4 ± 12.8"
std::string mean_pm_sd(const Mean_and_spread& m);

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

/// From which honest mean count on the corrected rate's z_n is shown: below
/// it n = m / (1 - m tau) is too skewed for the normal approximation that
/// z_n rests on.
inline constexpr double normal_from_mean = 30;

/// The largest count that a recording of `t` seconds at `rate` counts per
/// second through the lab's counter can give: the n-th count needs some of
/// the t - (n - 1) tau seconds that the dead times leave free. 0 where the
/// rate is 0. (Its probability may be too small for a double.)
int highest_possible(double t, double rate);

/// The chance that at least `x` of independent trials succeed, trial i with
/// chance `chances[i]` (a Poisson binomial tail), worked out exactly.
double at_least(const std::vector<double>& chances, int x);

/// n = m / (1 - m tau): the true rate that the measured rate m implies.
double corrected_rate(double measured_per_s);

/// What a student works out from a count N of t seconds: the measured rate
/// m = N / t, the true rate n = m / (1 - m tau) that it implies, and n's
/// standard deviation sigma_n = n / sqrt(N) (which is sqrt(N) (1 - m tau) / t
/// carried through the correction). Where m tau >= 1 the counter was never
/// live and n and sigma_n are NaN; for N = 0, n and sigma_n are 0.
struct Student_rates {
    double m;
    double n;
    double sigma_n;
    [[nodiscard]] bool live() const { return !std::isnan(n); }
};
Student_rates student_rates(int N, double t);

}  // namespace counting_lab::grading
