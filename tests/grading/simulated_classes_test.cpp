// The class check on whole simulated classes: how often it flags honest
// students, classes and pairs, against the rates it states, with students
// who start apart and in threes that keep in step, each three's counts
// equal throughout; and that it finds planted copiers and inventors.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "class_sheets.hpp"
#include "grading/class_check.hpp"
#include "simulated_class.hpp"

namespace {

using namespace counting_lab::grading;
using simulated_class::Class_plan;
using simulated_class::Planted;

const Student_to_talk_to* talk_to(const Class_check& check, const std::string& student) {
    const auto& list = check.summary.to_talk_to;
    const auto found = std::find_if(list.begin(), list.end(), [&](const auto& s) { return s.student == student; });
    return found == list.end() ? nullptr : &*found;
}

bool has_reason(const Student_to_talk_to* talk, const std::string& reason) {
    return talk != nullptr && std::any_of(talk->reasons.begin(), talk->reasons.end(),
                                          [&](const std::string& r) { return r.rfind(reason, 0) == 0; });
}

// 100 honest classes of 30, 3,000 students: 1 in 200 of them too regular
// and 1 in 200 too scattered (15 each, give or take 4), a class out of
// the ordinary 1 time in 100, a pair flagged by chance at most 1 time in
// 200, and identical counts by chance as many as the check expects. Three
// students in step hand in the same rows, second and count: three pairs
// that look like a file handed in twice, as the guide says.
TEST(SimulatedClasses, HonestOnesAreFlaggedAsOftenAsTheCheckSays) {
    std::mt19937 generator(11);  // NOLINT(cert-msc32-c,cert-msc51-cpp)
    int students = 0;
    int regular = 0;
    int scattered = 0;
    int classes_flagged = 0;
    int pairs_flagged = 0;
    int same_file = 0;
    double by_chance = 0;
    double expected_by_chance = 0;
    std::size_t same_second = 0;
    constexpr int classes = class_sheets::sampled(100);
    for (int c = 0; c < classes; ++c) {
        const Class_plan plan{.together = c < 40 * classes / 100 ? 1 : 3, .in_step = true};
        const Class_check check = check_class(simulated_class::sheet(plan, generator));
        ASSERT_TRUE(check.problem.empty());
        EXPECT_TRUE(check.summary.not_reproduced_lines.empty());
        for (const Scatter& s : check.summary.students) {
            ++students;
            regular += s.reading == Scatter::Reading::too_regular ? 1 : 0;
            scattered += s.reading == Scatter::Reading::too_scattered ? 1 : 0;
        }
        classes_flagged += check.summary.whole_class->reading != Scatter::Reading::as_expected ? 1 : 0;
        for (const Copied_pair& pair : check.summary.copied) {
            (pair.same_file ? same_file : pairs_flagged) += 1;
        }
        by_chance += static_cast<double>(check.summary.pairs);
        expected_by_chance += check.summary.honest_pairs;
        same_second += check.summary.same_second_pairs;
    }
    EXPECT_EQ(students, classes * 30);
    const int in_threes = classes - 40 * classes / 100;
    EXPECT_EQ(same_file, in_threes * 10 * 3);
    EXPECT_GE(same_second, static_cast<std::size_t>(in_threes) * 10 * 3 * 27);
    if (!class_sheets::full_size) {
        return;
    }
    EXPECT_GE(regular, 5);
    EXPECT_LE(regular, 28);
    EXPECT_GE(scattered, 5);
    EXPECT_LE(scattered, 28);
    EXPECT_LE(classes_flagged, 3);
    EXPECT_LE(pairs_flagged, 2);
    EXPECT_NEAR(by_chance / expected_by_chance, 1, 0.05);
}

// Planted students, ten classes each: a copier of the first student's
// counts, with times of his own or with no times in the whole sheet, and a
// file handed in twice, all found as the same counts as Student 1; an
// inventor of counts near the means too regular.
TEST(SimulatedClasses, FindsPlantedCopiersAndInventors) {
    std::mt19937 generator(12);  // NOLINT(cert-msc32-c,cert-msc51-cpp)
    const std::string planted = simulated_class::planted_name;
    for (int c = 0; c < 10; ++c) {
        for (const Class_plan& plan :
             {Class_plan{.planted = Planted::copier},
              Class_plan{.times = false, .planted = Planted::copier_without_times},
              Class_plan{.together = 3, .in_step = true, .planted = Planted::handed_in_twice}}) {
            const Class_check check = check_class(simulated_class::sheet(plan, generator));
            EXPECT_TRUE(has_reason(talk_to(check, planted), "same counts as Student 1")) << check.summary.copied.size();
        }
        const Class_check invented = check_class(simulated_class::sheet({.planted = Planted::inventor}, generator));
        EXPECT_TRUE(has_reason(talk_to(invented, planted), "too regular"));
    }
}

}  // namespace
