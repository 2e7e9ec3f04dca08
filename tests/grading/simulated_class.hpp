// Whole classes doing Worksheets 1 and 2 (five sources three times, twelve
// distances once, 30 s each) as the program counts them: students start
// within three minutes, alone or in groups that start in the same second,
// and take 4 to 20 s between recordings; a group may keep in step, its
// recordings ending in the same seconds throughout. A student can be planted:
// one who copies a neighbour's counts, with or without times, one who
// invents counts near the means, one who swaps two digits of a count.
#pragma once

#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "grading/answer_key.hpp"
#include "grading/sheet.hpp"
#include "grading/statistics.hpp"
#include "grading/wording.hpp"
#include "simulation/lab.hpp"
#include "simulation/recording.hpp"

namespace simulated_class {

enum class Planted { none, copier, copier_without_times, handed_in_twice, inventor, swapped_digits };

struct Class_plan {
    int students = 30;
    int together = 1;         // students who start in the same second: 1, or 2, 3, ...
    bool in_step = false;     // and keep in step
    int starts_within = 180;  // seconds
    bool times = true;        // a time_utc column
    Planted planted = Planted::none;
};

// The planted student, where there is one: the last, copying the first.
inline const std::string planted_name = "Planted";

struct Recording {
    int source;
    double d_cm;
};

inline std::vector<Recording> worksheets() {
    std::vector<Recording> plan;
    for (int source = 1; source <= 5; ++source) {
        plan.insert(plan.end(), 3, Recording{source, 0});
    }
    for (const double d : counting_lab::grading::worksheet_2_cm) {
        plan.push_back({0, d});
    }
    return plan;
}

// Two neighbouring digits of N swapped, where two differ.
inline std::string swapped(int N, std::mt19937& generator) {
    std::string digits = std::to_string(N);
    if (digits.size() < 2) {
        return digits;
    }
    const auto from = std::uniform_int_distribution<std::size_t>(0, digits.size() - 2)(generator);
    for (std::size_t k = 0; k + 1 < digits.size(); ++k) {
        const std::size_t at = (from + k) % (digits.size() - 1);
        if (digits[at] != digits[at + 1]) {
            std::swap(digits[at], digits[at + 1]);
            break;
        }
    }
    return digits;
}

// The class's sheet: student,source,distance_cm,t_s,N[,time_utc].
inline std::string sheet(const Class_plan& plan, std::mt19937& generator) {
    constexpr std::int64_t nine_o_clock = 1'796'806'800;  // 2026-12-09T09:00:00Z
    constexpr double t = 30;
    const std::vector<Recording> recordings = worksheets();
    std::string text = "student,source,distance_cm,t_s,N";
    text += plan.times ? ",time_utc\n" : "\n";
    std::vector<std::string> first_counts;  // the first student's, for a copier
    std::vector<std::string> first_times;
    std::uniform_int_distribution<int> start(0, plan.starts_within);
    std::uniform_int_distribution<int> pause(4, 20);  // between one recording's end and the next one's start
    std::vector<std::int64_t> seconds;
    // a lesson of its own, on one of the days of ten years
    const std::int64_t lesson =
        nine_o_clock + std::int64_t{86'400} * std::uniform_int_distribution<int>(0, 3652)(generator);
    std::int64_t group_start = lesson;
    for (int s = 0; s < plan.students; ++s) {
        const bool last = s + 1 == plan.students;
        const Planted planted = last ? plan.planted : Planted::none;
        std::string name = planted_name;
        if (planted == Planted::none) {
            name = "Student ";
            name += std::to_string(s + 1);
        }
        if (s % plan.together == 0) {
            group_start = lesson + start(generator);
        }
        if (s % plan.together == 0 || !plan.in_step) {
            std::int64_t second = group_start;
            seconds.clear();
            for (std::size_t r = 0; r < recordings.size(); ++r) {
                second += static_cast<std::int64_t>(t) + (r == 0 ? 0 : pause(generator));
                seconds.push_back(second);
            }
        }
        const int swapped_row = std::uniform_int_distribution<int>(0, 14)(generator);  // a source's count
        for (std::size_t r = 0; r < recordings.size(); ++r) {
            const auto [source, d] = recordings[r];
            const double rate = counting_lab::setting_rate(source, d);
            const int N = counting_lab::count_of_second(t, rate, counting_lab::tau, seconds[r]);
            std::string count = std::to_string(N);
            std::string time;
            if (plan.times) {
                time += ',';
                time += counting_lab::grading::utc_time(seconds[r]);
            }
            if (planted == Planted::inventor) {
                const auto spread = counting_lab::grading::count_spread(t, rate);
                const double near = std::uniform_real_distribution<double>(-0.6, 0.6)(generator);
                count = std::to_string(std::lround(spread.mean + near * spread.standard_deviation));
            } else if (planted == Planted::swapped_digits && static_cast<int>(r) == swapped_row) {
                count = swapped(N, generator);
            }
            if (s == 0) {
                first_counts.push_back(count);
                first_times.push_back(time);
            }
            if (planted == Planted::copier || planted == Planted::copier_without_times ||
                planted == Planted::handed_in_twice) {
                count = first_counts[r];
                time = planted == Planted::handed_in_twice                      ? first_times[r]
                       : planted == Planted::copier_without_times && plan.times ? ","
                                                                                : time;
            }
            text += name;
            text += ',';
            text += source > 0 ? std::to_string(source) : std::string();
            text += ',';
            text += source > 0 ? std::string() : counting_lab::grading::fixed(d, 2);
            text += ",30,";
            text += count;
            text += time;
            text += '\n';
        }
    }
    return text;
}

}  // namespace simulated_class
