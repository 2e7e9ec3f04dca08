#include "count_facts.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <optional>
#include <tuple>
#include <type_traits>

#include "console/dialogue.hpp"
#include "simulation/geometry.hpp"
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

double query_threshold() {
    static const double threshold = [] {
        std::vector<std::vector<double>> all;
        for (const Source& source : sources) {
            for (const double t : source_table_times_s) {
                all.push_back(count_probabilities(t, source_rate(source), tau));
            }
        }
        for (int tenths = 30;; ++tenths) {
            const double k = tenths / 10.0;
            if (std::all_of(all.begin(), all.end(), [k](const std::vector<double>& p) {
                    return share_outside(p, mean_and_spread(p), k) < rarer_than;
                })) {
                return k;
            }
        }
    }();
    return threshold;
}

std::string fixed(double value, int decimals) {
    std::array<char, 64> text{};
    (void)std::snprintf(text.data(), text.size(), "%.*f", decimals, value);
    const std::string result = text.data();
    return result.find_first_not_of("-0.") == std::string::npos && result[0] == '-' ? result.substr(1) : result;
}

namespace {

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// A field of the form, read by the program's own number grammar. Empty when
// the field is; `problem` says what is wrong with what was typed.
template <class Number>
std::optional<Number> field(std::string_view name, std::string_view typed, std::string& problem) {
    typed = trimmed(typed);
    if (typed.empty()) {
        return std::nullopt;
    }
    Number value{};
    if (!parse_number(typed, value)) {
        problem += std::string(name) + ": “" + std::string(typed) + "” is not " +
                   (std::is_integral_v<Number> ? "a whole number." : "a number.");
        if (typed.find(',') != std::string_view::npos) {
            problem += " Type decimals with a point: 2.5, not 2,5.";
        }
        problem += '\n';
        return std::nullopt;
    }
    return value;
}

std::string side(double z) { return z < 0 ? "below" : "above"; }

// A time as typed: 10 s, 10.5 s.
std::string seconds(double t) {
    std::string text = fixed(t, 2);
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.') {
        text.pop_back();
    }
    return text + " s";
}

// The form as typed, read by the program's grammar and checked against the
// program's ranges; `problem` says, in lines, what is wrong.
struct Form {
    std::optional<int> source_number;
    std::optional<double> d_cm;
    std::optional<double> t_s;
    std::optional<int> N;
    std::string problem;
};

Form read_form(std::string_view source, std::string_view distance, std::string_view time, std::string_view count) {
    Form form;
    form.source_number = field<int>("Source (1-5)", source, form.problem);
    form.d_cm = field<double>("Distance d (cm)", distance, form.problem);
    form.t_s = field<double>("Counting time t (s)", time, form.problem);
    form.N = field<int>("Count N", count, form.problem);
    const int sources_n = static_cast<int>(sources.size());
    if (form.source_number && (*form.source_number < 1 || *form.source_number > sources_n)) {
        form.problem +=
            "Source (1-5): there is no source " + std::to_string(*form.source_number) + "; the sources are 1 to 5.\n";
    }
    if (form.d_cm && !(*form.d_cm >= 0.5 && *form.d_cm <= 5.0)) {
        form.problem += "Distance d (cm): the program takes distances from 0.5 to 5.0 cm.\n";
    }
    if (form.t_s && !(*form.t_s >= 10 && *form.t_s <= 100)) {
        form.problem += "Counting time t (s): the program takes counting times from 10 to 100 s.\n";
    }
    if (form.N && *form.N < 0) {
        form.problem += "Count N: a count is a whole number from 0.\n";
    }
    if (trimmed(source).empty() == trimmed(distance).empty()) {
        form.problem += trimmed(source).empty() ? "Fill in the source (1-5) or the distance d (cm).\n"
                                                : "Fill in the source or the distance, not both.\n";
    }
    if (trimmed(time).empty()) {
        form.problem += "Fill in the counting time t (s).\n";
    }
    return form;
}

// Where a count N of a recording of t seconds stands, against the mean and
// spread of its exact distribution and the true rate, and what it gives for
// the rates.
std::string count_stands(int N, double t, double rate, const Mean_and_spread& spread) {
    const double z = (N - spread.mean) / spread.standard_deviation;
    const double off = std::abs(z);
    std::string answer =
        "N = " + std::to_string(N) + " lies " + fixed(off, 2) + " sd " + side(z) + " the mean: " +
        (off <= 1                   ? "within 1 sd."
         : off <= 2                 ? "between 1 and 2 sd."
         : off <= 3                 ? "between 2 and 3 sd."
         : off <= query_threshold() ? "more than 3 sd: worth a second look."
                                    : "more than " + fixed(query_threshold(), 1) +
                                          " sd, rarer than 1 in 5,000 from an honest recording: query it.") +
        '\n';
    const double m = N / t;
    const double live = 1 - m * tau;
    if (N == 0) {
        return answer + "Measured rate m = 0: nothing to correct.";
    }
    if (!(live > 0)) {
        return answer + "Measured rate m = " + fixed(m, 3) + " per second: m τ = " + fixed(m * tau, 2) +
               ", the counter was never live, and the correction cannot be made.";
    }
    const double n = m / live;
    const double sd_n = n / std::sqrt(N);  // = sqrt(N) (1 - m tau) / t / (1 - m tau)^2
    const double z_n = (n - rate) / sd_n;
    answer += "Measured rate m = N / t = " + fixed(m, 3) + " per second; corrected n = m / (1 − m τ) = " + fixed(n, 2) +
              " ± " + fixed(sd_n, 2) + " per second (σ_n = n / √N).\n";
    answer += "The true rate " + fixed(rate, 2) + " per second: n lies " + fixed(std::abs(z_n), 2) + " σ_n " +
              side(z_n) + " it.";
    return answer;
}

}  // namespace

std::string check_count(std::string_view source, std::string_view distance, std::string_view time,
                        std::string_view count) {
    const Form form = read_form(source, distance, time, count);
    if (!form.problem.empty()) {
        return form.problem.substr(0, form.problem.size() - 1);
    }
    const auto& [source_number, d_cm, t_s, N] = std::tie(form.source_number, form.d_cm, form.t_s, form.N);
    double rate = 0;
    std::string answer;
    if (source_number) {
        const Source& chosen = sources[static_cast<std::size_t>(*source_number - 1)];
        rate = source_rate(chosen);
        answer = "Source " + std::to_string(*source_number) + " (A = " + fixed(chosen.activity_bq, 1) +
                 " Bq), t = " + seconds(*t_s) + ": true rate n = A/2 = " + fixed(rate, 2) + " per second.\n";
    } else {
        rate = distance_rate(*d_cm);
        answer = "d = " + fixed(*d_cm, 2) + " cm (Ω = " + fixed(solid_angle(*d_cm, cut_off_cm), 3) +
                 " sr), t = " + seconds(*t_s) + ": true rate n = " + fixed(rate, 2) + " per second.\n";
    }
    const std::vector<double> p = count_probabilities(*t_s, rate, tau);
    const Mean_and_spread spread = mean_and_spread(p);
    const int highest = static_cast<int>(p.size()) - 1;
    if (highest == 0) {
        answer += "Beyond " + fixed(cut_off_cm, 2) + " cm nothing reaches the window: every honest count is 0.\n";
    } else {
        const Count_range range = central_range(p, 0.95);
        answer += "An honest count: mean " + fixed(spread.mean, 1) + " ± " + fixed(spread.standard_deviation, 1) +
                  " (one standard deviation); 95 % of them lie from " + std::to_string(range.low) + " to " +
                  std::to_string(range.high) + ".\n";
    }
    if (!N) {
        return answer + "Fill in the count N to see where it stands.";
    }
    const std::string N_is = "N = " + std::to_string(*N);
    if (*N > highest) {
        return answer + N_is + " cannot happen: " +
               (highest == 0 ? "nothing is counted here."
                             : "no recording of " + seconds(*t_s) + " counts more than " + std::to_string(highest) +
                                   ", one count per dead time.") +
               " Query it.";
    }
    if (highest == 0) {
        return answer + N_is + ", as it must be.";
    }
    return answer + count_stands(*N, *t_s, rate, spread);
}

}  // namespace counting_lab::guide
