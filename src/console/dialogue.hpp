// The console dialogue: the main menu and the two exercises.
#pragma once

#include <functional>
#include <iosfwd>
#include <string_view>

#include "common/number_grammar.hpp"

namespace counting_lab {

/// What one recording is of, as the dialogue set it up.
struct Measurement {
    int exercise;        ///< 1, the source-activity exercise, or 2, the distance exercise
    int source;          ///< the source, 1 to 5, in exercise 1; 0 in exercise 2
    double distance_cm;  ///< the distance in exercise 2; 0 in exercise 1
    double t_s;          ///< the counting time
    double rate_per_s;   ///< the count rate that the setting gives
    double dead_time_s;  ///< the counter's dead time
};

/// Records for `t_s` seconds a source of `rate_per_s` counts per second
/// through a counter of dead time `dead_time_s` seconds, and returns the
/// count; told what the recording is of.
using Recording = std::function<int(const Measurement& measurement)>;

/// Where the dialogue meets the student.
struct Console {
    std::istream& in;
    std::ostream& out;
    /// Clears the screen; empty when `out` is not shown on one.
    std::function<void()> clear_screen;
    Recording record;
};

/// How an exercise ended.
enum class After {
    main_menu,     ///< the student chose to go back
    end_of_input,  ///< the keyboard closed; the program ends
};

/// The source-activity exercise: one of five sources, a counting time, the count.
After Part_1(Console& console);

/// The distance exercise: a distance from the window, a counting time, the count.
After Part_2(Console& console);

/// How the program's dialogue ended. Either way the program ends with status 0.
enum class Ended {
    exit_chosen,   ///< the student chose 0 at the main menu
    end_of_input,  ///< the keyboard closed, or the input stream failed
};

/// Runs the main menu until the student chooses 0 or the input ends, or the
/// input stream fails (which ends it as the end of input does).
Ended main_menu(Console& console);

}  // namespace counting_lab
