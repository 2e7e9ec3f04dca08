#include "grading/answer_key.hpp"

#include <cmath>

#include "common/number_grammar.hpp"
#include "grading/setting.hpp"
#include "grading/statistics.hpp"
#include "grading/wording.hpp"
#include "simulation/geometry.hpp"
#include "simulation/lab.hpp"

namespace counting_lab::grading {

std::string bounded_by(double d_cm) {
    if (d_cm > cut_off_cm) {
        return "nothing reaches";
    }
    return std::hypot(d_cm, R) < cut_off_cm ? "rim" : "cut-off";
}

std::array<std::string, 2> grading_ranges(const std::vector<double>& p) {
    if (mean_and_spread(p).standard_deviation == 0) {
        return {"0", "0"};
    }
    const auto words = [](const Count_range& range) {
        return std::to_string(range.low) + "–" + std::to_string(range.high);
    };
    return {words(central_range(p, 0.95)), words(query_range(p))};
}

std::string grading_cells(const std::vector<double>& p) {
    const auto [central, query] = grading_ranges(p);
    return central + " | " + query + " |";
}

std::vector<std::string> worksheet_2_key_columns(double t) {
    return {"d (cm)",
            "Cone bounded by",
            "Ω (sr)",
            "n (1/s)",
            "n·d² (cm²/s)",
            "m for t = " + plain(t) + " s (1/s)",
            "N in " + plain(t) + " s: 95 % of counts",
            "Query outside"};
}

std::vector<std::vector<std::string>> worksheet_2_key(double t) {
    std::vector<std::vector<std::string>> rows;
    for (const double d : worksheet_2_cm) {
        const double rate = distance_rate(d);
        const std::vector<double> p = count_distribution(t, rate);
        std::vector<std::string> row{fixed(d, 2),    bounded_by(d),          fixed(solid_angle(d, cut_off_cm), 3),
                                     fixed(rate, 2), fixed(rate * d * d, 1), fixed(mean_and_spread(p).mean / t, 2)};
        const auto [central, query] = grading_ranges(p);
        row.push_back(central);
        row.push_back(query);
        rows.push_back(std::move(row));
    }
    return rows;
}

Key_time key_time(std::string_view typed_t) {
    double t = 0;
    const bool read = parse_number(typed_t, t);
    // The key is for any setting of Worksheet 2: only the time is typed.
    const Setting_faults faults = setting_faults({.source_typed = false,
                                                  .distance_typed = true,
                                                  .time_typed = !trimmed(typed_t).empty(),
                                                  .source = std::nullopt,
                                                  .d_cm = std::nullopt,
                                                  .t_s = read ? std::optional(t) : std::nullopt});
    if (read && !faults.time_outside) {
        return {t, ""};
    }
    return {std::nullopt,
            "Type the counting time the class used, in seconds, from " + fixed(counting_time_s.low, 0) + " to " +
                fixed(counting_time_s.high, 0) +
                (typed_t.find(',') != std::string_view::npos ? ". " + std::string(comma_hint) : std::string("."))};
}

}  // namespace counting_lab::grading
