// The console dialogue: the main menu and the two exercises.
#pragma once

#include <array>
#include <functional>
#include <iosfwd>
#include <string_view>

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

/// Whether all of `word` is a number as a student may type it, and if so its
/// value in `value`: an integer is [sign] digits; a decimal is [sign]
/// (digits [. [digits]] | . digits) [(e|E) [sign] digits]. No comma for the
/// point, no hexadecimal, no "nan" or "inf". Integers beyond an int read as
/// its extreme of their sign, decimals beyond a double as an infinity.
bool parse_number(std::string_view word, int& value);
bool parse_number(std::string_view word, double& value);

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

/// Runs the main menu until the student chooses 0 or the input ends, or the
/// input stream fails (which ends it as the end of input does); returns the
/// exit status, which is 0 in every one of these cases.
int main_menu(Console& console);

}  // namespace counting_lab
