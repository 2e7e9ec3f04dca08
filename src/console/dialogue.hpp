// The console dialogue: the main menu and the two exercises.
#pragma once

#include <functional>
#include <iosfwd>
#include <string_view>

#include "console/number_grammar.hpp"

namespace counting_lab {

/// Records for `t` seconds a source of `rate` counts per second through a
/// counter of dead time `dead_time` seconds, and returns the count.
using Recording = std::function<int(double t, double rate, double dead_time)>;

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
