// The class check of pairs: identical counts of different students, and
// pairs of students whose counts agree more often than chance allows.
#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <string>
#include <utility>

#include "grading/class_summary.hpp"

namespace counting_lab::grading {

namespace {

bool same_second(const Checked_row& one, const Checked_row& other) {
    return one.second && other.second && *one.second == *other.second;
}

// Whether only one count can happen at a setting (beyond the cut-off): two
// counts there are equal whatever anyone does.
bool only_one_count(const Setting_facts& f) { return f.highest == 0; }

// How many pairs of rows of different students at each setting an honest
// class has equal by chance: those not from one second, at settings where
// more than one count can happen.
double honest_pairs(const std::vector<Checked_row>& rows, const Class_settings& settings) {
    // Rows by setting: per student, and per second and student.
    std::vector<std::map<std::string, int>> per_setting(settings.facts.size());
    std::map<std::pair<std::size_t, std::int64_t>, std::map<std::string, int>> per_second;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].refused()) {
            continue;
        }
        ++per_setting[settings.of_row[i]][rows[i].student];
        if (rows[i].second) {
            ++per_second[{settings.of_row[i], *rows[i].second}][rows[i].student];
        }
    }
    // Pairs of rows of different students among these counts per student.
    const auto pairs = [](const std::map<std::string, int>& per_student) {
        double all = 0;
        double own = 0;
        for (const auto& [student, n] : per_student) {
            all += n;
            own += static_cast<double>(n) * n;
        }
        return (all * all - own) / 2;
    };
    std::vector<double> apart(settings.facts.size());
    for (std::size_t s = 0; s < settings.facts.size(); ++s) {
        apart[s] = pairs(per_setting[s]);
    }
    for (const auto& [at, per_student] : per_second) {
        apart[at.first] -= pairs(per_student);
    }
    double expected = 0;
    for (std::size_t s = 0; s < settings.facts.size(); ++s) {
        if (!only_one_count(settings.facts[s])) {
            expected += apart[s] * settings.facts[s].same_count;
        }
    }
    return expected;
}

// A student's rows at each setting, in the sheet's order.
using Rows_by_setting = std::map<std::size_t, std::vector<std::size_t>>;

// Every row of `copy` is a row of `original`: setting, second and count.
bool handed_in_twice(const std::vector<Checked_row>& rows, const Rows_by_setting& copy,
                     const Rows_by_setting& original) {
    std::size_t n = 0;
    for (const auto& [setting, list] : copy) {
        const auto theirs = original.find(setting);
        for (const std::size_t i : list) {
            const bool found = theirs != original.end() && rows[i].second &&
                               std::any_of(theirs->second.begin(), theirs->second.end(), [&](std::size_t j) {
                                   return same_second(rows[i], rows[j]) && rows[i].N == rows[j].N;
                               });
            if (!found) {
                return false;
            }
            ++n;
        }
    }
    return n >= 3;
}

// The rows at settings where more than one count can happen, by setting and
// count.
std::map<std::pair<std::size_t, int>, std::vector<std::size_t>> rows_by_count(const std::vector<Checked_row>& rows,
                                                                              const Class_settings& settings) {
    std::map<std::pair<std::size_t, int>, std::vector<std::size_t>> same;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (!rows[i].refused() && !only_one_count(settings.facts[settings.of_row[i]])) {
            same[{settings.of_row[i], rows[i].N}].push_back(i);
        }
    }
    return same;
}

// The class's students, numbered in the sheet's order, with their rows.
struct Students {
    std::vector<std::string> names;
    std::map<std::string, std::size_t> number_of;
    std::vector<Rows_by_setting> rows_of;
};

Students students_of(const std::vector<Checked_row>& rows, const Class_settings& settings) {
    Students students;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].refused()) {
            continue;
        }
        const auto [at, added] = students.number_of.try_emplace(rows[i].student, students.names.size());
        if (added) {
            students.names.push_back(rows[i].student);
            students.rows_of.emplace_back();
        }
        students.rows_of[at->second][settings.of_row[i]].push_back(i);
    }
    return students;
}

// The pairs of students (by number) with a count in common: only those can
// be flagged.
std::set<std::pair<std::size_t, std::size_t>> candidate_pairs(const std::vector<Checked_row>& rows,
                                                              const Class_settings& settings,
                                                              const Students& students) {
    std::set<std::pair<std::size_t, std::size_t>> candidates;
    for (const auto& [at, list] : rows_by_count(rows, settings)) {
        std::vector<std::size_t> with(list.size());
        std::transform(list.begin(), list.end(), with.begin(),
                       [&](std::size_t i) { return students.number_of.at(rows[i].student); });
        std::sort(with.begin(), with.end());
        with.erase(std::unique(with.begin(), with.end()), with.end());
        for (std::size_t a = 0; a < with.size(); ++a) {
            for (std::size_t b = a + 1; b < with.size(); ++b) {
                candidates.emplace(with[a], with[b]);
            }
        }
    }
    return candidates;
}

// Two students' counts compared: each one's k-th count at a setting against
// the other's k-th, with the chance of as many equal.
Copied_pair compared(const std::vector<Checked_row>& rows, const Class_settings& settings, const Rows_by_setting& first,
                     const Rows_by_setting& second) {
    Copied_pair pair;
    std::vector<double> chances;
    for (const auto& [setting, mine] : first) {
        const auto theirs = second.find(setting);
        const Setting_facts& f = settings.facts[setting];
        if (theirs == second.end() || only_one_count(f)) {
            continue;
        }
        for (std::size_t k = 0; k < mine.size() && k < theirs->second.size(); ++k) {
            const Checked_row& x = rows[mine[k]];
            const Checked_row& y = rows[theirs->second[k]];
            if (!same_second(x, y)) {  // those are equal by design: no evidence
                chances.push_back(f.same_count);
                pair.equal += x.N == y.N ? 1 : 0;
            }
        }
    }
    pair.compared = static_cast<int>(chances.size());
    pair.same_file = handed_in_twice(rows, first, second) || handed_in_twice(rows, second, first);
    pair.chance = at_least(chances, pair.equal);
    return pair;
}

}  // namespace

double copied_rarer_than(std::size_t student_pairs) {
    return student_pairs > 0 ? -std::expm1(std::log1p(-1.0 / 200) / static_cast<double>(student_pairs)) : 0.0;
}

void identical(const std::vector<Checked_row>& rows, const Class_settings& settings, Class_summary& summary) {
    std::vector<Identical_pair> together;  // in the same second: listed first, as a grader asks about these
    std::vector<Identical_pair> apart;
    for (const auto& [at, list] : rows_by_count(rows, settings)) {
        for (std::size_t a = 0; a < list.size(); ++a) {
            for (std::size_t b = a + 1; b < list.size(); ++b) {
                if (rows[list[a]].student == rows[list[b]].student) {
                    continue;
                }
                const bool one_second = same_second(rows[list[a]], rows[list[b]]);
                ++(one_second ? summary.same_second_pairs : summary.pairs);
                auto& list_of = one_second ? together : apart;
                if (list_of.size() < shown_pairs_limit) {
                    list_of.push_back({list[a], list[b], one_second});
                }
            }
        }
    }
    together.insert(together.end(), apart.begin(), apart.end());
    together.resize(std::min(together.size(), shown_pairs_limit));
    summary.shown_pairs = std::move(together);
    summary.honest_pairs = honest_pairs(rows, settings);
}

void copied(const std::vector<Checked_row>& rows, const Class_settings& settings, Class_summary& summary) {
    const Students students = students_of(rows, settings);
    // Every pair of the class may be flagged by chance: together, 1 in 200.
    const auto n = static_cast<double>(students.names.size());
    summary.student_pairs = static_cast<std::size_t>(n * (n - 1) / 2);
    summary.copied_rarer_than = copied_rarer_than(summary.student_pairs);
    for (const auto& [a, b] : candidate_pairs(rows, settings, students)) {
        Copied_pair pair = compared(rows, settings, students.rows_of[a], students.rows_of[b]);
        pair.one = students.names[a];
        pair.other = students.names[b];
        if (pair.same_file || pair.chance < summary.copied_rarer_than) {
            summary.copied.push_back(std::move(pair));
        }
    }
}

}  // namespace counting_lab::grading
