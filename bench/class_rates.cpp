// How often the class check flags honest students, classes and pairs, and
// how often it finds planted ones, on simulated classes of 30 doing
// Worksheets 1 and 2: the figures behind the rates the check states.
// class_rates [classes]: 600 honest classes of each kind by default.
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "../tests/grading/simulated_class.hpp"
#include "grading/class_check.hpp"

namespace {

using namespace counting_lab::grading;
using simulated_class::Class_plan;
using simulated_class::Planted;

// What the checks of honest classes added up to.
struct Tally {
    double students = 0;
    double regular = 0;
    double scattered = 0;
    double rows = 0;
    double second_looks = 0;
    double second_looks_stated = 0;
    double queries = 0;
    double queries_stated = 0;
    double not_reproduced = 0;
    double classes_flagged = 0;
    double chance_pairs = 0;
    double same_file = 0;
    double by_chance = 0;
    double by_chance_stated = 0;

    void add(const Class_summary& s) {
        for (const Scatter& student : s.students) {
            ++students;
            regular += student.reading == Scatter::Reading::too_regular ? 1 : 0;
            scattered += student.reading == Scatter::Reading::too_scattered ? 1 : 0;
        }
        rows += s.read;
        second_looks += s.counted[1];
        second_looks_stated += s.honest[1];
        queries += s.counted[2];
        queries_stated += s.honest[2];
        not_reproduced += static_cast<double>(s.not_reproduced_lines.size());
        classes_flagged += s.whole_class->reading != Scatter::Reading::as_expected ? 1 : 0;
        for (const Copied_pair& pair : s.copied) {
            (pair.same_file ? same_file : chance_pairs) += 1;
        }
        by_chance += static_cast<double>(s.pairs);
        by_chance_stated += s.honest_pairs;
    }
};

void honest(const char* kind, const Class_plan& plan, int classes, std::mt19937& generator) {
    Tally t;
    for (int c = 0; c < classes; ++c) {
        t.add(check_class(simulated_class::sheet(plan, generator)).summary);
    }
    std::printf("%s: %d classes, %.0f students, %.0f rows\n", kind, classes, t.students, t.rows);
    std::printf("  students too regular %.0f = 1 in %.0f, too scattered %.0f = 1 in %.0f (stated 1 in 200 each)\n",
                t.regular, t.students / t.regular, t.scattered, t.students / t.scattered);
    std::printf("  classes out of the ordinary %.0f = 1 in %.0f (stated 1 in 100)\n", t.classes_flagged,
                classes / t.classes_flagged);
    std::printf("  pairs flagged by chance %.0f (stated: at most 1 class in 200); same seconds throughout %.0f\n",
                t.chance_pairs, t.same_file);
    std::printf("  second looks %.0f against %.1f stated; queries %.0f against %.1f\n", t.second_looks,
                t.second_looks_stated, t.queries, t.queries_stated);
    std::printf("  identical counts by chance %.0f against %.0f stated (ratio %.4f); not reproduced %.0f\n",
                t.by_chance, t.by_chance_stated, t.by_chance / t.by_chance_stated, t.not_reproduced);
}

void planted(const char* kind, const Class_plan& plan, const std::string& reason, int classes,
             std::mt19937& generator) {
    int found = 0;
    int flagged = 0;
    for (int c = 0; c < classes; ++c) {
        const Class_check check = check_class(simulated_class::sheet(plan, generator));
        for (const Student_to_talk_to& talk : check.summary.to_talk_to) {
            if (talk.student != simulated_class::planted_name) {
                continue;
            }
            ++flagged;
            for (const std::string& r : talk.reasons) {
                if (r.rfind(reason, 0) == 0) {
                    ++found;
                    break;
                }
            }
        }
    }
    std::printf("%s: flagged %d of %d, as \"%s\" %d\n", kind, flagged, classes, reason.c_str(), found);
}

}  // namespace

int main(int argc, char** argv) {
    const int classes = argc > 1 ? static_cast<int>(std::strtol(argv[1], nullptr, 10)) : 600;
    std::mt19937 generator(2026);  // NOLINT(cert-msc32-c,cert-msc51-cpp)
    honest("Starting apart", {}, classes, generator);
    honest("Starting in threes in the same second", {.together = 3}, classes, generator);
    honest("Starting in threes and keeping in step", {.together = 3, .in_step = true}, classes, generator);
    honest("Starting apart, no times (lab PCs)", {.times = false}, classes, generator);
    const int some = classes / 3;
    planted("Copier, own times", {.planted = Planted::copier}, "same counts as Student 1", some, generator);
    planted("Copier, no times in the sheet", {.times = false, .planted = Planted::copier_without_times},
            "same counts as Student 1", some, generator);
    planted("Copier, times left blank", {.planted = Planted::copier_without_times}, "same counts as Student 1", some,
            generator);
    planted("File handed in twice", {.planted = Planted::handed_in_twice}, "same counts as Student 1", some, generator);
    planted("Inventor", {.planted = Planted::inventor}, "too regular", some, generator);
    planted("Swapped digits, with times", {.planted = Planted::swapped_digits}, "", some, generator);
    planted("Swapped digits, no times", {.times = false, .planted = Planted::swapped_digits}, "", some, generator);
}
