// The data that the guide's figures are drawn from, and what Figure 3's
// caption says about the points it plots.
#include <cmath>
#include <fstream>

#include "guide.hpp"
#include "simulation/lab.hpp"
#include "simulation/recording.hpp"

namespace counting_lab::guide {

namespace {

// A file of the figures' data; the generator stops if it cannot be written.
struct Data_file {
    std::string path;
    std::ofstream out;
    explicit Data_file(std::string where) : path(std::move(where)), out(path) {}
    Data_file(const Data_file&) = delete;
    Data_file& operator=(const Data_file&) = delete;
    ~Data_file() = default;
    void close() {
        out.close();
        if (!out) {
            contradiction("cannot write " + path);
        }
    }
};

// Figure 1: the true count rate against the distance, one data block per
// stretch (rim-bounded, cut-off-bounded, beyond the cut-off), and the rate
// that the counter measures, m = n / (1 + n tau).
void write_rate_against_distance(const std::string& path) {
    Data_file file(path);
    const double edges[] = {distance_cm.low, rim_limit_cm(), cut_off_cm, distance_cm.high};
    for (int stretch = 0; stretch < 3; ++stretch) {
        const int steps = 200;
        for (int i = 0; i <= steps; ++i) {
            const double d = edges[stretch] + (edges[stretch + 1] - edges[stretch]) * i / steps;
            const double n = distance_rate(d);
            file.out << fixed(d, 5) << ' ' << fixed(n, 5) << ' ' << fixed(n / (1 + n * tau), 5) << '\n';
        }
        file.out << "\n\n";
    }
    file.close();
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
    const std::vector<double> exact = count_distribution(histogram.t_s, rate);
    std::vector<int> seen(exact.size(), 0);
    for (int i = 0; i < histogram.recordings; ++i) {
        ++seen[static_cast<std::size_t>(simulated_count(histogram.t_s, rate, histogram.first_seed + i))];
    }
    const double mu = rate * histogram.t_s;
    const double same_mean = mean_and_spread(exact).mean;
    Data_file file(path);
    for (std::size_t n = 0; n < exact.size() && static_cast<double>(n) <= 3 * mu; ++n) {
        const double poisson = poisson_probability(static_cast<int>(n), mu);
        const double poisson_same_mean = poisson_probability(static_cast<int>(n), same_mean);
        if (seen[n] == 0 && exact[n] < 1e-4 && poisson < 1e-4 && poisson_same_mean < 1e-4) {
            continue;  // the empty tails
        }
        file.out << n << ' ' << fixed(static_cast<double>(seen[n]) / histogram.recordings, 6) << ' '
                 << fixed(exact[n], 6) << ' ' << fixed(poisson, 6) << ' ' << fixed(poisson_same_mean, 6) << '\n';
    }
    file.close();
}

// Figure 3: one 100 s recording at each rate of the lab, measured and
// corrected, with one standard deviation of a single recording, and the
// curves that they follow. Returns what the caption says of the points.
constexpr double figure_3_t_s = 100;
constexpr std::uint32_t figure_3_first_seed = 200'000;

// Figure 3's points: each source, and each distance of Table 2 that counts.
struct Plotted {
    std::string name;
    double rate;
};

std::vector<Plotted> figure_3_settings(const std::array<double, 8>& distances_cm) {
    std::vector<Plotted> settings;
    for (std::size_t i = 0; i < sources.size(); ++i) {
        settings.push_back({"source " + std::to_string(i + 1), source_rate(sources[i])});
    }
    for (const double d : distances_cm) {
        if (distance_rate(d) > 0) {
            settings.push_back({fixed(d, 2) + " cm", distance_rate(d)});
        }
    }
    return settings;
}

// The closest two rates, a source's and a distance's, that the marks must
// tell apart.
std::pair<double, double> closest_rates(const std::vector<Plotted>& settings) {
    std::pair<double, double> closest{0, 1e9};
    for (std::size_t i = 0; i < sources.size(); ++i) {
        for (std::size_t j = sources.size(); j < settings.size(); ++j) {
            if (std::abs(settings[i].rate - settings[j].rate) < std::abs(closest.first - closest.second)) {
                closest = std::minmax(settings[i].rate, settings[j].rate);
            }
        }
    }
    return closest;
}

Values write_measured_rates(const std::string& points_path, const std::string& curve_path,
                            const std::array<double, 8>& distances_cm) {
    const std::vector<Plotted> settings = figure_3_settings(distances_cm);
    Data_file points(points_path);
    std::uint32_t seed = figure_3_first_seed;
    int within_1 = 0;
    int within_2 = 0;
    int beyond_2 = 0;
    double farthest_z = 0;
    std::string farthest;
    for (const Plotted& s : settings) {
        const int N = simulated_count(figure_3_t_s, s.rate, seed++);
        const double m = N / figure_3_t_s;
        // One standard deviation of a single recording, from the exact
        // distribution, carried through the correction.
        const double sd_m = count_spread(figure_3_t_s, s.rate).standard_deviation / figure_3_t_s;
        const double sd_n = sd_m / ((1 - m * tau) * (1 - m * tau));
        const double n = corrected_rate(m);
        const double z = (n - s.rate) / sd_n;
        (std::abs(z) <= 1 ? within_1 : std::abs(z) <= 2 ? within_2 : beyond_2) += 1;
        if (std::abs(z) > std::abs(farthest_z)) {
            farthest_z = z;
            farthest = s.name + "'s recording, N = " + std::to_string(N) + ",";
        }
        points.out << fixed(s.rate, 4) << ' ' << fixed(m, 4) << ' ' << fixed(n, 4) << ' ' << fixed(sd_m, 4) << ' '
                   << fixed(sd_n, 4) << '\n';
    }
    points.close();
    const std::pair<double, double> closest = closest_rates(settings);
    Data_file curve(curve_path);
    for (int i = 0; i <= 100; ++i) {
        const double n = 18.0 * i / 100;
        curve.out << fixed(n, 4) << ' ' << fixed(n / (1 + n * tau), 4) << '\n';
    }
    curve.close();
    return {
        {"figure_3_t", fixed(figure_3_t_s, 0)},
        {"figure_3_points", std::to_string(settings.size())},
        {"figure_3_close_low", fixed(closest.first, 2)},
        {"figure_3_close_high", fixed(closest.second, 2)},
        {"figure_3_within_1", std::to_string(within_1)},
        {"figure_3_within_2", std::to_string(within_2)},
        {"figure_3_beyond_2", std::to_string(beyond_2)},
        {"figure_3_farthest", farthest},
        {"figure_3_farthest_z", fixed(std::abs(farthest_z), 2)},
        {"figure_3_farthest_side", farthest_z < 0 ? "below" : "above"},
    };
}

}  // namespace

Values figure_data(const std::string& folder) {
    {
        // The lab's setup as figures.gp reads it.
        Data_file setup(folder + "/lab.gp");
        setup.out << "distance_low = " << fixed(distance_cm.low, 2)
                  << "; distance_high = " << fixed(distance_cm.high, 2) << "; sources_n = " << sources.size() << '\n';
        setup.close();
    }
    write_rate_against_distance(folder + "/rate_against_distance.dat");
    write_count_histogram(folder + "/count_histogram.dat");
    Values values =
        write_measured_rates(folder + "/measured_rates.dat", folder + "/dead_time_curve.dat", table_distances_cm());
    const double rate = source_rate(sources[histogram.source]);
    const Mean_and_spread count = count_spread(histogram.t_s, rate);
    values["histogram_source"] = std::to_string(histogram.source + 1);
    values["histogram_t"] = fixed(histogram.t_s, 0);
    values["histogram_recordings"] = thousands(histogram.recordings);
    values["histogram_rate"] = fixed(rate, 2);
    values["histogram_mean_sd"] = mean_pm_sd(count);
    values["histogram_poisson_sd"] = fixed(std::sqrt(rate * histogram.t_s), 1);
    values["histogram_same_mean_sd"] = fixed(std::sqrt(count.mean), 1);
    return values;
}

}  // namespace counting_lab::guide
