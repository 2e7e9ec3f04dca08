#include "grading/class_summary.hpp"

#include <algorithm>
#include <map>
#include <random>
#include <string>

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
        for (double& set : sets) {
            set += f.z2[count_at_quantile(f, (static_cast<double>(generator()) + 0.5) / 4294967296.0)];
        }
    }
    return sets;
}

// D = sum of z^2 over each student's counts, against sets drawn from the
// exact distributions of the same settings: once per set of settings, so a
// class that did the same worksheets is drawn once.
void scatter(const std::vector<Checked_row>& rows, const Class_settings& settings, Class_summary& summary) {
    std::vector<std::string> students;
    std::map<std::string, std::vector<std::size_t>> rows_of;
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
    }
    if (students.empty()) {
        return;
    }
    // Fixed, so that a sheet is always answered alike.
    std::mt19937 generator(2024);                                     // NOLINT(cert-msc32-c,cert-msc51-cpp)
    std::map<std::vector<std::size_t>, std::vector<double>> sets_of;  // by the settings' indices, sorted
    std::map<std::vector<std::size_t>, std::size_t> taken;
    std::vector<double> class_sets(scatter_sets, 0.0);
    double class_D = 0;
    int class_counts = 0;
    for (const std::string& student : students) {
        const std::vector<std::size_t>& list = rows_of[student];
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
        // The class's sets take each student's from a place of its own in
        // the shared sets, so that no two students' draws are the same.
        const std::size_t offset = 7919 * taken[key]++;
        for (std::size_t j = 0; j < class_sets.size(); ++j) {
            class_sets[j] += sets->second[(j + offset) % sets->second.size()];
        }
        class_D += D;
        class_counts += static_cast<int>(list.size());
        if (list.size() >= 3) {
            Scatter s = scatter_of(sets->second, D);
            s.student = student;
            s.counts = static_cast<int>(list.size());
            summary.students.push_back(std::move(s));
        }
    }
    summary.whole_class = scatter_of(class_sets, class_D);
    summary.whole_class->counts = class_counts;
}

// How many pairs of identical counts from different students an honest
// class hands in, at the rows' own settings.
double honest_pairs(const std::vector<Checked_row>& rows, const Class_settings& settings) {
    std::vector<std::map<std::string, int>> per_setting(settings.facts.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (!rows[i].refused()) {
            ++per_setting[settings.of_row[i]][rows[i].student];
        }
    }
    double expected = 0;
    for (std::size_t s = 0; s < settings.facts.size(); ++s) {
        double all = 0;
        double own = 0;
        for (const auto& [student, n] : per_setting[s]) {
            all += n;
            own += static_cast<double>(n) * n;
        }
        expected += (all * all - own) / 2 * settings.facts[s].same_count;
    }
    return expected;
}

bool same_second(const Checked_row& one, const Checked_row& other) {
    return one.second && other.second && *one.second == *other.second;
}

void identical(const std::vector<Checked_row>& rows, const Class_settings& settings, Class_summary& summary) {
    std::map<std::pair<std::size_t, int>, std::vector<std::size_t>> same;  // rows by setting and count
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (!rows[i].refused()) {
            same[{settings.of_row[i], rows[i].N}].push_back(i);
        }
    }
    std::vector<Identical_pair> together;  // in the same second: listed first, as a grader asks about these
    std::vector<Identical_pair> apart;
    for (const auto& [at, list] : same) {
        for (std::size_t a = 0; a < list.size(); ++a) {
            for (std::size_t b = a + 1; b < list.size(); ++b) {
                const Checked_row& one = rows[list[a]];
                const Checked_row& other = rows[list[b]];
                if (one.student == other.student) {
                    continue;
                }
                ++summary.pairs;
                const bool together_ = same_second(one, other);
                auto& list_of = together_ ? together : apart;
                if (list_of.size() < shown_pairs_limit) {
                    list_of.push_back({list[a], list[b], together_});
                }
            }
        }
    }
    together.insert(together.end(), apart.begin(), apart.end());
    together.resize(std::min(together.size(), shown_pairs_limit));
    summary.shown_pairs = std::move(together);
    summary.honest_pairs = honest_pairs(rows, settings);
}

}  // namespace

Class_summary summarise(const std::vector<Checked_row>& rows, const Class_settings& settings) {
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
