// The teacher's guide's generator: each part works out, with the program's
// own model and fixed seeds, the values of the placeholders of its stretch of
// the guide, so that every number the guide states comes from the code.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "grading/answer_key.hpp"
#include "grading/count_check.hpp"
#include "grading/statistics.hpp"
#include "grading/wording.hpp"
#include "simulation/count_distribution.hpp"
#include "simulation/lab.hpp"

namespace counting_lab::guide {

// The guide states what the grading code works out, in its words.
using namespace counting_lab::grading;  // NOLINT(google-build-using-namespace)

/// The counting times of the guide's table of the sources, in s.
inline constexpr std::array<double, 3> source_table_times_s{10, 30, 100};

/// Honest counts at quantiles drawn from an exact distribution p with a
/// fixed seed, so that the guide comes out the same each time.
class Seeded_counts {
  public:
    Seeded_counts(const std::vector<double>& p, std::uint64_t seed);
    double operator()();

  private:
    std::vector<double> cumulative_;
    std::mt19937_64 generator_;
};

/// The count of one simulated recording, with the program's generator seeded
/// with `seed` as it is after a wait.
int simulated_count(double t, double rate, std::uint32_t seed);

/// The values of the guide's {{placeholders}}, by name.
using Values = std::map<std::string, std::string>;

/// A share as a percentage with `decimals` places, and as "one in N" words,
/// with "about" before them and without.
std::string percent(double share, int decimals);
std::string one_in(double share);
std::string one_in_words(double share);

/// The standard deviation that a student can work out from one count N of t
/// seconds: sqrt(N) (1 - m tau), with m = N / t.
double quotable_sd(double N, double t);

/// The mean of the values, and the sum of the squares of their distances
/// from `mean`.
double average(const std::vector<double>& v);
double squares_about(const std::vector<double>& v, double mean);

/// A small whole number in words ("three"), up to ten; larger ones in digits.
std::string number_word(int n);

/// The columns of a table for the repeated counts of a source, " N₁ | N₂ |
/// N₃ |" for three, and a table's alignment row of `columns` numbers.
std::string repeat_columns();
std::string alignment_row(int columns);

/// A distance as the guide writes it, with one or two decimals: 0.5, 0.75, 1.0.
std::string short_cm(double d_cm);

/// Stops the generator: the guide would state something false, or could not
/// be written.
[[noreturn]] void contradiction(const std::string& what);

/// Worksheet 1 as designed: a class of this many students, each recording
/// every source this many times for this long.
inline constexpr int class_size = 30;
inline constexpr int worksheet_repeats = 3;
inline constexpr double worksheet_t_s = 30;

/// The pages of the printed HTML edition, on A4 and on Letter alike, that
/// hold Worksheets 1 and 2 and their answer keys: the guide tells teachers
/// which to print for the students, and the browser test prints it on both
/// papers and holds it to these.
inline constexpr std::array<int, 4> printed_pages{12, 13, 14, 15};

/// A whole class's honest sheet for the class check: each student's
/// Worksheets 1 and 2 as the program counts them, one second after another,
/// with the arithmetic done right.
std::string honest_sheet(int students);

/// Where the window's rim stops bounding the cone, in cm: the rim is then
/// exactly the cut-off distance away from the source.
double rim_limit_cm();

/// The distances of Table 2, in cm: either side of the rim limit and of the
/// cut-off; Figure 3 also plots those below the cut-off.
/// That is, 2.44 cm, where the tables and Worksheet 2 set a distance.
double rim_limit_two_places_cm();
std::array<double, 8> table_distances_cm();

// The parts of the guide.
Values source_table();                            // Table 1 and what a grader reads off it (tables.cpp)
Values distance_table();                          // Table 2, the geometry and Worksheet 2's key (tables.cpp)
Values sample_results();                          // the data sheet, the worked correction, Worksheet 1's key
Values chi_square_exercise();                     // the chi-square exercise and its acceptance band
Values same_second();                             // recordings that end in the same second
Values figure_data(const std::string& folder);    // writes the figures' data; Figure 3's caption (figures.cpp)
Values repeated_counts();                         // Worksheet 1's first question and its key (repeats.cpp)
Values printed_pages_part();                      // which printed pages are the students' (make_guide.cpp)
Values checker_examples();                        // the checker's answers for two settings (make_guide.cpp)
Values class_example(const std::string& folder);  // the class check's example; writes a class's sheet

}  // namespace counting_lab::guide
