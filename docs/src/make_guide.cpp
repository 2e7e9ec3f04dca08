// Writes the teacher's guide from its template, with every table and number
// worked out by the program's own model, and the data that the figures are
// drawn from. Fixed seeds and fixed formats: the same source gives the same
// bytes.
//
//   make_guide TEMPLATE GUIDE DATA_FOLDER
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <numbers>
#include <numeric>
#include <sstream>
#include <string>
#include <vector>

#include "console/dialogue.hpp"
#include "simulation/count_distribution.hpp"
#include "simulation/geometry.hpp"
#include "simulation/recording.hpp"

namespace {

using namespace counting_lab;

std::string fixed(double value, int decimals) {
    char text[64];
    (void)std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text == std::string("-0.0") ? "0.0" : text;
}

// Mean and standard deviation of the count of a recording of `t` seconds.
Mean_and_spread count_spread(double t, double rate) { return mean_and_spread(count_probabilities(t, rate, tau)); }

std::string mean_pm_sd(const Mean_and_spread& m) { return fixed(m.mean, 1) + " ± " + fixed(m.standard_deviation, 1); }

// The counts within three standard deviations of the mean, "low–high": a
// count outside them is more likely mis-typed than measured.
std::string three_sd_range(const Mean_and_spread& m) {
    const double low = std::max(0.0, std::ceil(m.mean - 3 * m.standard_deviation));
    const double high = std::floor(m.mean + 3 * m.standard_deviation);
    return fixed(low, 0) + "–" + fixed(high, 0);
}

// The standard deviation that a student can work out from one count N of t
// seconds: sqrt(N) (1 - m tau), with m = N / t.
double quotable_sd(double N, double t) { return std::sqrt(N) * (1 - N / t * tau); }

// The share of recordings whose count lies within `k` standard deviations of
// the mean, from the exact distribution `p` whose mean and spread are `m`.
double share_within(const std::vector<double>& p, const Mean_and_spread& m, double k) {
    double share = 0;
    for (std::size_t n = 0; n < p.size(); ++n) {
        if (std::abs(static_cast<double>(n) - m.mean) <= k * m.standard_deviation) {
            share += p[n];
        }
    }
    return share;
}

// Ends the generator: a number in the guide would contradict what it says.
[[noreturn]] void contradiction(const std::string& what) {
    std::cerr << "make_guide: " << what << '\n';
    std::exit(1);
}

// The distances of the distance table, in cm.
constexpr std::array<double, 8> table_distances_cm{0.5, 1.0, 1.5, 2.0, 2.44, 2.5, 2.64, 3.0};
// The counting times of the source table, in s.
constexpr std::array<double, 3> table_times_s{10, 30, 100};
// The counting time of the distance table, in s.
constexpr double distance_table_t_s = 100;

// Where the window's rim stops bounding the cone: the rim is then exactly
// the cut-off distance away from the source.
double rim_limit_cm() { return std::sqrt(cut_off_cm * cut_off_cm - R * R); }

std::string bounded_by(double d_cm) {
    if (d_cm > cut_off_cm) {
        return "nothing reaches";
    }
    return std::hypot(d_cm, R) < cut_off_cm ? "rim" : "cut-off";
}

// A recording's count, with the generator seeded as after a wait.
int recording(double t, double rate, std::uint32_t seed) { return count_events(t, rate, tau, seeded_draw(seed)); }

// n = m / (1 - m tau): the true rate that the measured rate m implies.
double corrected_rate(double measured_per_s) { return measured_per_s / (1 - measured_per_s * tau); }

// Table 1, and what it shows across its settings: how well the quotable
// standard deviation matches the exact one, and how many counts fall within
// one and two standard deviations.
struct Source_table {
    std::string table;
    double worst_quotable_error = 0;  // largest |quotable / exact - 1|
    double worst_sqrt_excess = 0;     // largest sqrt(mean) / exact - 1
    double within_1_low = 1, within_1_high = 0, within_2_low = 1, within_2_high = 0;
};

Source_table source_table() {
    Source_table result;
    std::ostringstream out;
    out << "| Source | A (Bq) | n = A/2 (1/s) | t (s) | n·t | N: mean ± sd | √mean | √mean·(1 − mτ) "
           "| mean ± 3 sd |\n"
           "|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n";
    for (std::size_t i = 0; i < sources.size(); ++i) {
        const double rate = source_rate(sources[i]);
        for (const double t : table_times_s) {
            const std::vector<double> p = count_probabilities(t, rate, tau);
            const Mean_and_spread count = mean_and_spread(p);
            const double quotable = quotable_sd(count.mean, t);
            result.worst_quotable_error =
                std::max(result.worst_quotable_error, std::abs(quotable / count.standard_deviation - 1));
            result.worst_sqrt_excess =
                std::max(result.worst_sqrt_excess, std::sqrt(count.mean) / count.standard_deviation - 1);
            const double within_1 = share_within(p, count, 1);
            const double within_2 = share_within(p, count, 2);
            result.within_1_low = std::min(result.within_1_low, within_1);
            result.within_1_high = std::max(result.within_1_high, within_1);
            result.within_2_low = std::min(result.within_2_low, within_2);
            result.within_2_high = std::max(result.within_2_high, within_2);
            out << "| " << i + 1 << " | " << fixed(sources[i].activity_bq, 1) << " | " << fixed(rate, 2) << " | "
                << fixed(t, 0) << " | " << fixed(rate * t, 1) << " | " << mean_pm_sd(count) << " | "
                << fixed(std::sqrt(count.mean), 1) << " | " << fixed(quotable, 1) << " | " << three_sd_range(count)
                << " |\n";
        }
    }
    result.table = out.str();
    return result;
}

std::string distance_table() {
    std::ostringstream out;
    out << "| d (cm) | Cone bounded by | Ω (sr) | n (1/s) | n·t | N: mean ± sd | Lost to dead time | mean ± 3 sd |\n"
           "|---:|:---|---:|---:|---:|---:|---:|---:|\n";
    for (const double d : table_distances_cm) {
        const double rate = distance_rate(d);
        const Mean_and_spread count = count_spread(distance_table_t_s, rate);
        const double true_count = rate * distance_table_t_s;
        out << "| " << fixed(d, 2) << " | " << bounded_by(d) << " | " << fixed(solid_angle(d, cut_off_cm), 3) << " | "
            << fixed(rate, 2) << " | " << fixed(true_count, 1) << " | " << mean_pm_sd(count) << " | "
            << (true_count > 0 ? fixed(100 * (1 - count.mean / true_count), 0) + " %" : "–") << " | "
            << three_sd_range(count) << " |\n";
    }
    return out.str();
}

// Figure 1: the true count rate against the distance, one data block per
// stretch (rim-bounded, cut-off-bounded, beyond the cut-off), and the rate
// that the counter measures, m = n / (1 + n tau).
void write_rate_against_distance(const std::string& path) {
    std::ofstream out(path);
    const double edges[] = {0.5, rim_limit_cm(), cut_off_cm, 5.0};
    for (int stretch = 0; stretch < 3; ++stretch) {
        const int steps = 200;
        for (int i = 0; i <= steps; ++i) {
            const double d = edges[stretch] + (edges[stretch + 1] - edges[stretch]) * i / steps;
            const double n = distance_rate(d);
            out << fixed(d, 5) << ' ' << fixed(n, 5) << ' ' << fixed(n / (1 + n * tau), 5) << '\n';
        }
        out << "\n\n";
    }
}

struct Histogram_setting {
    std::size_t source;  // index into `sources`
    double t_s;
    int recordings;
    std::uint32_t first_seed;
};
constexpr Histogram_setting histogram{4, 10, 5000, 100'000};

// Figure 2: share of recordings with each count, the exact distribution, the
// Poisson distribution of a counter without dead time, and the Poisson
// distribution with the same mean as the exact one.
void write_count_histogram(const std::string& path) {
    const double rate = source_rate(sources[histogram.source]);
    const std::vector<double> exact = count_probabilities(histogram.t_s, rate, tau);
    std::vector<int> seen(exact.size(), 0);
    for (int i = 0; i < histogram.recordings; ++i) {
        ++seen[static_cast<std::size_t>(recording(histogram.t_s, rate, histogram.first_seed + i))];
    }
    const double mu = rate * histogram.t_s;
    const double same_mean = mean_and_spread(exact).mean;
    std::ofstream out(path);
    for (std::size_t n = 0; n < exact.size() && static_cast<double>(n) <= 3 * mu; ++n) {
        const double poisson = poisson_probability(static_cast<int>(n), mu);
        const double poisson_same_mean = poisson_probability(static_cast<int>(n), same_mean);
        if (seen[n] == 0 && exact[n] < 1e-4 && poisson < 1e-4 && poisson_same_mean < 1e-4) {
            continue;  // the empty tails
        }
        out << n << ' ' << fixed(static_cast<double>(seen[n]) / histogram.recordings, 6) << ' ' << fixed(exact[n], 6)
            << ' ' << fixed(poisson, 6) << ' ' << fixed(poisson_same_mean, 6) << '\n';
    }
}

// Figure 3: one 100 s recording at each rate of the lab, measured and
// corrected, with one standard deviation of a single recording, and the
// curves that they follow.
constexpr double figure_3_t_s = 100;
constexpr std::uint32_t figure_3_first_seed = 200'000;

void write_measured_rates(const std::string& points_path, const std::string& curve_path) {
    std::vector<double> rates;
    rates.reserve(sources.size() + table_distances_cm.size());
    for (const Source& s : sources) {
        rates.push_back(source_rate(s));
    }
    for (const double d : table_distances_cm) {
        if (distance_rate(d) > 0) {
            rates.push_back(distance_rate(d));
        }
    }
    std::ofstream points(points_path);
    std::uint32_t seed = figure_3_first_seed;
    for (const double n : rates) {
        const double m = recording(figure_3_t_s, n, seed++) / figure_3_t_s;
        // One standard deviation of a single recording, from the exact
        // distribution, carried through the correction.
        const double sd_m = count_spread(figure_3_t_s, n).standard_deviation / figure_3_t_s;
        const double sd_n = sd_m / ((1 - m * tau) * (1 - m * tau));
        points << fixed(n, 4) << ' ' << fixed(m, 4) << ' ' << fixed(corrected_rate(m), 4) << ' ' << fixed(sd_m, 4)
               << ' ' << fixed(sd_n, 4) << '\n';
    }
    std::ofstream curve(curve_path);
    for (int i = 0; i <= 100; ++i) {
        const double n = 18.0 * i / 100;
        curve << fixed(n, 4) << ' ' << fixed(n / (1 + n * tau), 4) << '\n';
    }
}

// A student's data sheet: three 30 s recordings of each source.
constexpr double sheet_t_s = 30;
constexpr int sheet_repeats = 3;
constexpr std::uint32_t sheet_first_seed = 300'000;

// A value as the guide prints it, rounded to `decimals`; the next step of a
// worked example goes on from the printed value, so that a calculator gives
// the same digits as the guide.
struct Shown {
    double value;
    std::string text;
};
Shown shown(double value, int decimals) {
    const std::string text = fixed(value, decimals);
    return {std::stod(text), text};
}

// A printed value with a typographic minus sign.
std::string signed_text(const Shown& v) { return v.value < 0 ? "−" + v.text.substr(1) : v.text; }

std::map<std::string, std::string> sample_results() {
    std::ostringstream sheet;
    sheet << "| Source | A (Bq) | N₁ | N₂ | N₃ | Mean N | m = N/t (1/s) | n = m/(1 − m·τ) (1/s) | A/2 (1/s) |\n"
             "|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n";
    std::uint32_t seed = sheet_first_seed;
    std::map<std::string, std::string> worked;
    for (std::size_t i = 0; i < sources.size(); ++i) {
        const double rate = source_rate(sources[i]);
        sheet << "| " << i + 1 << " | " << fixed(sources[i].activity_bq, 1);
        std::vector<int> counts;
        for (int k = 0; k < sheet_repeats; ++k) {
            counts.push_back(recording(sheet_t_s, rate, seed++));
            sheet << " | " << counts.back();
        }
        // Each column from the one before it as printed, as a student works it out.
        const Shown mean = shown(std::accumulate(counts.begin(), counts.end(), 0.0) / sheet_repeats, 1);
        const Shown m = shown(mean.value / sheet_t_s, 3);
        sheet << " | " << mean.text << " | " << m.text << " | " << shown(corrected_rate(m.value), 3).text << " | "
              << fixed(rate, 3) << " |\n";
        if (i + 1 != sources.size()) {
            continue;
        }
        // The worked example: the strongest source, its three recordings taken together.
        const int total = std::accumulate(counts.begin(), counts.end(), 0);
        const double T = sheet_t_s * sheet_repeats;
        const Shown m_all = shown(total / T, 4);
        const Shown dead_share = shown(m_all.value * tau, 4);
        const Shown live_share = shown(1 - dead_share.value, 4);
        const Shown n = shown(m_all.value / live_share.value, 4);
        const Shown sd_N = shown(std::sqrt(total) * live_share.value, 2);
        const Shown sd_m = shown(sd_N.value / T, 4);
        const Shown sd_n = shown(sd_m.value / (live_share.value * live_share.value), 4);
        const Shown z_corrected = shown((n.value - rate) / sd_n.value, 2);
        const Shown z_measured = shown((m_all.value - rate) / sd_m.value, 1);
        worked["worked_source"] = std::to_string(i + 1);
        worked["worked_counts"] =
            std::to_string(counts[0]) + ", " + std::to_string(counts[1]) + " and " + std::to_string(counts[2]);
        worked["worked_total"] = std::to_string(total);
        worked["worked_T"] = fixed(T, 0);
        worked["worked_m"] = m_all.text;
        worked["worked_dead"] = dead_share.text;
        worked["worked_live"] = live_share.text;
        worked["worked_n"] = n.text;
        worked["worked_sd_N"] = sd_N.text;
        worked["worked_sd_m"] = sd_m.text;
        worked["worked_sd_n"] = sd_n.text;
        worked["worked_true"] = fixed(rate, 2);
        worked["worked_z"] = signed_text(z_corrected);
        worked["worked_z_measured"] = fixed(std::abs(z_measured.value), 1);
        worked["worked_z_measured_side"] = z_measured.value < 0 ? "below" : "above";
        const double off = std::abs(z_corrected.value);
        worked["worked_verdict"] = off <= 1
                                       ? "within one standard deviation of the truth: the correction has done its work"
                                   : off <= 2 ? "between one and two standard deviations from the truth, as about one "
                                                "result in three is"
                                              : "more than two standard deviations from the truth, as about one result "
                                                "in twenty is: worth a second measurement";
        // The mistake of putting the count, not the rate, into the correction.
        worked["mistake_n"] = signed_text(shown(corrected_rate(total), 1));
    }
    worked["sample_sheet"] = sheet.str();
    return worked;
}

// The chi-square exercise: sets of repeated recordings of one setting, each
// set's sample standard deviation, and the chi-square that a student gets by
// taking sqrt(N) as the standard deviation.
struct Chi_square_setting {
    std::size_t source;  // index into `sources`
    double t_s;
    int repeats;
    int sets;
    std::uint32_t first_seed;
};
constexpr Chi_square_setting chi_square{4, 10, 20, 2000, 400'000};

std::map<std::string, std::string> chi_square_exercise() {
    const double rate = source_rate(sources[chi_square.source]);
    const Mean_and_spread exact = count_spread(chi_square.t_s, rate);
    std::vector<double> sample_sds;
    std::vector<double> chi_squares;
    std::uint32_t seed = chi_square.first_seed;
    for (int set = 0; set < chi_square.sets; ++set) {
        std::vector<double> counts(static_cast<std::size_t>(chi_square.repeats));
        for (double& N : counts) {
            N = recording(chi_square.t_s, rate, seed++);
        }
        const double mean = std::accumulate(counts.begin(), counts.end(), 0.0) / chi_square.repeats;
        double squares = 0;
        for (const double N : counts) {
            squares += (N - mean) * (N - mean);
        }
        sample_sds.push_back(std::sqrt(squares / (chi_square.repeats - 1)));
        chi_squares.push_back(squares / mean);
    }
    const auto average = [](const std::vector<double>& v) {
        return std::accumulate(v.begin(), v.end(), 0.0) / static_cast<double>(v.size());
    };
    const double sd_mean = average(sample_sds);
    double spread = 0;
    for (const double sd : sample_sds) {
        spread += (sd - sd_mean) * (sd - sd_mean);
    }
    const double sd_spread = std::sqrt(spread / static_cast<double>(sample_sds.size() - 1));
    const int dof = chi_square.repeats - 1;
    return {
        {"chi_source", std::to_string(chi_square.source + 1)},
        {"chi_t", fixed(chi_square.t_s, 0)},
        {"chi_repeats", std::to_string(chi_square.repeats)},
        {"chi_wait_min", fixed(chi_square.repeats * chi_square.t_s / 60, 1)},
        {"chi_sets", std::to_string(chi_square.sets)},
        {"chi_exact_sd", fixed(exact.standard_deviation, 2)},
        {"chi_sqrt_mean", fixed(std::sqrt(exact.mean), 2)},
        {"chi_sample_sd", fixed(sd_mean, 2)},
        {"chi_sample_sd_low", fixed(sd_mean - 2 * sd_spread, 1)},
        {"chi_sample_sd_high", fixed(sd_mean + 2 * sd_spread, 1)},
        {"chi_sample_sd_spread", fixed(sd_spread, 2)},
        {"chi_dof", std::to_string(dof)},
        {"chi_expected", fixed(dof * exact.standard_deviation * exact.standard_deviation / exact.mean, 1)},
        {"chi_simulated", fixed(average(chi_squares), 1)},
    };
}

// What the solid angle of the window is, against the inverse-square law's
// pi R^2 / d^2, at the nearest distance and at the last rim-bounded one.
std::map<std::string, std::string> geometry_facts() {
    const auto inverse_square_ratio = [](double d) {
        return std::numbers::pi * R * R / (d * d) / solid_angle(d, cut_off_cm);
    };
    const double nearest_rate = distance_rate(0.5);
    const Mean_and_spread nearest = count_spread(distance_table_t_s, nearest_rate);
    return {
        {"inverse_square_near", fixed(inverse_square_ratio(0.5), 1)},
        {"inverse_square_rim", fixed(100 * (inverse_square_ratio(rim_limit_cm()) - 1), 0)},
        {"zero_share", fixed(100 * (5.0 - cut_off_cm) / (5.0 - 0.5), 0)},
        {"near_rate", fixed(nearest_rate, 1)},
        {"near_measured", fixed(nearest.mean / distance_table_t_s, 1)},
        {"near_loss", fixed(100 * (1 - nearest.mean / (nearest_rate * distance_table_t_s)), 0)},
    };
}

std::map<std::string, std::string> placeholders() {
    std::map<std::string, std::string> values = sample_results();
    values.merge(chi_square_exercise());
    values.merge(geometry_facts());
    const Source_table table_1 = source_table();
    // The standard deviation the guide tells students to quote must match the exact one.
    if (table_1.worst_quotable_error > 0.05) {
        contradiction("sqrt(N) (1 - m tau) is " + fixed(100 * table_1.worst_quotable_error, 1) +
                      " % off the exact standard deviation in Table 1");
    }
    values["source_table"] = table_1.table;
    values["quotable_error"] = fixed(100 * table_1.worst_quotable_error, 1);
    values["sqrt_excess"] = fixed(100 * table_1.worst_sqrt_excess, 0);
    values["within_1_low"] = fixed(100 * table_1.within_1_low, 0);
    values["within_1_high"] = fixed(100 * table_1.within_1_high, 0);
    values["within_2_low"] = fixed(100 * table_1.within_2_low, 0);
    values["within_2_high"] = fixed(100 * table_1.within_2_high, 0);
    values["outside_2_one_in"] = fixed(1 / (1 - table_1.within_2_low), 0);
    values["distance_table_t"] = fixed(distance_table_t_s, 0);
    values["sheet_wait_min"] = fixed(sources.size() * sheet_repeats * sheet_t_s / 60, 1);
    values["distance_table"] = distance_table();
    values["tau"] = fixed(tau, 2);
    values["window_radius"] = fixed(R, 0);
    values["cut_off"] = fixed(cut_off_cm, 2);
    values["rim_limit"] = fixed(rim_limit_cm(), 2);
    values["distance_source"] = fixed(distance_source_bq, 2);
    values["histogram_source"] = std::to_string(histogram.source + 1);
    values["histogram_t"] = fixed(histogram.t_s, 0);
    values["histogram_recordings"] = std::to_string(histogram.recordings);
    const double histogram_rate = source_rate(sources[histogram.source]);
    const Mean_and_spread histogram_count = count_spread(histogram.t_s, histogram_rate);
    values["histogram_rate"] = fixed(histogram_rate, 2);
    values["histogram_mean_sd"] = mean_pm_sd(histogram_count);
    values["histogram_poisson_sd"] = fixed(std::sqrt(histogram_rate * histogram.t_s), 1);
    values["histogram_same_mean_sd"] = fixed(std::sqrt(histogram_count.mean), 1);
    values["figure_3_t"] = fixed(figure_3_t_s, 0);
    values["sheet_t"] = fixed(sheet_t_s, 0);
    const double strongest = source_rate(sources.back());
    values["strongest_loss"] = fixed(100 * (1 - count_spread(100, strongest).mean / (strongest * 100)), 0);
    values["largest_count"] = std::to_string(highest_count(100, tau));
    return values;
}

// Replaces every {{name}} of the template; an unknown name is an error.
bool fill(std::string& text, const std::map<std::string, std::string>& values) {
    std::string result;
    std::size_t at = 0;
    for (std::size_t open; (open = text.find("{{", at)) != std::string::npos;) {
        const std::size_t close = text.find("}}", open);
        const auto value =
            close == std::string::npos ? values.end() : values.find(text.substr(open + 2, close - open - 2));
        if (value == values.end()) {
            std::cerr << "make_guide: unknown placeholder at: " << text.substr(open, 40) << '\n';
            return false;
        }
        result += text.substr(at, open - at) + value->second;
        at = close + 2;
    }
    text = result + text.substr(at);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: make_guide TEMPLATE GUIDE DATA_FOLDER\n";
        return 2;
    }
    std::ifstream in(argv[1]);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in || text.empty() || !fill(text, placeholders())) {
        std::cerr << "make_guide: cannot fill " << argv[1] << '\n';
        return 1;
    }
    const std::string data = argv[3];
    write_rate_against_distance(data + "/rate_against_distance.dat");
    write_count_histogram(data + "/count_histogram.dat");
    write_measured_rates(data + "/measured_rates.dat", data + "/dead_time_curve.dat");
    std::ofstream(argv[2], std::ios::binary) << text;
    return 0;
}
