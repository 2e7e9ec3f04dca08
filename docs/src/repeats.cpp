// Worksheet 1's first question: what a student's three counts of a source
// can show of their scatter, and what the class's counts together show.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

#include "guide.hpp"
#include "simulation/lab.hpp"
#include "simulation/recording.hpp"

namespace counting_lab::guide {

namespace {

// The source whose counts the dead time narrows most: the strongest.
constexpr std::size_t repeats_source = sources.size() - 1;

}  // namespace

Values repeated_counts() {
    const double t = worksheet_t_s;
    const std::vector<double> p = count_distribution(t, source_rate(sources[repeats_source]));
    Seeded_counts honest(p, 2027);
    // The share of honest sets of k counts whose standard deviation lies
    // nearer sqrt(mean) (1 - m tau) than sqrt(mean), each worked out from
    // the set's own mean, as a student does.
    const auto nearer_share = [&](int k, int sets) {
        int nearer = 0;
        std::vector<double> counts(static_cast<std::size_t>(k));
        for (int set = 0; set < sets; ++set) {
            std::generate(counts.begin(), counts.end(), std::ref(honest));
            const double mean = average(counts);
            const double s = std::sqrt(squares_about(counts, mean) / (k - 1));
            nearer += std::abs(s - quotable_sd(mean, t)) < std::abs(s - std::sqrt(mean)) ? 1 : 0;
        }
        return static_cast<double>(nearer) / sets;
    };
    const int pooled = worksheet_repeats * class_size;
    const double students = nearer_share(worksheet_repeats, 100'000);
    const double classes = nearer_share(pooled, 20'000);
    if (!(students < 0.9)) {
        contradiction("the guide says three counts can hardly tell sqrt(N) from sqrt(N) (1 - m tau), but " +
                      percent(students, 0) + " % of students' tell them apart");
    }
    if (!(classes > 0.99)) {
        contradiction("the guide says the class's counts tell sqrt(N) from sqrt(N) (1 - m tau), but only " +
                      percent(classes, 1) + " % of classes' do");
    }
    const Mean_and_spread spread = mean_and_spread(p);
    return {
        {"repeats_source", std::to_string(repeats_source + 1)},
        {"three_nearer", percent(students, 0)},
        {"three_wrong", one_in(1 - students)},
        {"pooled_counts", std::to_string(pooled)},
        {"pooled_nearer", classes < 0.9995 ? percent(classes, 1) : "more than 99.9"},
        {"pooled_sd", fixed(spread.standard_deviation, 1)},
        {"pooled_sqrt", fixed(std::sqrt(spread.mean), 1)},
        {"pooled_quotable", fixed(quotable_sd(spread.mean, t), 1)},
        {"pooled_sd_spread", percent(1 / std::sqrt(2.0 * (pooled - 1)), 0)},
        {"three_sd_spread", percent(1 / std::sqrt(2.0 * (worksheet_repeats - 1)), 0)},
    };
}

}  // namespace counting_lab::guide
