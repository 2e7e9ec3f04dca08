// A setting of the lab, as a grader meets it on a form or a sheet: a source
// of the source-activity exercise or a distance of the distance exercise,
// and a counting time; what is wrong with one as typed, against the lab's
// setup; and its count rate.
#pragma once

#include <compare>
#include <optional>
#include <string>

namespace counting_lab::grading {

/// Source 1 to 5 of the source-activity exercise, or, with source 0, the
/// distance exercise at `d_cm`; recorded for `t_s` seconds.
struct Setting {
    int source = 0;
    double d_cm = 0;
    double t_s = 0;
    auto operator<=>(const Setting&) const = default;

    [[nodiscard]] double rate() const;
    /// "source 3, 30 s" or "d = 2.50 cm, 30 s".
    [[nodiscard]] std::string words() const;
};

/// What is wrong with a setting as read from what was typed (each part
/// empty where nothing was): each caller words it for its own form.
struct Setting_faults {
    bool source_and_distance = false;  // both filled in
    bool neither = false;              // neither filled in
    bool no_such_source = false;       // not one of the lab's sources
    bool distance_outside = false;     // outside the distances the program takes
    bool time_missing = false;
    bool time_outside = false;  // outside the counting times the program takes
    [[nodiscard]] bool any() const {
        return source_and_distance || neither || no_such_source || distance_outside || time_missing || time_outside;
    }
};

/// A setting as read from a form or a sheet: whether anything was typed for
/// each part (it may not have been a number, which the caller says), and
/// what was read.
struct Typed_setting {
    bool source_typed = false;
    bool distance_typed = false;
    bool time_typed = false;
    std::optional<int> source;
    std::optional<double> d_cm;
    std::optional<double> t_s;
};

/// Checks a setting against the lab's setup.
Setting_faults setting_faults(const Typed_setting& typed);

}  // namespace counting_lab::grading
