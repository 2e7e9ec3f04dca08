// The parts of the class check that look at the class as a whole: how many
// counts of each verdict, each student's and the class's scatter, identical
// counts, and the histograms. class_check.cpp reads the rows and calls them.
#pragma once

#include <cstddef>
#include <limits>
#include <string>
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

/// The summary of the class; each row's `look` is filled in on the way.
Class_summary summarise(std::vector<Checked_row>& rows, const Class_settings& settings);

/// Identical counts of different students, those of one second apart from
/// those by chance (class_pairs.cpp).
void identical(const std::vector<Checked_row>& rows, const Class_settings& settings, Class_summary& summary);
/// Pairs of students whose counts agree more often than chance allows in a
/// class of their size (class_pairs.cpp).
void copied(const std::vector<Checked_row>& rows, const Class_settings& settings, Class_summary& summary);

/// A histogram for each setting with 10 or more counts.
std::vector<Class_histogram> histograms(const std::vector<Checked_row>& rows, const Class_settings& settings);

}  // namespace counting_lab::grading
