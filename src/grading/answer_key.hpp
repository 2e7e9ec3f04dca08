// Worksheet 2's answer key at any counting time: the guide prints it for the
// worksheet's time, and its HTML edition works it out for the time a class
// used, with the same code (render.hpp writes it as HTML).
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace counting_lab::grading {

/// The distances of Worksheet 2, in cm, each recorded once.
inline constexpr std::array<double, 12> worksheet_2_cm{0.5, 0.75, 1.0, 1.25, 1.5, 1.75, 2.0, 2.25, 2.44, 2.5, 2.6, 3.0};

/// What bounds the cone of counted emissions at a distance: "rim",
/// "cut-off", or "nothing reaches".
std::string bounded_by(double d_cm);

/// Where 95 % of honest counts lie, and outside which a count is queried
/// (its two-sided p below 1 in 5,000): "30–49" and "25–55", and the same as
/// two cells of a Markdown table, "30–49 | 25–55 |".
std::array<std::string, 2> grading_ranges(const std::vector<double>& p);
std::string grading_cells(const std::vector<double>& p);

/// The key's columns and its rows, a row of cells per distance, for
/// recordings of t seconds.
std::vector<std::string> worksheet_2_key_columns(double t);
std::vector<std::vector<std::string>> worksheet_2_key(double t);

/// The counting time of a key as typed, where the program takes it; else
/// what is wrong with it, in words.
struct Key_time {
    std::optional<double> t_s;
    std::string problem;
};
Key_time key_time(std::string_view typed_t);

}  // namespace counting_lab::grading
