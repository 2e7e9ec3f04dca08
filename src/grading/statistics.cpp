#include "grading/statistics.hpp"

#include <algorithm>
#include <cmath>

#include "grading/wording.hpp"
#include "simulation/lab.hpp"
#include "simulation/recording.hpp"

namespace counting_lab::grading {

std::vector<double> count_distribution(double t, double rate) { return count_probabilities(t, rate, tau); }

Mean_and_spread count_spread(double t, double rate) { return mean_and_spread(count_distribution(t, rate)); }

std::string mean_pm_sd(const Mean_and_spread& m) { return fixed(m.mean, 1) + " ± " + fixed(m.standard_deviation, 1); }

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

std::vector<double> two_sided_ps(const std::vector<double>& p) {
    // Each tail summed from its far end, small terms first.
    std::vector<double> below(p.size());  // P(N' <= n)
    double sum = 0;
    for (std::size_t n = 0; n < p.size(); ++n) {
        below[n] = sum += p[n];
    }
    std::vector<double> result(p.size());
    sum = 0;  // P(N' >= n)
    for (std::size_t n = p.size(); n-- > 0;) {
        sum += p[n];
        result[n] = p[n] > 0 ? std::min(1.0, 2 * std::min(below[n], sum)) : 0.0;
    }
    return result;
}

double two_sided_p(const std::vector<double>& p, int N) {
    if (N < 0 || static_cast<std::size_t>(N) >= p.size()) {
        return 0;
    }
    return two_sided_ps(p)[static_cast<std::size_t>(N)];
}

Verdict verdict_of(double two_sided) {
    if (!(two_sided >= rarer_than)) {
        return Verdict::query;
    }
    return two_sided < second_look_rarer_than ? Verdict::second_look : Verdict::as_expected;
}

std::string verdict_words(Verdict verdict) {
    switch (verdict) {
        case Verdict::as_expected:
            return "as expected";
        case Verdict::second_look:
            return "worth a second look";
        case Verdict::query:
            return "query it";
        case Verdict::cannot_happen:
            break;
    }
    return "cannot happen";
}

Count_range query_range(const std::vector<double>& p) {
    const std::vector<double> ps = two_sided_ps(p);
    Count_range range{-1, -1};
    for (std::size_t n = 0; n < ps.size(); ++n) {
        if (ps[n] >= rarer_than) {
            range.high = static_cast<int>(n);
            if (range.low < 0) {
                range.low = static_cast<int>(n);
            }
        }
    }
    return range;
}

int highest_possible(double t, double rate) {
    if (!(rate > 0)) {
        return 0;
    }
    int n = highest_count(t, tau);
    while (n > 1 && !(t - (n - 1) * tau > 0)) {  // as count_at_least works out the free time
        --n;
    }
    return n;
}

double at_least(const std::vector<double>& chances, int x) {
    if (x <= 0) {
        return 1;
    }
    if (static_cast<std::size_t>(x) > chances.size()) {
        return 0;
    }
    // P(k successes so far), k up to x, the last cell holding x or more.
    std::vector<double> successes(static_cast<std::size_t>(x) + 1, 0.0);
    successes[0] = 1;
    for (const double chance : chances) {
        successes.back() += successes[successes.size() - 2] * chance;
        for (std::size_t k = successes.size() - 2; k > 0; --k) {
            successes[k] = successes[k] * (1 - chance) + successes[k - 1] * chance;
        }
        successes[0] *= 1 - chance;
    }
    return std::min(1.0, successes.back());
}

double corrected_rate(double measured_per_s) { return measured_per_s / (1 - measured_per_s * tau); }

Student_rates student_rates(int N, double t) {
    const double m = N / t;
    if (!(1 - m * tau > 0)) {
        return {m, NAN, NAN};
    }
    const double n = corrected_rate(m);
    return {m, n, N > 0 ? n / std::sqrt(N) : 0.0};
}

}  // namespace counting_lab::grading
