// Writes the teacher's guide from its template, with every table and number
// worked out by the program's own model, and the data that the figures are
// drawn from. Fixed seeds and fixed formats: the same source gives the same
// bytes. Exits with status 1, and writes nothing more, when a number would
// contradict what the guide says or a file cannot be written.
//
//   make_guide TEMPLATE GUIDE DATA_FOLDER
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <numeric>
#include <sstream>
#include <utility>

#include "guide.hpp"
#include "simulation/lab.hpp"
#include "simulation/recording.hpp"

namespace counting_lab::guide {

std::string percent(double share, int decimals) { return fixed(100 * share, decimals); }

std::string number_word(int n) {
    static const char* const words[] = {"zero", "one",   "two",   "three", "four", "five",
                                        "six",  "seven", "eight", "nine",  "ten"};
    return n >= 0 && n <= 10 ? words[n] : std::to_string(n);
}

std::string one_in_words(double share) {
    const long n = std::lround(1 / share);
    return "one in " + (n >= 2 && n <= 10 ? number_word(static_cast<int>(n)) : std::to_string(n));
}

std::string one_in(double share) { return "about " + one_in_words(share); }

double quotable_sd(double N, double t) { return std::sqrt(N) * (1 - N / t * tau); }

int simulated_count(double t, double rate, std::uint32_t seed) { return count_events(t, rate, tau, seeded_draw(seed)); }

// NOLINTNEXTLINE(cert-msc32-c,cert-msc51-cpp): seeded by the caller, so the guide comes out the same
Seeded_counts::Seeded_counts(const std::vector<double>& p, std::uint64_t seed)
    : cumulative_(p.size()), generator_(seed) {
    std::partial_sum(p.begin(), p.end(), cumulative_.begin());
}

double Seeded_counts::operator()() {
    const double u = static_cast<double>(generator_() >> 11) * 0x1.0p-53;
    return static_cast<double>(std::lower_bound(cumulative_.begin(), cumulative_.end(), u) - cumulative_.begin());
}

double average(const std::vector<double>& v) {
    return std::accumulate(v.begin(), v.end(), 0.0) / static_cast<double>(v.size());
}

double squares_about(const std::vector<double>& v, double mean) {
    double sum = 0;
    for (const double x : v) {
        sum += (x - mean) * (x - mean);
    }
    return sum;
}

std::string repeat_columns() {
    static const char* const subscripts[] = {"₀", "₁", "₂", "₃", "₄", "₅", "₆", "₇", "₈", "₉"};
    std::string text;
    for (int k = 1; k <= worksheet_repeats; ++k) {
        text += " N" + (k < 10 ? std::string(subscripts[k]) : std::to_string(k)) + " |";
    }
    return text;
}

std::string alignment_row(int columns) {
    std::string text = "|";
    for (int c = 0; c < columns; ++c) {
        text += "---:|";
    }
    return text + '\n';
}

std::string short_cm(double d_cm) {
    std::string text = fixed(d_cm, 2);
    if (text.back() == '0') {
        text.pop_back();
    }
    return text;
}

void contradiction(const std::string& what) {
    std::cerr << "make_guide: " << what << '\n';
    std::exit(1);
}

Values printed_pages_part() {
    return {
        {"page_worksheet_1", std::to_string(printed_pages[0])},
        {"page_worksheet_2", std::to_string(printed_pages[1])},
        {"page_key_1", std::to_string(printed_pages[2])},
        {"page_key_2", std::to_string(printed_pages[3])},
    };
}

Values checker_examples() {
    struct Example {
        const char* source;
        const char* distance;
        const char* time;
        const char* count;
    };
    const auto setting = [](const Example& e) {
        return (*e.source != '\0' ? "source " + std::string(e.source) : "d = " + std::string(e.distance) + " cm") +
               ", t = " + e.time + " s and N = " + e.count;
    };
    const Example by_source{"3", "", "10", "37"};
    const Example by_distance{"", "2.5", "50", "70"};
    return {
        {"checker_example_source", check_count(by_source.source, "", by_source.time, by_source.count)},
        {"checker_example_source_setting", setting(by_source)},
        {"checker_example_distance", check_count("", by_distance.distance, by_distance.time, by_distance.count)},
        {"checker_example_distance_setting", setting(by_distance)},
    };
}

}  // namespace counting_lab::guide

namespace {

using counting_lab::guide::Values;

// Replaces every {{name}} of the text, and again in what was put in, for at
// most three passes; false when a placeholder is left after them, or a name
// is unknown.
bool fill(std::string& text, const Values& values) {
    for (int pass = 0; pass < 3 && text.find("{{") != std::string::npos; ++pass) {
        std::string result;
        std::size_t at = 0;
        for (std::size_t open = 0; (open = text.find("{{", at)) != std::string::npos;) {
            const std::size_t close = text.find("}}", open);
            const auto value =
                close == std::string::npos ? values.end() : values.find(text.substr(open + 2, close - open - 2));
            if (value == values.end()) {
                std::cerr << "make_guide: unknown placeholder at: " << text.substr(open, 40) << '\n';
                return false;
            }
            result += text.substr(at, open - at);
            result += value->second;
            at = close + 2;
        }
        result += text.substr(at);
        text = std::move(result);
    }
    return text.find("{{") == std::string::npos;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace counting_lab::guide;
    if (argc != 4) {
        std::cerr << "usage: make_guide TEMPLATE GUIDE DATA_FOLDER\n";
        return 2;
    }
    std::ifstream in(argv[1]);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Values values = figure_data(argv[3]);
    for (Values part : {source_table(), distance_table(), sample_results(), chi_square_exercise(), same_second(),
                        repeated_counts(), printed_pages_part(), checker_examples(),
                        class_example(std::filesystem::path(argv[2]).parent_path().string())}) {
        values.merge(part);
    }
    values["tau"] = fixed(counting_lab::tau, 2);
    values["largest_count"] =
        std::to_string(counting_lab::highest_count(counting_lab::counting_time_s.high, counting_lab::tau));
    values["t_low"] = fixed(counting_lab::counting_time_s.low, 0);
    values["t_high"] = fixed(counting_lab::counting_time_s.high, 0);
    values["d_low"] = fixed(counting_lab::distance_cm.low, 1);
    values["d_high"] = fixed(counting_lab::distance_cm.high, 1);
    const auto [weakest, strongest] = std::minmax_element(
        counting_lab::sources.begin(), counting_lab::sources.end(),
        [](const counting_lab::Source& a, const counting_lab::Source& b) { return a.activity_bq < b.activity_bq; });
    values["activity_low"] = fixed(weakest->activity_bq, 1);
    values["activity_high"] = fixed(strongest->activity_bq, 1);
    values["query_rarity"] = "1 in " + thousands(static_cast<int>(std::lround(1 / rarer_than)));
    if (!in || text.empty() || !fill(text, values)) {
        std::cerr << "make_guide: cannot fill " << argv[1] << '\n';
        return 1;
    }
    std::ofstream guide(argv[2], std::ios::binary);
    guide << text;
    guide.close();
    if (!guide) {
        std::cerr << "make_guide: cannot write " << argv[2] << '\n';
        return 1;
    }
    return 0;
}
