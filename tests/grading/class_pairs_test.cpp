// The class check of pairs: identical counts, and copied counts found
// against the chance of as many in a class of honest students.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <map>
#include <random>
#include <string>

#include "class_sheets.hpp"
#include "grading/class_summary.hpp"
#include "grading/sheet.hpp"

namespace {

using namespace counting_lab::grading;
using class_sheets::honest;
using class_sheets::nine_o_clock;

// Pairs are of different students; one student's repeats are no pair; those
// of one second are equal by design and apart from those by chance; beyond
// the cut-off every count is 0, so none is a pair.
TEST(ClassPairs, IdenticalCountsOfDifferentStudents) {
    const Class_check check = check_class(
        "student,source,distance_cm,t_s,N,time_utc\n"
        "Ann,1,,30,30,2026-12-09T09:00:00Z\nAnn,1,,30,30,2026-12-09T09:01:00Z\n"
        "Bob,1,,30,30,2026-12-09T09:02:00Z\nCy,1,,30,30,2026-12-09T09:01:00Z\nCy,1,,10,30,2026-12-09T09:01:00Z\n"
        "Ann,,3.0,30,0,\nBob,,3.0,30,0,\n");
    // By chance: Ann-Bob twice, Ann's first with Cy, Bob-Cy; Ann's second
    // with Cy is of one second. Not Ann-Ann, Cy's 10 s count, nor 3.0 cm.
    EXPECT_EQ(check.summary.pairs, 4U);
    EXPECT_EQ(check.summary.same_second_pairs, 1U);
    ASSERT_FALSE(check.summary.shown_pairs.empty());
    EXPECT_TRUE(check.summary.shown_pairs[0].same_second);
    EXPECT_EQ(check.rows[check.summary.shown_pairs[0].one].line, 3);
    EXPECT_EQ(check.rows[check.summary.shown_pairs[0].other].line, 5);
    // An honest class of these settings: the 4 pairs at source 1, 30 s not
    // of one second, each equal with the chance that two honest counts are.
    const std::vector<double> p = count_distribution(30, counting_lab::setting_rate(1, 0));
    double same = 0;
    for (const double q : p) {
        same += q * q;
    }
    EXPECT_NEAR(check.summary.honest_pairs, 4 * same, 1e-12);
}

// An honest class on Worksheet 1's plan and three distances (3.0 cm beyond
// the cut-off), 30 s each, as the program counts it: students start within
// `spread_s` seconds of each other and type for 3 to 12 s between
// recordings, and recordings of one setting that end in the same second
// share their count. Rows and settings as the class check has them.
struct Simulated_class {
    std::vector<Checked_row> rows;
    Class_settings settings;
};

Simulated_class simulated_class(int students, int spread_s, std::mt19937& generator) {
    static const std::vector<Setting> plan = [] {
        std::vector<Setting> settings;
        for (int source = 1; source <= 5; ++source) {
            settings.insert(settings.end(), 3, Setting{source, 0, 30});
        }
        for (const double d : {1.0, 2.0, 3.0}) {
            settings.push_back({0, d, 30});
        }
        return settings;
    }();
    static const std::vector<Setting_facts> facts = [] {
        std::vector<Setting_facts> all;
        std::transform(plan.begin(), plan.end(), std::back_inserter(all), facts_of);
        return all;
    }();
    std::uniform_real_distribution<double> u(0, 1);
    std::uniform_int_distribution<int> start(0, spread_s);
    std::uniform_int_distribution<int> typing(3, 12);
    std::map<std::pair<std::size_t, std::int64_t>, int> drawn;  // one count per setting and second
    Simulated_class c;
    c.rows.reserve(static_cast<std::size_t>(students) * plan.size());
    c.settings.of_row.reserve(c.rows.capacity());
    c.settings.facts = facts;
    for (int s = 0; s < students; ++s) {
        std::int64_t second = nine_o_clock + start(generator);
        for (std::size_t k = 0; k < plan.size(); ++k) {
            second += 30 + typing(generator);
            const auto [at, added] = drawn.try_emplace({k, second}, 0);
            if (added) {
                at->second = static_cast<int>(count_at_quantile(facts[k], u(generator)));
            }
            Checked_row row;
            row.student = "S" + std::to_string(s);
            row.setting = plan[k];
            row.N = at->second;
            row.second = second;
            c.rows.push_back(row);
            // Repeats of a source share its facts: index the first of them.
            c.settings.of_row.push_back(k < 15 ? k / 3 * 3 : k);
        }
    }
    return c;
}

// Honest classes, students starting together and apart: a flagged pair in
// about 1 in 200 classes at most, and as many identical counts by chance as
// the check says an honest class has.
TEST(ClassPairs, HonestClassesAsOftenAsStated) {
    std::mt19937 generator(11);  // NOLINT(cert-msc32-c,cert-msc51-cpp): the same classes each run
    constexpr int classes = class_sheets::sampled(1000);
    int flagged = 0;
    double by_chance = 0;
    double expected = 0;
    std::size_t same_second = 0;
    for (int c = 0; c < classes; ++c) {
        const Simulated_class honest_class = simulated_class(30, c % 2 == 0 ? 2 : 180, generator);
        Class_summary summary;
        identical(honest_class.rows, honest_class.settings, summary);
        copied(honest_class.rows, honest_class.settings, summary);
        flagged += summary.copied.empty() ? 0 : 1;
        by_chance += static_cast<double>(summary.pairs);
        expected += summary.honest_pairs;
        same_second += summary.same_second_pairs;
    }
    EXPECT_GT(same_second, 0U);  // students who start together do share seconds
    if (!class_sheets::full_size) {
        return;
    }
    // At most 1 in 200 (20,000 classes of this kind: 17 flagged, 1 in 1,176):
    // whole counts make the chance of a pair a step lower than the bound.
    EXPECT_LE(flagged, 5);
    EXPECT_NEAR(by_chance / expected, 1, 0.03);
}

// A copier of a neighbour's counts, without the times: found every time.
TEST(ClassPairs, CopiedCountsFound) {
    std::mt19937 generator(7);  // NOLINT(cert-msc32-c,cert-msc51-cpp): the same classes each run
    for (int c = 0; c < 20; ++c) {
        Simulated_class sheet = simulated_class(29, 180, generator);
        for (std::size_t i = 0; i < 18; ++i) {
            Checked_row copy = sheet.rows[i];
            copy.student = "Copier";
            copy.second.reset();
            sheet.rows.push_back(copy);
            sheet.settings.of_row.push_back(sheet.settings.of_row[i]);
        }
        Class_summary summary;
        copied(sheet.rows, sheet.settings, summary);
        EXPECT_EQ(summary.student_pairs, 435U);
        ASSERT_EQ(summary.copied.size(), 1U);
        EXPECT_EQ(summary.copied[0].one, "S0");
        EXPECT_EQ(summary.copied[0].other, "Copier");
        EXPECT_EQ(summary.copied[0].equal, 17);  // not at 3.0 cm, where every count is 0
        EXPECT_EQ(summary.copied[0].compared, 17);
    }
}

TEST(ClassPairs, SameFileHandedInTwice) {
    std::string rows;
    for (int k = 0; k < 3; ++k) {
        rows += honest("X", 1 + k, nine_o_clock + std::int64_t{40} * k);
    }
    std::string twice = rows;
    for (std::size_t at = 0; (at = twice.find("X,", at)) != std::string::npos; at += 2) {
        twice.replace(at, 1, "Y");
    }
    const Class_check check = check_class("student,source,t_s,N,time_utc\n" + rows + twice);
    ASSERT_EQ(check.summary.copied.size(), 1U);
    EXPECT_TRUE(check.summary.copied[0].same_file);
    EXPECT_EQ(check.summary.copied[0].compared, 0);  // every pair is of one second: no evidence by chance
    EXPECT_EQ(check.summary.to_talk_to.at(0).reasons, (std::vector<std::string>{"same counts as Y"}));
}

}  // namespace
