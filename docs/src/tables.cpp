// The guide's tables of expected counts, and what a grader reads off them.
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numbers>
#include <sstream>

#include "guide.hpp"
#include "simulation/geometry.hpp"
#include "simulation/lab.hpp"
#include "simulation/recording.hpp"

namespace counting_lab::guide {

namespace {

// The counting time of the distance table, in s.
constexpr double distance_table_t_s = 100;

// Every setting that the dialogue accepts, on a grid: the five sources and
// the distances every 0.01 cm, each for every whole second of counting time.
// The guide's grading rules are checked at each; `worst` gets, over them,
// the largest share of honest counts that each rule flags, and the largest
// share with |z_n| > 3 where z_n is shown.
struct Rule_shares {
    double second_look = 0;
    double query = 0;
    double z_n_beyond_3 = 0;
};
// The count rates of the grid: the five sources, and the distances every 0.01 cm.
std::vector<double> grid_rates() {
    const int nearest = static_cast<int>(std::lround(100 * distance_cm.low));
    const int farthest = static_cast<int>(std::lround(100 * distance_cm.high));
    std::vector<double> rates;
    rates.reserve(sources.size() + static_cast<std::size_t>(farthest - nearest + 1));
    for (const Source& source : sources) {
        rates.push_back(source_rate(source));
    }
    for (int hundredths = nearest; hundredths <= farthest; ++hundredths) {
        rates.push_back(distance_rate(hundredths / 100.0));
    }
    return rates;
}

// The shares of honest counts that the rules flag at one setting.
Rule_shares rule_shares(double t, double rate) {
    const std::vector<double> p = count_distribution(t, rate);
    const std::vector<double> ps = two_sided_ps(p);
    const bool z_n_shown = mean_and_spread(p).mean >= normal_from_mean;
    Rule_shares shares;
    for (std::size_t n = 0; n < p.size(); ++n) {
        shares.second_look += ps[n] < second_look_rarer_than ? p[n] : 0;
        shares.query += ps[n] < rarer_than ? p[n] : 0;
        const Student_rates rates = student_rates(static_cast<int>(n), t);
        if (z_n_shown && n > 0 && rates.live()) {
            const double z_n = (rates.n - rate) / rates.sigma_n;
            shares.z_n_beyond_3 += std::abs(z_n) > 3 ? p[n] : 0;
        }
    }
    return shares;
}

Rule_shares rules_over_every_setting() {
    Rule_shares worst;
    for (const double rate : grid_rates()) {
        for (int t = static_cast<int>(counting_time_s.low); t <= static_cast<int>(counting_time_s.high); ++t) {
            const Rule_shares here = rule_shares(t, rate);
            worst.second_look = std::max(worst.second_look, here.second_look);
            worst.query = std::max(worst.query, here.query);
            worst.z_n_beyond_3 = std::max(worst.z_n_beyond_3, here.z_n_beyond_3);
        }
    }
    return worst;
}

struct Extremes {
    double low = 1;
    double high = 0;
    void add(double value) {
        low = std::min(low, value);
        high = std::max(high, value);
    }
};

// Worksheet 1's table to fill in: a row per source, a column per repeat.
std::string worksheet_1_table() {
    const int columns = 2 + worksheet_repeats + 5;
    std::ostringstream out;
    out << "| Source | A (Bq) |" << repeat_columns()
        << " Mean N | m (1/s) | n = m / (1 − m τ) (1/s) | σ_n (1/s) | A / 2 (1/s) |\n"
        << alignment_row(columns);
    for (std::size_t i = 0; i < sources.size(); ++i) {
        out << "| " << i + 1 << " | " << fixed(sources[i].activity_bq, 1) << " |";
        for (int c = 2; c < columns; ++c) {
            out << " |";
        }
        out << '\n';
    }
    return out.str();
}

}  // namespace

double rim_limit_cm() { return std::sqrt(cut_off_cm * cut_off_cm - R * R); }

double rim_limit_two_places_cm() { return std::round(rim_limit_cm() * 100) / 100; }

std::array<double, 8> table_distances_cm() {
    return {0.5, 1.0, 1.5, 2.0, rim_limit_two_places_cm(), 2.5, cut_off_cm, 3.0};
}

namespace {

// The guide says that at every setting at most 1 in 200 honest counts get a
// second look and at most 1 in 5,000 are queried, and that z_n, where it is
// shown, lies beyond 3 for fewer than 1 in 100.
void require_the_rules_hold() {
    const Rule_shares worst = rules_over_every_setting();
    if (worst.second_look > second_look_rarer_than || worst.query > rarer_than) {
        contradiction("the grading rule flags " + percent(worst.second_look, 3) + " % / " + percent(worst.query, 4) +
                      " % of honest counts at some setting");
    }
    if (worst.z_n_beyond_3 > 0.01) {
        contradiction("|z_n| > 3 for " + percent(worst.z_n_beyond_3, 2) + " % of honest counts at some setting");
    }
}

// Table 1, and what a grader reads off it: the shares of honest counts
// within and beyond 1, 2 and 3 sd, and how well the quotable sd does.
Values table_1() {
    std::ostringstream out;
    out << "| Source | A (Bq) | n = A/2 (1/s) | t (s) | n·t | N: mean ± sd | √mean | √mean·(1 − mτ) "
           "| 95 % of counts | Query outside |\n"
           "|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n";
    double worst_quotable_error = 0;  // largest |quotable / exact - 1|
    double worst_sqrt_excess = 0;     // largest sqrt(mean) / exact - 1
    Extremes within_1;
    Extremes from_1_to_2;
    Extremes outside_2;
    Extremes outside_3;
    for (std::size_t i = 0; i < sources.size(); ++i) {
        const double rate = source_rate(sources[i]);
        for (const double t : source_table_times_s) {
            const std::vector<double> p = count_distribution(t, rate);
            const Mean_and_spread count = mean_and_spread(p);
            const double quotable = quotable_sd(count.mean, t);
            worst_quotable_error = std::max(worst_quotable_error, std::abs(quotable / count.standard_deviation - 1));
            worst_sqrt_excess = std::max(worst_sqrt_excess, std::sqrt(count.mean) / count.standard_deviation - 1);
            within_1.add(1 - share_outside(p, count, 1));
            from_1_to_2.add(share_outside(p, count, 1) - share_outside(p, count, 2));
            outside_2.add(share_outside(p, count, 2));
            outside_3.add(share_outside(p, count, 3));
            out << "| " << i + 1 << " | " << fixed(sources[i].activity_bq, 1) << " | " << fixed(rate, 2) << " | "
                << fixed(t, 0) << " | " << fixed(rate * t, 1) << " | " << mean_pm_sd(count) << " | "
                << fixed(std::sqrt(count.mean), 1) << " | " << fixed(quotable, 1) << " | " << grading_cells(p) << "\n";
        }
    }
    // The standard deviation the guide tells students to quote must match the exact one.
    if (worst_quotable_error > 0.05) {
        contradiction("sqrt(N) (1 - m tau) is " + fixed(100 * worst_quotable_error, 1) +
                      " % off the exact standard deviation in Table 1");
    }
    return {
        {"source_table", out.str()},
        {"quotable_error", fixed(100 * worst_quotable_error, 1)},
        {"sqrt_excess", fixed(100 * worst_sqrt_excess, 0)},
        {"within_1_low", percent(within_1.low, 0)},
        {"within_1_high", percent(within_1.high, 0)},
        {"from_1_to_2_low", percent(from_1_to_2.low, 0)},
        {"from_1_to_2_high", percent(from_1_to_2.high, 0)},
        {"from_1_to_2_one_in", one_in((from_1_to_2.low + from_1_to_2.high) / 2)},
        {"outside_1_one_in", one_in_words(1 - (within_1.low + within_1.high) / 2)},
        {"outside_2_low", percent(outside_2.low, 1)},
        {"outside_2_high", percent(outside_2.high, 1)},
        {"outside_2_one_in", one_in((outside_2.low + outside_2.high) / 2)},
        {"outside_2_one_in_number", std::to_string(std::lround(2 / (outside_2.low + outside_2.high)))},
        {"outside_3_low", percent(outside_3.low, 2)},
        {"outside_3_high", percent(outside_3.high, 2)},
    };
}

// Worksheet 1 in a whole class: how many counts outside 2 and 3 sd, how many
// students have at least one outside 2 sd, and how far sqrt(mean N)
// overstates the uncertainty of the mean count of the repeats.
Values worksheet_1_in_a_class() {
    double expected_outside_2 = 0;
    double expected_outside_3 = 0;
    double expected_second_look = 0;
    double none_outside_2 = 1;
    // sqrt(sum N) (1 - m tau) / k against sqrt(mean N): by sqrt(k) / (1 - m tau).
    double sqrt_k_low = std::numeric_limits<double>::infinity();
    double sqrt_k_high = 0;
    for (const Source& source : sources) {
        const std::vector<double> p = count_distribution(worksheet_t_s, source_rate(source));
        const Mean_and_spread count = mean_and_spread(p);
        expected_outside_2 += class_size * worksheet_repeats * share_outside(p, count, 2);
        expected_outside_3 += class_size * worksheet_repeats * share_outside(p, count, 3);
        none_outside_2 *= std::pow(1 - share_outside(p, count, 2), worksheet_repeats);
        const std::vector<double> ps = two_sided_ps(p);
        for (std::size_t n = 0; n < p.size(); ++n) {
            expected_second_look +=
                verdict_of(ps[n]) == Verdict::second_look ? class_size * worksheet_repeats * p[n] : 0;
        }
        const double factor = std::sqrt(worksheet_repeats) / (1 - count.mean / worksheet_t_s * tau);
        sqrt_k_low = std::min(sqrt_k_low, factor);
        sqrt_k_high = std::max(sqrt_k_high, factor);
    }
    const int recordings = class_size * worksheet_repeats * static_cast<int>(sources.size());
    return {
        {"class_second_look", fixed(expected_second_look, 1)},
        {"sqrt_k_low", fixed(sqrt_k_low, 2)},
        {"sqrt_k_high", fixed(sqrt_k_high, 2)},
        {"class_size", std::to_string(class_size)},
        {"class_recordings", std::to_string(recordings)},
        {"worksheet_repeats", std::to_string(worksheet_repeats)},
        {"worksheet_repeats_word", number_word(worksheet_repeats)},
        {"worksheet_repeats_word_capital", capitalised(number_word(worksheet_repeats))},
        {"worksheet_repeats_minus_one", std::to_string(worksheet_repeats - 1)},
        {"worksheet_1_table", worksheet_1_table()},
        {"worksheet_t", fixed(worksheet_t_s, 0)},
        {"class_outside_2", fixed(expected_outside_2, 0)},
        {"class_outside_3", fixed(expected_outside_3, 1)},
        {"students_outside_2", percent(1 - none_outside_2, 0)},
        {"sheet_wait_min", fixed(static_cast<double>(sources.size()) * worksheet_repeats * worksheet_t_s / 60, 1)},
    };
}

}  // namespace

Values source_table() {
    require_the_rules_hold();
    Values values = table_1();
    values.merge(worksheet_1_in_a_class());
    const double strongest = source_rate(sources.back());
    const double strongest_loss = 1 - count_spread(100, strongest).mean / (strongest * 100);
    values["strongest_loss"] = fixed(100 * strongest_loss, 0);
    values["z_n_from_mean"] = fixed(normal_from_mean, 0);
    return values;
}

namespace {

// Table 2: a count at each of its distances.
std::string table_2() {
    std::ostringstream table;
    table << "| d (cm) | Cone bounded by | Ω (sr) | n (1/s) | n·t | N: mean ± sd | Lost to dead time "
             "| 95 % of counts | Query outside |\n"
             "|---:|:---|---:|---:|---:|---:|---:|---:|---:|\n";
    for (const double d : table_distances_cm()) {
        const double rate = distance_rate(d);
        const std::vector<double> p = count_distribution(distance_table_t_s, rate);
        const Mean_and_spread count = mean_and_spread(p);
        const double true_count = rate * distance_table_t_s;
        table << "| " << fixed(d, 2) << " | " << bounded_by(d) << " | " << fixed(solid_angle(d, cut_off_cm), 3) << " | "
              << fixed(rate, 2) << " | " << fixed(true_count, 1) << " | " << mean_pm_sd(count) << " | "
              << (true_count > 0 ? fixed(100 * (1 - count.mean / true_count), 0) + " %" : "–") << " | "
              << grading_cells(p) << "\n";
    }
    return table.str();
}

// Worksheet 2: its rows to fill in, its key, and the plan of distances by
// what bounds the cone.
Values worksheet_2() {
    std::ostringstream key;
    std::ostringstream rows;
    for (const std::string& column : worksheet_2_key_columns(worksheet_t_s)) {
        key << "| " << column << " ";
    }
    key << "|\n|---:|:---|---:|---:|---:|---:|---:|---:|\n";
    for (const auto& row : worksheet_2_key(worksheet_t_s)) {
        for (const std::string& cell : row) {
            key << "| " << cell << " ";
        }
        key << "|\n";
        rows << "| " << row.front() << " | | | | | | | | |\n";
    }
    // The suggested plan's distances where `bound` bounds the cone.
    const auto plan_where = [](const std::string& bound) {
        std::vector<std::string> distances;
        for (const double d : worksheet_2_cm) {
            if (bounded_by(d) == bound) {
                distances.push_back(short_cm(d));
            }
        }
        return listed(distances);
    };
    return {
        {"worksheet_2_key", key.str()},
        {"worksheet_2_rows", rows.str()},
        {"plan_rim", plan_where("rim")},
        {"plan_cut_off", plan_where("cut-off")},
    };
}

}  // namespace

Values distance_table() {
    const auto inverse_square_ratio = [](double d) {
        return std::numbers::pi * R * R / (d * d) / solid_angle(d, cut_off_cm);
    };
    const double nearest_cm = distance_cm.low;
    const double nearest_rate = distance_rate(nearest_cm);
    const Mean_and_spread nearest = count_spread(distance_table_t_s, nearest_rate);
    const double far_limit = distance_source_bq * R * R / 4;  // n d^2 as d grows, were there no cut-off
    // The share of the allowed distances beyond the cut-off, where every count is 0.
    const double zero_share = (distance_cm.high - cut_off_cm) / (distance_cm.high - distance_cm.low);
    if (!(zero_share > 0.4 && zero_share < 0.6)) {
        contradiction("the guide says half of the distances give only zeros, but " + percent(zero_share, 0) + " % do");
    }
    Values values = worksheet_2();
    values.merge(Values{
        {"distance_table", table_2()},
        {"distance_table_t", fixed(distance_table_t_s, 0)},
        {"nd2_near", fixed(nearest_rate * nearest_cm * nearest_cm, 1)},
        {"nd2_rim", fixed(distance_rate(rim_limit_cm()) * rim_limit_cm() * rim_limit_cm(), 1)},
        {"nd2_far", fixed(far_limit, 1)},
        {"inverse_square_near", fixed(inverse_square_ratio(nearest_cm), 1)},
        {"inverse_square_rim", fixed(100 * (inverse_square_ratio(rim_limit_cm()) - 1), 0)},
        {"zero_share", fixed(100 * zero_share, 0)},
        {"zero_share_words", "half"},
        {"near_rate", fixed(nearest_rate, 1)},
        {"near_measured", fixed(nearest.mean / distance_table_t_s, 1)},
        {"near_loss", fixed(100 * (1 - nearest.mean / (nearest_rate * distance_table_t_s)), 0)},
        {"window_radius", fixed(R, 0)},
        {"cut_off", fixed(cut_off_cm, 2)},
        {"rim_limit", fixed(rim_limit_cm(), 2)},
        {"distance_source", fixed(distance_source_bq, 2)},
    });
    return values;
}

}  // namespace counting_lab::guide
