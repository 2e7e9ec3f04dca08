// Rows of class sheets for the class check's tests: honest ones, as the
// program counts them at a second.
#pragma once

#include <cstdint>
#include <string>

#include "grading/class_check.hpp"
#include "grading/render.hpp"
#include "grading/sheet.hpp"
#include "simulation/lab.hpp"
#include "simulation/recording.hpp"

namespace class_sheets {

// The tests that measure a rate on many simulated classes run them all in
// the optimised build, where the rate is judged, and a tenth of them under
// the sanitizers, which look for undefined behaviour on the way and would
// take ten times as long.
#ifdef COUNTING_LAB_SANITIZED
inline constexpr bool full_size = false;
#else
inline constexpr bool full_size = true;
#endif
inline constexpr int sampled(int classes) { return full_size ? classes : (classes + 9) / 10; }

// 2026-12-09T09:00:00Z
inline constexpr std::int64_t nine_o_clock = 1'796'806'800;

inline int count_at(int source, double t, std::int64_t second) {
    return counting_lab::count_of_second(t, counting_lab::setting_rate(source, 0), counting_lab::tau, second);
}

// student,source,t_s,N,time_utc: the program's count at that second.
inline std::string honest(const std::string& student, int source, std::int64_t second) {
    return student + "," + std::to_string(source) + ",30," + std::to_string(count_at(source, 30, second)) + "," +
           counting_lab::grading::utc_time(second) + "\n";
}

// The cell of a checked row under a column of the table.
inline std::string cell(const counting_lab::grading::Class_check& check, std::size_t row, std::string_view column) {
    const auto& columns = counting_lab::grading::class_columns;
    const auto at = static_cast<std::size_t>(std::find(columns.begin(), columns.end(), column) - columns.begin());
    return counting_lab::grading::class_cells(check.rows.at(row)).at(at);
}

}  // namespace class_sheets
