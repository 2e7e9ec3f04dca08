// The class check in the guide: an example sheet, as a class pastes it, and
// the check's answer; and a whole class's honest sheet for teachers to try.
#include <cmath>
#include <cstdint>
#include <fstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "grading/class_check.hpp"
#include "grading/render.hpp"
#include "grading/scatter_distribution.hpp"
#include "grading/setting_facts.hpp"
#include "grading/sheet.hpp"
#include "guide.hpp"
#include "simulation/lab.hpp"
#include "simulation/recording.hpp"

namespace counting_lab::guide {

namespace {

// 2026-12-09T09:00:00Z, when the example class starts recording.
constexpr std::int64_t class_start = 1'796'806'800;

// One row of a sheet: the count the program gives at that second, and the
// student's arithmetic done right.
std::string row(const std::string& student, int source, double d_cm, double t, std::int64_t second,
                const std::string& n_written = "") {
    const int N = count_of_second(t, setting_rate(source, d_cm), tau, second);
    const Student_rates rates = student_rates(N, t);
    return student + "," + (source > 0 ? std::to_string(source) : "") + "," + (source > 0 ? "" : short_cm(d_cm)) + "," +
           fixed(t, 0) + "," + std::to_string(N) + "," + fixed(rates.m, 3) + "," +
           (n_written.empty() ? fixed(rates.n, 2) : n_written) + "," + fixed(rates.sigma_n, 2) + "," +
           utc_time(second) + "\n";
}

constexpr std::string_view header = "student,source,distance_cm,t_s,N,m_per_s,n_per_s,sigma_n_per_s,time_utc\n";

}  // namespace

std::string honest_sheet(int students) {
    std::string sheet{header};
    for (int s = 0; s < students; ++s) {
        const std::string student = "Student " + std::string(s < 9 ? "0" : "") + std::to_string(s + 1);
        // Each student starts a few seconds after the last and records one
        // setting after another.
        std::int64_t second = class_start + std::int64_t{7} * s;
        for (int source = 1; source <= static_cast<int>(sources.size()); ++source) {
            for (int k = 0; k < worksheet_repeats; ++k) {
                second += static_cast<std::int64_t>(worksheet_t_s) + 9;
                sheet += row(student, source, 0, worksheet_t_s, second);
            }
        }
        for (const double d : worksheet_2_cm) {
            second += static_cast<std::int64_t>(worksheet_t_s) + 11;
            sheet += row(student, 0, d, worksheet_t_s, second);
        }
    }
    return sheet;
}

Values class_example(const std::string& folder) {
    // Three students, source 3 and one distance: honest rows, one count typed
    // with its digits swapped, one that no recording gives, a row without
    // its count, two students who pressed Enter in the same second, and one
    // corrected rate worked out wrong.
    std::string sheet{header};
    const std::int64_t at = class_start;
    sheet += row("Ada", 3, 0, 30, at + 40);
    sheet += row("Ada", 3, 0, 30, at + 80);
    sheet += row("Ada", 3, 0, 30, at + 120);
    sheet += row("Ada", 0, 2.6, 10, at + 140);
    sheet += row("Ben", 3, 0, 30, at + 40);  // the same second as Ada's first
    sheet += row("Ben", 3, 0, 30, at + 85);
    std::string mistyped = std::to_string(count_of_second(30, setting_rate(3, 0), tau, at + 125));
    std::swap(mistyped[1], mistyped[mistyped[1] != mistyped[2] ? 2 : 0]);
    sheet += "Ben,3,,30," + mistyped + ",,,," + utc_time(at + 125) + "\n";
    sheet += "Ben,,2.6,10,,,,,\n";
    sheet += "Cleo,3,,30,600,,,,\n";
    sheet += row("Cleo", 3, 0, 30, at + 90, "9.12");
    sheet += row("Cleo", 3, 0, 30, at + 130);
    sheet += row("Cleo", 0, 2.6, 10, at + 150);
    const Class_check check = check_class(sheet);
    std::ofstream(folder + "/class-sheet-example.csv", std::ios::binary) << honest_sheet(class_size);
    // A copier of a neighbour's Worksheets 1 and 2: the chance that honest
    // counts agree at every setting where more than one count can happen.
    std::vector<double> chances;
    int counts = 0;
    std::vector<Setting_facts> plan;  // the worksheets' settings, each once
    const auto add = [&](const Setting& setting) {
        ++counts;
        const Setting_facts f = facts_of(setting);
        if (f.highest > 0) {
            chances.push_back(f.same_count);
        }
        plan.push_back(f);
    };
    for (int source = 1; source <= static_cast<int>(sources.size()); ++source) {
        for (int k = 0; k < worksheet_repeats; ++k) {
            add({source, 0, worksheet_t_s});
        }
    }
    for (const double d : worksheet_2_cm) {
        add({0, d, worksheet_t_s});
    }
    const auto pairs = static_cast<std::size_t>(class_size * (class_size - 1) / 2);
    const double copied_chance = at_least(chances, static_cast<int>(chances.size()));
    if (!(copied_chance < copied_rarer_than(pairs))) {
        contradiction("the guide says a copier of a whole worksheet is flagged, but the chance is " +
                      p_words(copied_chance));
    }
    // The grid of the scatter test for a student's worksheets and a class's.
    const auto grid_step = [&plan](int students) {
        std::vector<std::pair<const Setting_facts*, int>> at;
        at.reserve(plan.size());
        for (const Setting_facts& f : plan) {
            at.emplace_back(&f, students);
        }
        return "1/" + std::to_string(std::lround(1 / scatter_distribution(at).step));
    };
    return {
        {"class_example_sheet", sheet.substr(0, sheet.size() - 1)},
        {"class_example_table", class_table_markdown(check)},
        {"class_example_summary", class_summary_words(check)},
        {"class_rows_limit", thousands(class_rows_limit)},
        {"scatter_student_step", grid_step(1)},
        {"scatter_class_step", grid_step(class_size)},
        {"copied_rarer_than", p_words(copied_rarer_than(pairs))},
        {"class_pairs", std::to_string(pairs)},
        {"class_example_counts", std::to_string(counts)},
        {"copied_chance", p_words(copied_chance)},
    };
}

}  // namespace counting_lab::guide
