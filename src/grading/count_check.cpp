
#include "grading/count_check.hpp"

#include <cmath>
#include <optional>
#include <tuple>
#include <type_traits>

#include "common/number_grammar.hpp"
#include "grading/setting.hpp"
#include "grading/statistics.hpp"
#include "grading/wording.hpp"
#include "simulation/lab.hpp"

namespace counting_lab::grading {

namespace {

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
        constexpr bool whole = std::is_integral_v<Number>;
        problem += std::string(name) + ": “" + std::string(typed) + "” is not " +
                   (whole ? "a whole number" : "a number") +
                   (name == "Count N" ? ": write the count in digits, as 37." : ".");
        if (typed.find(',') != std::string_view::npos) {
            problem += " " + std::string(comma_hint);
        }
        problem += '\n';
        return std::nullopt;
    }
    return value;
}

std::string side(double z) { return z < 0 ? "below" : "above"; }

// A time as typed: 10 s, 10.5 s.
std::string seconds(double t) { return plain(t) + " s"; }

// The form as typed, read by the program's grammar and checked against the
// program's ranges; `problem` says, in lines, what is wrong.
struct Form {
    std::optional<int> source_number;
    std::optional<double> d_cm;
    std::optional<double> t_s;
    std::optional<int> N;
    std::string d_typed;  // as typed, to be shown as typed
    std::string N_typed;
    std::string problem;
};

Form read_form(std::string_view source, std::string_view distance, std::string_view time, std::string_view count) {
    Form form;
    form.source_number = field<int>("Source (1-5)", source, form.problem);
    form.d_cm = field<double>("Distance d (cm)", distance, form.problem);
    form.t_s = field<double>("Counting time t (s)", time, form.problem);
    form.N = field<int>("Count N", count, form.problem);
    form.d_typed = trimmed(distance);
    form.N_typed = trimmed(count);
    const Setting_faults faults = setting_faults({!trimmed(source).empty(), !trimmed(distance).empty(),
                                                  !trimmed(time).empty(), form.source_number, form.d_cm, form.t_s});
    if (faults.no_such_source) {
        form.problem += "Source (1-5): there is no source " + std::to_string(*form.source_number) +
                        "; the sources are 1 to " + std::to_string(sources.size()) + ".\n";
    }
    if (faults.distance_outside) {
        form.problem += "Distance d (cm): the program takes distances from " + fixed(distance_cm.low, 1) + " to " +
                        fixed(distance_cm.high, 1) + " cm.\n";
    }
    if (faults.time_outside) {
        form.problem += "Counting time t (s): the program takes counting times from " + fixed(counting_time_s.low, 0) +
                        " to " + seconds(counting_time_s.high) + ".\n";
    }
    if (form.N && *form.N < 0) {
        form.problem += "Count N: a count is a whole number from 0.\n";
    }
    if (faults.neither) {
        form.problem += "Fill in the source (1-5) or the distance d (cm).\n";
    }
    if (faults.source_and_distance) {
        form.problem += "Fill in the source or the distance, not both.\n";
    }
    if (faults.time_missing) {
        form.problem += "Fill in the counting time t (s).\n";
    }
    return form;
}

// Where a count N of a recording of t seconds stands, against its exact
// distribution `p` (with mean and spread) and the true rate: in standard
// deviations, and by the two-sided p that a grader goes by; then what it
// gives for the rates.
std::string count_stands(int N, double t, double rate, const std::vector<double>& p, const Mean_and_spread& spread) {
    const double z = (N - spread.mean) / spread.standard_deviation;
    const double off = std::abs(z);
    const double two_sided = two_sided_p(p, N);
    std::string answer = "N = " + std::to_string(N) + " lies " + fixed(off, 2) + " sd " + side(z) + " the mean: " +
                         (off <= 1   ? "within 1 sd."
                          : off <= 2 ? "between 1 and 2 sd."
                          : off <= 3 ? "between 2 and 3 sd."
                                     : "more than 3 sd.") +
                         " Two-sided p = " + p_words(two_sided) + ": " + verdict_words(verdict_of(two_sided)) + ".\n";
    const Student_rates rates = student_rates(N, t);
    if (N == 0) {
        return answer + "Measured rate m = 0: nothing to correct.";
    }
    if (!rates.live()) {
        return answer + "Measured rate m = " + fixed(rates.m, 3) + " per second: m τ = " + fixed(rates.m * tau, 2) +
               ", the counter was never live, and the correction cannot be made.";
    }
    const double z_n = (rates.n - rate) / rates.sigma_n;
    answer += "Measured rate m = N / t = " + fixed(rates.m, 3) +
              " per second; corrected n = m / (1 − m τ) = " + fixed(rates.n, 2) + " ± " + fixed(rates.sigma_n, 2) +
              " per second (σ_n = n / √N).\n";
    if (spread.mean < normal_from_mean) {
        return answer + "The true rate " + fixed(rate, 2) + " per second: too few counts for z_n (an honest mean of " +
               fixed(spread.mean, 1) + "); grade on the count's p.";
    }
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
        answer = "d = " + form.d_typed + " cm (Ω = " + fixed(solid_angle(*d_cm, cut_off_cm), 3) +
                 " sr), t = " + seconds(*t_s) + ": true rate n = " + fixed(rate, 2) + " per second.\n";
    }
    const std::vector<double> p = count_probabilities(*t_s, rate, tau);
    const Mean_and_spread spread = mean_and_spread(p);
    const int highest = highest_possible(*t_s, rate);
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
    const std::string N_is = "N = " + form.N_typed;
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
    return answer + count_stands(*N, *t_s, rate, p, spread);
}

}  // namespace counting_lab::grading
