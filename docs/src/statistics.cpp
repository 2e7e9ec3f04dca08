#include "statistics.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <numeric>

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

std::string p_words(double probability) {
    if (probability >= 0.1) {
        return fixed(probability, 2);
    }
    if (probability < 1e-9) {  // and 1 / p no longer fits the words
        return "under 1 in " + thousands(1'000'000'000);
    }
    return "1 in " + thousands(static_cast<int>(std::lround(1 / probability)));
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

// NOLINTNEXTLINE(cert-msc32-c,cert-msc51-cpp): seeded by the caller, so the guide comes out the same
Count_draw::Count_draw(const std::vector<double>& p, std::uint64_t seed) : cumulative_(p.size()), pick_(seed) {
    std::partial_sum(p.begin(), p.end(), cumulative_.begin());
}

double Count_draw::operator()() {
    const double u = static_cast<double>(pick_() >> 11) * 0x1.0p-53;
    return static_cast<double>(std::lower_bound(cumulative_.begin(), cumulative_.end(), u) - cumulative_.begin());
}

std::string plain(double value) {
    std::string text = fixed(value, 2);
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.') {
        text.pop_back();
    }
    return text;
}

std::string capitalised(std::string text) {
    if (!text.empty() && text[0] >= 'a' && text[0] <= 'z') {
        text[0] = static_cast<char>(text[0] - 'a' + 'A');
    }
    return text;
}

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

std::string listed(const std::vector<std::string>& items) {
    std::string text;
    for (std::size_t i = 0; i < items.size(); ++i) {
        text += (i == 0 ? "" : i + 1 == items.size() ? " and " : ", ") + items[i];
    }
    return text;
}

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
