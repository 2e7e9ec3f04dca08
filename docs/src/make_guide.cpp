// Writes the teacher's guide from its template, with every table and number
// worked out by the program's own model, and the data that the figures are
// drawn from. Fixed seeds and fixed formats: the same source gives the same
// bytes. Exits with status 1, and writes nothing more, when a number would
// contradict what the guide says or a file cannot be written.
//
//   make_guide TEMPLATE GUIDE DATA_FOLDER
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <utility>

#include "guide.hpp"
#include "simulation/recording.hpp"

namespace counting_lab::guide {

std::vector<double> count_distribution(double t, double rate) { return count_probabilities(t, rate, tau); }

Mean_and_spread count_spread(double t, double rate) { return mean_and_spread(count_distribution(t, rate)); }

std::string mean_pm_sd(const Mean_and_spread& m) { return fixed(m.mean, 1) + " ± " + fixed(m.standard_deviation, 1); }

int simulated_count(double t, double rate, std::uint32_t seed) { return count_events(t, rate, tau, seeded_draw(seed)); }

double corrected_rate(double measured_per_s) { return measured_per_s / (1 - measured_per_s * tau); }

std::string thousands(int n) {
    const std::string digits = std::to_string(n);
    std::string text;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) {
            text += ',';
        }
        text += digits[i];
    }
    return text;
}

std::string percent(double share, int decimals) { return fixed(100 * share, decimals); }

std::string one_in(double share) {
    static const char* const words[] = {"", "", "two", "three", "four", "five", "six", "seven", "eight", "nine", "ten"};
    const long n = std::lround(1 / share);
    return "about one in " + (n >= 2 && n <= 10 ? std::string(words[n]) : std::to_string(n));
}

void contradiction(const std::string& what) {
    std::cerr << "make_guide: " << what << '\n';
    std::exit(1);
}

Values checker_examples() {
    return {
        {"checker_example_source", check_count("3", "", "10", "37")},
        {"checker_example_distance", check_count("", "2.5", "50", "70")},
    };
}

}  // namespace counting_lab::guide

namespace {

using counting_lab::guide::Values;

// Replaces every {{name}} of the text, again in what was put in, until none
// is left; an unknown name is an error.
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
                        checker_examples()}) {
        values.merge(part);
    }
    values["tau"] = fixed(counting_lab::tau, 2);
    values["largest_count"] = std::to_string(counting_lab::highest_count(100, counting_lab::tau));
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
