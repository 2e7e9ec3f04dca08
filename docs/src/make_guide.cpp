// Writes the teacher's guide from its template, with every table and number
// worked out by the program's own model, and the data that the figures are
// drawn from. Fixed seeds and fixed formats: the same source gives the same
// bytes.
//
//   make_guide TEMPLATE GUIDE DATA_FOLDER
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
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

// The distances of the distance table, in cm.
constexpr std::array<double, 8> table_distances_cm{0.5, 1.0, 1.5, 2.0, 2.44, 2.5, 2.64, 3.0};
// The counting times of the source table, in s.
constexpr std::array<double, 3> table_times_s{10, 30, 100};

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

std::string source_table() {
    std::ostringstream out;
    out << "| Source | A (Bq) | Rate (1/s) | t (s) | Without dead time (A/2)·t | N: mean ± standard deviation | √mean "
           "|\n"
           "|---:|---:|---:|---:|---:|---:|---:|\n";
    for (std::size_t i = 0; i < sources.size(); ++i) {
        const double rate = source_rate(sources[i]);
        for (const double t : table_times_s) {
            const Mean_and_spread count = count_spread(t, rate);
            out << "| " << i + 1 << " | " << fixed(sources[i].activity_bq, 1) << " | " << fixed(rate, 2) << " | "
                << fixed(t, 0) << " | " << fixed(rate * t, 1) << " | " << mean_pm_sd(count) << " | "
                << fixed(std::sqrt(count.mean), 1) << " |\n";
        }
    }
    return out.str();
}

std::string distance_table() {
    std::ostringstream out;
    out << "| d (cm) | Cone bounded by | Solid angle (sr) | Count rate (1/s) | N in 100 s: mean ± standard deviation "
           "|\n"
           "|---:|:---|---:|---:|---:|\n";
    for (const double d : table_distances_cm) {
        out << "| " << fixed(d, 2) << " | " << bounded_by(d) << " | " << fixed(solid_angle(d, cut_off_cm), 3) << " | "
            << fixed(distance_rate(d), 2) << " | " << mean_pm_sd(count_spread(100, distance_rate(d))) << " |\n";
    }
    return out.str();
}

// Figure 1: the count rate against the distance, one data block per
// stretch (rim-bounded, cut-off-bounded, beyond the cut-off).
void write_rate_against_distance(const std::string& path) {
    std::ofstream out(path);
    const double edges[] = {0.5, rim_limit_cm(), cut_off_cm, 5.0};
    for (int stretch = 0; stretch < 3; ++stretch) {
        const int steps = 200;
        for (int i = 0; i <= steps; ++i) {
            const double d = edges[stretch] + (edges[stretch + 1] - edges[stretch]) * i / steps;
            out << fixed(d, 5) << ' ' << fixed(distance_rate(d), 5) << '\n';
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

// Figure 2: share of recordings with each count, the exact distribution and
// the Poisson distribution of a counter without dead time.
void write_count_histogram(const std::string& path) {
    const double rate = source_rate(sources[histogram.source]);
    const std::vector<double> exact = count_probabilities(histogram.t_s, rate, tau);
    std::vector<int> seen(exact.size(), 0);
    for (int i = 0; i < histogram.recordings; ++i) {
        ++seen[static_cast<std::size_t>(recording(histogram.t_s, rate, histogram.first_seed + i))];
    }
    const double mu = rate * histogram.t_s;
    std::ofstream out(path);
    for (std::size_t n = 0; n < exact.size() && static_cast<double>(n) <= 3 * mu; ++n) {
        const double poisson = poisson_probability(static_cast<int>(n), mu);
        if (seen[n] == 0 && exact[n] < 1e-4 && poisson < 1e-4) {
            continue;  // the empty tails
        }
        out << n << ' ' << fixed(static_cast<double>(seen[n]) / histogram.recordings, 6) << ' ' << fixed(exact[n], 6)
            << ' ' << fixed(poisson, 6) << '\n';
    }
}

// Figure 3: one 100 s recording at each rate of the lab, measured and
// corrected, and the curves that they follow.
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
        points << fixed(n, 4) << ' ' << fixed(m, 4) << ' ' << fixed(corrected_rate(m), 4) << '\n';
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
        const double mean = std::accumulate(counts.begin(), counts.end(), 0.0) / sheet_repeats;
        const double m = mean / sheet_t_s;
        sheet << " | " << fixed(mean, 1) << " | " << fixed(m, 3) << " | " << fixed(corrected_rate(m), 3) << " | "
              << fixed(rate, 3) << " |\n";
        if (i + 1 == sources.size()) {  // the worked example: the strongest source
            worked["worked_counts"] =
                std::to_string(counts[0]) + ", " + std::to_string(counts[1]) + " and " + std::to_string(counts[2]);
            worked["worked_mean"] = fixed(mean, 1);
            worked["worked_m"] = fixed(m, 3);
            worked["worked_loss"] = fixed(m * tau, 3);
            worked["worked_n"] = fixed(corrected_rate(m), 3);
            worked["worked_true"] = fixed(rate, 3);
            worked["worked_uncorrected_error"] = fixed(100 * (1 - m / rate), 0);
            worked["worked_corrected_error"] = fixed(100 * std::abs(1 - corrected_rate(m) / rate), 0);
            worked["worked_source"] = std::to_string(i + 1);
        }
    }
    worked["sample_sheet"] = sheet.str();
    return worked;
}

std::map<std::string, std::string> placeholders() {
    std::map<std::string, std::string> values = sample_results();
    values["source_table"] = source_table();
    values["distance_table"] = distance_table();
    values["tau"] = fixed(tau, 2);
    values["window_radius"] = fixed(R, 0);
    values["cut_off"] = fixed(cut_off_cm, 2);
    values["rim_limit"] = fixed(rim_limit_cm(), 2);
    values["distance_source"] = fixed(distance_source_bq, 2);
    values["histogram_source"] = std::to_string(histogram.source + 1);
    values["histogram_t"] = fixed(histogram.t_s, 0);
    values["histogram_recordings"] = std::to_string(histogram.recordings);
    values["histogram_rate"] = fixed(source_rate(sources[histogram.source]), 2);
    values["histogram_mean_sd"] = mean_pm_sd(count_spread(histogram.t_s, source_rate(sources[histogram.source])));
    values["histogram_poisson_sd"] = fixed(std::sqrt(source_rate(sources[histogram.source]) * histogram.t_s), 1);
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
