// The lab's setup, written once: the sources of the source-activity
// exercise, the source and cut-off of the distance exercise, the count rates
// both exercises hand to the counter, and the ranges the dialogue accepts.
// The dialogue checks what is typed against them (its prompts state the
// ranges in fixed texts of their own); the page, the grading library and
// the teacher's guide read them from here. The dead time `tau` and the window radius `R` stand with the
// recording and the geometry that they belong to.
#pragma once

#include <array>
#include <string_view>

#include "simulation/geometry.hpp"
#include "simulation/recording.hpp"

namespace counting_lab {

/// A source of the source-activity exercise.
struct Source {
    double activity_bq;
    std::string_view list_line;  ///< fixed texts, aligning the activities in a column
};

/// The sources of the source-activity exercise, numbered from 1.
inline constexpr std::array<Source, 5> sources{{
    {2.1, "1: A =  2.1 Bq"},
    {5.0, "2: A =  5.0 Bq"},
    {10.3, "3: A = 10.3 Bq"},
    {15.2, "4: A = 15.2 Bq"},
    {17.9, "5: A = 17.9 Bq"},
}};

/// Count rate per second of a source of the source-activity exercise: the
/// counter sees half of its emissions.
double source_rate(const Source& source);

/// Activity in Bq of the distance exercise's source, and its cut-off distance in cm.
inline constexpr double distance_source_bq = 60.85;
inline constexpr double cut_off_cm = 2.64;

/// Count rate per second of the distance exercise at `d_cm` from the window:
/// the share of the sphere that the window's solid angle takes.
double distance_rate(double d_cm);

/// The count rate of a setting of either exercise: source 1 to 5 of the
/// source-activity exercise, or, with source 0, the distance exercise at
/// `d_cm`. 0 for any other source.
double setting_rate(int source, double d_cm);

/// A range of values that the dialogue accepts, both ends included.
struct Accepted_range {
    double low;
    double high;
    /// False for NaN.
    [[nodiscard]] constexpr bool contains(double x) const { return x >= low && x <= high; }
};

/// The counting times of both exercises, in s, and the distances of the
/// distance exercise, in cm.
inline constexpr Accepted_range counting_time_s{10, 100};
inline constexpr Accepted_range distance_cm{0.5, 5.0};

}  // namespace counting_lab
