// The parts of the class check that look at the class as a whole: how many
// counts of each verdict, each student's and the class's scatter, identical
// counts, and the histograms. class_check.cpp reads the rows and calls them.
#pragma once

#include <cstddef>
#include <limits>
#include <vector>

#include "grading/class_check.hpp"
#include "grading/setting_facts.hpp"

namespace counting_lab::grading {

/// The facts of every setting of a sheet, and which setting each row has
/// (`no_setting` for a refused row).
struct Class_settings {
    std::vector<Setting_facts> facts;
    std::vector<std::size_t> of_row;
};
inline constexpr std::size_t no_setting = std::numeric_limits<std::size_t>::max();

Class_summary summarise(const std::vector<Checked_row>& rows, const Class_settings& settings);

/// A histogram for each setting with 10 or more counts.
std::vector<Class_histogram> histograms(const std::vector<Checked_row>& rows, const Class_settings& settings);

}  // namespace counting_lab::grading
