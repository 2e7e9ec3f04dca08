#include "grading/class_summary.hpp"

#include <algorithm>
#include <cstdint>
#include <map>
#include <set>
#include <string>

#include "grading/scatter_distribution.hpp"
#include "grading/wording.hpp"

namespace counting_lab::grading {

namespace {

// Where D stands in its honest distribution.
Scatter scatter_of(const Scatter_distribution& honest, double D) {
    Scatter s;
    s.D = D;
    s.at_most = honest.at_most(D);
    s.at_least = honest.at_least(D);
    s.reading = s.at_most < scatter_rarer_than    ? Scatter::Reading::too_regular
                : s.at_least < scatter_rarer_than ? Scatter::Reading::too_scattered
                                                  : Scatter::Reading::as_expected;
    return s;
}

// How many counts at each setting.
std::vector<std::pair<const Setting_facts*, int>> counted(const std::vector<std::pair<std::size_t, int>>& at,
                                                          const Class_settings& settings) {
    std::vector<std::pair<const Setting_facts*, int>> counts;
    counts.reserve(at.size());
    for (const auto& [setting, how_many] : at) {
        counts.emplace_back(&settings.facts[setting], how_many);
    }
    return counts;
}

// D = sum of z^2 over each student's counts, against the exact distribution
// of D for the same settings: worked out once per set of settings, so a
// class that did the same worksheets works it out once. Then the class's D,
// with one count of each second: the program seeds a recording from the
// second it ends in, so recordings of one second are one draw, the same
// count at one setting and closely tied counts at different settings.
void scatter(const std::vector<Checked_row>& rows, const Class_settings& settings, Class_summary& summary) {
    std::vector<std::string> students;
    std::map<std::string, std::vector<std::size_t>> rows_of;
    std::map<std::size_t, int> class_counts;  // by setting, one count of each second
    std::map<std::string, int> refused;
    std::set<std::int64_t> seconds;
    double class_D = 0;
    int recordings = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Checked_row& row = rows[i];
        refused[row.student] += row.refused() ? 1 : 0;
        if (row.refused() || row.verdict == Verdict::cannot_happen) {
            continue;  // cannot happen: it has no place in an honest set
        }
        auto& list = rows_of[row.student];
        if (list.empty()) {
            students.push_back(row.student);
        }
        list.push_back(i);
        const std::size_t setting = settings.of_row[i];
        if (!row.second || seconds.insert(*row.second).second) {
            ++class_counts[setting];
            ++recordings;
            class_D += settings.facts[setting].z2[static_cast<std::size_t>(row.N)];
        }
    }
    if (students.empty()) {
        return;
    }
    // by how many counts at each setting
    std::map<std::vector<std::pair<std::size_t, int>>, Scatter_distribution> honest;
    for (const std::string& student : students) {
        const std::vector<std::size_t>& list = rows_of[student];
        if (list.size() < 3) {
            continue;
        }
        std::map<std::size_t, int> at;
        double D = 0;
        for (const std::size_t i : list) {
            const std::size_t setting = settings.of_row[i];
            ++at[setting];
            D += settings.facts[setting].z2[static_cast<std::size_t>(rows[i].N)];
        }
        const std::vector<std::pair<std::size_t, int>> key(at.begin(), at.end());
        auto [distribution, added] = honest.try_emplace(key);
        if (added) {
            distribution->second = scatter_distribution(counted(key, settings));
        }
        Scatter s = scatter_of(distribution->second, D);
        s.student = student;
        s.counts = static_cast<int>(list.size());
        s.refused = refused[student];
        summary.students.push_back(std::move(s));
    }
    summary.whole_class =
        scatter_of(scatter_distribution(counted({class_counts.begin(), class_counts.end()}, settings)), class_D);
    int all = 0;
    for (const auto& [student, list] : rows_of) {
        all += static_cast<int>(list.size());
    }
    summary.whole_class->counts = all;
    summary.whole_class->recordings = recordings;
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
        if (row.minute) {
            ++summary.to_the_minute;
            summary.minute_chance += row.minute_chance;
        }
        if (row.not_reproduced()) {
            row.look.emplace_back("not reproduced");
            (row.minute ? summary.not_in_minute_lines : summary.not_reproduced_lines).push_back(row.line);
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
            reasons[s.student].push_back(
                std::string(s.reading == Scatter::Reading::too_regular ? "too regular" : "too scattered") +
                (s.many_refused() ? " (in the " + plural(s.counts, "count") + " left of " +
                                        std::to_string(s.counts + s.refused) + "; the rest refused)"
                                  : ""));
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
