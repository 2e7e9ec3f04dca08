#include "grading/class_summary.hpp"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <random>
#include <set>
#include <string>

#include "grading/wording.hpp"

namespace counting_lab::grading {

namespace {

// Where D stands among honest sets.
Scatter scatter_of(const std::vector<double>& sets, double D) {
    const double tolerance = 1e-9 * std::max(1.0, D);
    Scatter s;
    s.D = D;
    s.sets = static_cast<int>(sets.size());
    for (const double other : sets) {
        s.at_most += other <= D + tolerance ? 1 : 0;
        s.at_least += other >= D - tolerance ? 1 : 0;
    }
    s.reading = s.at_most * 200 < s.sets    ? Scatter::Reading::too_regular
                : s.at_least * 200 < s.sets ? Scatter::Reading::too_scattered
                                            : Scatter::Reading::as_expected;
    return s;
}

// Honest sets of counts at these settings, each set's D.
std::vector<double> honest_sets(const std::vector<std::size_t>& settings, const Class_settings& all,
                                std::mt19937& generator) {
    std::vector<double> sets(scatter_sets, 0.0);
    for (const std::size_t setting : settings) {
        const Setting_facts& f = all.facts[setting];
        std::transform(sets.begin(), sets.end(), sets.begin(), [&](double set) {
            return set + f.z2[count_at_quantile(f, (static_cast<double>(generator()) + 0.5) / 4294967296.0)];
        });
    }
    return sets;
}

// D = sum of z^2 over each student's counts, against sets drawn from the
// exact distributions of the same settings: once per set of settings, so a
// class that did the same worksheets is drawn once. Then the class's D, with
// each group of counts at one setting whose recordings ended in one second
// counted once: the program gave them all one draw.
void scatter(const std::vector<Checked_row>& rows, const Class_settings& settings, Class_summary& summary) {
    std::vector<std::string> students;
    std::map<std::string, std::vector<std::size_t>> rows_of;
    std::vector<std::size_t> class_rows;                    // the first row of each group
    std::set<std::pair<std::size_t, std::int64_t>> groups;  // by setting and second
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Checked_row& row = rows[i];
        if (row.refused() || row.verdict == Verdict::cannot_happen) {
            continue;  // cannot happen: it has no place in an honest set
        }
        auto& list = rows_of[row.student];
        if (list.empty()) {
            students.push_back(row.student);
        }
        list.push_back(i);
        if (!row.second || groups.emplace(settings.of_row[i], *row.second).second) {
            class_rows.push_back(i);
        }
    }
    if (students.empty()) {
        return;
    }
    // Fixed, so that a sheet is always answered alike.
    std::mt19937 generator(2024);                                     // NOLINT(cert-msc32-c,cert-msc51-cpp)
    std::map<std::vector<std::size_t>, std::vector<double>> sets_of;  // by the settings' indices, sorted
    for (const std::string& student : students) {
        const std::vector<std::size_t>& list = rows_of[student];
        if (list.size() < 3) {
            continue;
        }
        std::vector<std::size_t> key;
        double D = 0;
        for (const std::size_t i : list) {
            const std::size_t setting = settings.of_row[i];
            key.push_back(setting);
            D += settings.facts[setting].z2[static_cast<std::size_t>(rows[i].N)];
        }
        std::sort(key.begin(), key.end());
        auto [sets, added] = sets_of.try_emplace(key);
        if (added) {
            sets->second = honest_sets(key, settings, generator);
        }
        Scatter s = scatter_of(sets->second, D);
        s.student = student;
        s.counts = static_cast<int>(list.size());
        summary.students.push_back(std::move(s));
    }
    // The class's sets: one pool of honest z^2 per setting, each of its
    // groups taking its draws from a place of its own in the pool.
    std::map<std::size_t, std::vector<double>> pools;
    std::map<std::size_t, std::size_t> taken;
    std::vector<double> class_sets(scatter_sets, 0.0);
    double class_D = 0;
    for (const std::size_t i : class_rows) {
        const std::size_t setting = settings.of_row[i];
        auto [pool, added] = pools.try_emplace(setting);
        if (added) {
            pool->second = honest_sets({setting}, settings, generator);
        }
        // Set j takes the pool's draw j + offset, round the end of the pool.
        const std::vector<double>& draws = pool->second;
        const std::size_t offset = 7919 * taken[setting]++ % draws.size();
        const std::size_t wrap = draws.size() - offset;
        std::transform(class_sets.begin(), class_sets.begin() + static_cast<std::ptrdiff_t>(wrap),
                       draws.begin() + static_cast<std::ptrdiff_t>(offset), class_sets.begin(), std::plus<>());
        std::transform(class_sets.begin() + static_cast<std::ptrdiff_t>(wrap), class_sets.end(), draws.begin(),
                       class_sets.begin() + static_cast<std::ptrdiff_t>(wrap), std::plus<>());
        class_D += settings.facts[setting].z2[static_cast<std::size_t>(rows[i].N)];
    }
    summary.whole_class = scatter_of(class_sets, class_D);
    int counted = 0;
    for (const auto& [student, list] : rows_of) {
        counted += static_cast<int>(list.size());
    }
    summary.whole_class->counts = counted;
    summary.whole_class->recordings = static_cast<int>(class_rows.size());
}

// Why a teacher looks at each row on its own: its verdict, its second,
// its arithmetic.
void row_reasons(std::vector<Checked_row>& rows, Class_summary& summary) {
    for (Checked_row& row : rows) {
        if (row.refused()) {
            continue;
        }
        if (row.verdict == Verdict::query || row.verdict == Verdict::cannot_happen) {
            row.look.push_back(verdict_words(row.verdict));
        }
        summary.timed += row.reproduced ? 1 : 0;
        if (row.not_reproduced()) {
            row.look.emplace_back("not reproduced");
            summary.not_reproduced_lines.push_back(row.line);
        }
        if (!row.arithmetic.empty() && row.arithmetic != "right" && row.arithmetic != "rounding") {
            row.look.emplace_back("arithmetic");
        }
    }
}

// Why a teacher talks to each student, beyond the rows' own reasons: the
// scatter of their counts, and counts the same as another's.
std::map<std::string, std::vector<std::string>> student_reasons(const Class_summary& summary) {
    std::map<std::string, std::vector<std::string>> reasons;
    for (const Scatter& s : summary.students) {
        if (s.reading != Scatter::Reading::as_expected) {
            reasons[s.student].push_back(s.reading == Scatter::Reading::too_regular ? "too regular" : "too scattered");
        }
    }
    for (const Copied_pair& pair : summary.copied) {
        reasons[pair.one].push_back("same counts as " + pair.other);
        reasons[pair.other].push_back("same counts as " + pair.one);
    }
    return reasons;
}

// Each student to talk to, with every reason, the strongest first; the rows
// of a student to talk to carry the student's reasons too.
void to_talk_to(std::vector<Checked_row>& rows, Class_summary& summary) {
    row_reasons(rows, summary);
    std::map<std::string, std::vector<std::string>> own = student_reasons(summary);
    // Each student's rows by their own reasons, in one pass; the students in
    // the sheet's order.
    std::vector<std::string> students;
    std::map<std::string, std::map<std::string, std::vector<int>>> lines_of;
    for (const Checked_row& row : rows) {
        if (row.refused()) {
            continue;
        }
        const auto [at, added] = lines_of.try_emplace(row.student);
        if (added) {
            students.push_back(row.student);
        }
        for (const std::string& reason : row.look) {
            at->second[reason].push_back(row.line);
        }
    }
    for (const std::string& student : students) {
        Student_to_talk_to talk{student, {}};
        const auto add_rows = [&](const std::string& reason) {
            const auto& by_reason = lines_of[student];
            const auto lines = by_reason.find(reason);
            if (lines != by_reason.end()) {
                talk.reasons.push_back(reason);
                talk.reasons.back().append(" (").append(row_list(lines->second, 10)).append(")");
            }
        };
        for (const char* reason : {"query it", "cannot happen", "not reproduced"}) {
            add_rows(reason);
        }
        talk.reasons.insert(talk.reasons.end(), own[student].begin(), own[student].end());
        add_rows("arithmetic");
        if (!talk.reasons.empty()) {
            summary.to_talk_to.push_back(std::move(talk));
        }
    }
    for (Checked_row& row : rows) {
        if (!row.refused()) {
            row.look.insert(row.look.end(), own[row.student].begin(), own[row.student].end());
        }
    }
}

}  // namespace

Class_summary summarise(std::vector<Checked_row>& rows, const Class_settings& settings) {
    Class_summary summary;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Checked_row& row = rows[i];
        if (row.refused()) {
            summary.refused_lines.push_back(row.line);
            continue;
        }
        ++summary.read;
        const Setting_facts& f = settings.facts[settings.of_row[i]];
        ++summary.counted.at(static_cast<std::size_t>(row.verdict));
        for (std::size_t v = 0; v < summary.honest.size(); ++v) {
            summary.honest.at(v) += f.verdict_share.at(v);
        }
    }
    scatter(rows, settings, summary);
    identical(rows, settings, summary);
    copied(rows, settings, summary);
    to_talk_to(rows, summary);
    return summary;
}

std::vector<Class_histogram> histograms(const std::vector<Checked_row>& rows, const Class_settings& settings) {
    std::vector<std::vector<int>> counts(settings.facts.size());
    std::vector<Setting> setting_of(settings.facts.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (!rows[i].refused()) {
            counts[settings.of_row[i]].push_back(rows[i].N);
            setting_of[settings.of_row[i]] = rows[i].setting;
        }
    }
    std::vector<Class_histogram> result;
    for (std::size_t s = 0; s < settings.facts.size(); ++s) {
        if (counts[s].size() < 10) {
            continue;
        }
        const Setting_facts& f = settings.facts[s];
        const Count_range honest = central_range(f.p, 0.998);
        const auto [least, most] = std::minmax_element(counts[s].begin(), counts[s].end());
        Class_histogram h;
        h.setting = setting_of[s].words();
        h.first = std::min(*least, honest.low);
        const int last = std::max(*most, honest.high);
        h.width = std::max(1, (last - h.first + 24) / 24);
        const auto bins = static_cast<std::size_t>((last - h.first) / h.width) + 1;
        h.counted.assign(bins, 0);
        h.honest.assign(bins, 0.0);
        for (const int N : counts[s]) {
            ++h.counted[static_cast<std::size_t>((N - h.first) / h.width)];
        }
        for (std::size_t n = static_cast<std::size_t>(h.first); n < f.p.size(); ++n) {
            const auto bin = (n - static_cast<std::size_t>(h.first)) / static_cast<std::size_t>(h.width);
            if (bin < bins) {
                h.honest[bin] += f.p[n] * static_cast<double>(counts[s].size());
            }
        }
        result.push_back(std::move(h));
    }
    return result;
}

}  // namespace counting_lab::grading
