// A student's data sheet, the correction worked through on it, and the key
// to Worksheet 1: every value worked out at full precision and rounded only
// where it is printed.
#include <cmath>
#include <numeric>
#include <sstream>

#include "guide.hpp"
#include "simulation/lab.hpp"
#include "simulation/recording.hpp"

namespace counting_lab::guide {

namespace {

constexpr std::uint32_t sheet_first_seed = 300'000;

// A signed value with a typographic minus sign.
std::string signed_text(double value, int decimals) {
    const std::string text = fixed(value, decimals);
    return text[0] == '-' ? "−" + text.substr(1) : text;
}

// A result and its standard deviation, rounded once: the deviation to two
// significant figures, the result to the same decimal places.
std::string result_pm(double value, double sd) {
    const int decimals = std::max(0, 1 - static_cast<int>(std::floor(std::log10(sd))));
    return fixed(value, decimals) + " ± " + fixed(sd, decimals);
}

// What k recordings of t seconds, N counts in all, give.
struct Pooled {
    double m;     // measured rate, N / (k t)
    double live;  // 1 - m tau
    double n;     // corrected rate
    double sd_N;  // sqrt(N) (1 - m tau)
    double sd_m;  // sd_N / (k t)
    double sd_n;  // sd_m / (1 - m tau)^2, which is n / sqrt(N)
};
Pooled pooled(int total, double seconds) {
    Pooled p{};
    p.m = total / seconds;
    p.live = 1 - p.m * tau;
    p.n = p.m / p.live;
    p.sd_N = std::sqrt(total) * p.live;
    p.sd_m = p.sd_N / seconds;
    p.sd_n = p.sd_m / (p.live * p.live);
    if (std::abs(p.sd_n * std::sqrt(total) / p.n - 1) > 1e-12) {
        contradiction("sigma_n is not n / sqrt(N)");
    }
    return p;
}

// Worksheet 1's key for one source: what one recording, and the repeats
// taken together, should give.
std::string key_row(std::size_t i, double rate) {
    const std::vector<double> dist = count_distribution(worksheet_t_s, rate);
    const Mean_and_spread one = mean_and_spread(dist);
    const Count_range range = central_range(dist, 0.95);
    const Count_range query = query_range(dist);
    const double expected_sd_n = rate / std::sqrt(worksheet_repeats * one.mean);
    std::ostringstream key;
    key << "| " << i + 1 << " | " << fixed(rate, 2) << " | " << mean_pm_sd(one) << " | " << range.low << "–"
        << range.high << " | " << query.low << "–" << query.high << " | " << fixed(one.mean / worksheet_t_s, 2) << " | "
        << fixed(std::sqrt(one.mean) * (1 - one.mean / worksheet_t_s * tau), 1) << " | "
        << result_pm(rate, expected_sd_n) << " |\n";
    return key.str();
}

// The worked example: source `source_number` at `rate`, its repeated
// recordings `counts` taken together.
Values worked_example(std::size_t source_number, const std::vector<int>& counts, double rate) {
    const int total = std::accumulate(counts.begin(), counts.end(), 0);
    const double seconds = worksheet_t_s * worksheet_repeats;
    const Pooled p = pooled(total, seconds);
    Values worked;
    worked["worked_source"] = std::to_string(source_number);
    std::vector<std::string> each;
    each.reserve(counts.size());
    for (const int N : counts) {
        each.push_back(std::to_string(N));
    }
    worked["worked_counts"] = listed(each);
    worked["worked_total"] = std::to_string(total);
    worked["worked_T"] = fixed(seconds, 0);
    worked["worked_m"] = fixed(p.m, 5);
    worked["worked_dead"] = fixed(p.m * tau, 5);
    worked["worked_live"] = fixed(p.live, 5);
    worked["worked_n"] = fixed(p.n, 4);
    worked["worked_sd_N"] = fixed(p.sd_N, 3);
    worked["worked_sd_m"] = fixed(p.sd_m, 5);
    worked["worked_sd_n"] = fixed(p.sd_n, 4);
    worked["worked_result"] = result_pm(p.n, p.sd_n);
    worked["worked_true"] = fixed(rate, 2);
    const double z = (p.n - rate) / p.sd_n;
    worked["worked_z"] = signed_text(z, 2);
    const double z_measured = (p.m - rate) / p.sd_m;
    worked["worked_z_measured"] = fixed(std::abs(z_measured), 1);
    worked["worked_z_measured_side"] = z_measured < 0 ? "below" : "above";
    // What a student who rounds every step to the places printed gets.
    const double m_rounded = std::stod(fixed(p.m, 4));
    worked["worked_n_rounded"] = fixed(m_rounded / std::stod(fixed(1 - m_rounded * tau, 4)), 3);
    worked["worked_n_full"] = fixed(p.n, 3);
    const double off = std::abs(z);
    worked["worked_verdict"] =
        off <= 1   ? "within one standard deviation of the truth: the correction has done its work"
        : off <= 2 ? "between one and two standard deviations from the truth, as {{from_1_to_2_low}}–"
                     "{{from_1_to_2_high}} % of honest results are ({{from_1_to_2_one_in}})"
                   : "more than two standard deviations from the truth, as {{outside_2_low}}–{{outside_2_high}} % "
                     "of honest results are: worth a second measurement";
    // The mistake of putting the count, not the rate, into the correction.
    worked["mistake_n"] = signed_text(corrected_rate(total), 1);
    return worked;
}

}  // namespace

Values sample_results() {
    std::ostringstream sheet;
    sheet << "| Source | A (Bq) |" << repeat_columns()
          << " Mean N | m = N/t (1/s) | n = m/(1 − m·τ) (1/s) | σ_n (1/s) | A/2 (1/s) | (n − A/2)/σ_n |\n"
          << alignment_row(2 + worksheet_repeats + 6);
    std::ostringstream key;
    key << "| Source | A/2 (1/s) | N: mean ± sd | 95 % of counts | Query outside | m (1/s) | √N·(1 − mτ) | n of "
        << number_word(worksheet_repeats)
        << ": A/2 ± σ_n (1/s) "
           "|\n"
           "|---:|---:|---:|---:|---:|---:|---:|---:|\n";
    Values worked;
    std::uint32_t seed = sheet_first_seed;
    for (std::size_t i = 0; i < sources.size(); ++i) {
        const double rate = source_rate(sources[i]);
        std::vector<int> counts;
        counts.reserve(worksheet_repeats);
        for (int k = 0; k < worksheet_repeats; ++k) {
            counts.push_back(simulated_count(worksheet_t_s, rate, seed++));
        }
        const int total = std::accumulate(counts.begin(), counts.end(), 0);
        const Pooled p = pooled(total, worksheet_t_s * worksheet_repeats);
        sheet << "| " << i + 1 << " | " << fixed(sources[i].activity_bq, 1);
        for (const int N : counts) {
            sheet << " | " << N;
        }
        sheet << " | " << fixed(static_cast<double>(total) / worksheet_repeats, 1) << " | " << fixed(p.m, 3) << " | "
              << fixed(p.n, 3) << " | " << fixed(p.sd_n, 3) << " | " << fixed(rate, 3) << " | "
              << signed_text((p.n - rate) / p.sd_n, 2) << " |\n";
        key << key_row(i, rate);
        if (i + 1 == sources.size()) {  // the strongest source
            worked = worked_example(i + 1, counts, rate);
        }
    }
    worked["sample_sheet"] = sheet.str();
    worked["worksheet_1_key"] = key.str();
    return worked;
}

}  // namespace counting_lab::guide
