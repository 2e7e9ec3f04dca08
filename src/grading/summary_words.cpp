// The class check's summary in words, for a text node of the guide's page
// and for the printed guide.
#include <cmath>
#include <optional>
#include <string>

#include "grading/render.hpp"
#include "grading/wording.hpp"

namespace counting_lab::grading {

namespace {

std::string about(double expected) {
    if (expected == 0) {
        return "0";
    }
    if (expected >= 100) {
        return "about " + thousands(static_cast<int>(std::lround(expected)));
    }
    return expected < 0.1 ? "under 0.1" : "about " + fixed(expected, 1);
}

// "D = 2.19, P(D′ ≤ D) = 0.30, P(D′ ≥ D) = 0.70: as expected."
std::string scatter_words(const Scatter& s) {
    return "D = " + fixed(s.D, 2) + ", P(D′ ≤ D) = " + p_words(s.at_most) + ", P(D′ ≥ D) = " + p_words(s.at_least) +
           ": " +
           (s.reading == Scatter::Reading::too_regular     ? "too regular"
            : s.reading == Scatter::Reading::too_scattered ? "too scattered"
                                                           : "as expected") +
           ".\n";
}

std::string pair_words(const Checked_row& one, const Checked_row& other, bool same_second) {
    std::string line = "- " + one.student + " (row " + std::to_string(one.line) + ") and " + other.student + " (row " +
                       std::to_string(other.line) + "): " + one.setting.words() + ", N = " + std::to_string(one.N);
    if (one.second && other.second) {
        line += same_second
                    ? ", in the same second (" + one.time_typed +
                          "): the program gives recordings of one setting that end in the same second the same count"
                    : ", at different seconds";
    }
    return line + ".\n";
}

// "Students to talk to:", a line each, then the class where its scatter is
// out of the ordinary.
std::string talk_words(const Class_summary& summary) {
    std::string s = "Students to talk to:";
    for (const Student_to_talk_to& talk : summary.to_talk_to) {
        std::string reasons;
        for (const std::string& reason : talk.reasons) {
            reasons += (reasons.empty() ? "" : "; ") + reason;
        }
        s += "\n- " + talk.student + ": " + reasons;
    }
    const std::optional<Scatter>& whole = summary.whole_class;
    if (whole && whole->reading != Scatter::Reading::as_expected) {
        s += "\n- The class as a whole: " +
             std::string(whole->reading == Scatter::Reading::too_regular ? "too regular" : "too scattered");
    }
    return s + (s.back() == ':' ? " none.\n" : "\n");
}

std::string scatter_lines(const Class_summary& summary) {
    const std::optional<Scatter>& whole = summary.whole_class;
    if (!whole) {
        return "";
    }
    std::string s =
        "Scatter: D = Σ z² over a student's counts, against its exact distribution for honest counts at the same "
        "settings; too regular where P(D′ ≤ D) is below 1 in 200, too scattered where P(D′ ≥ D) is.\n";
    for (const Scatter& student : summary.students) {
        s += "- " + student.student + " (" + plural(student.counts, "count") +
             (student.many_refused() ? "; " + thousands(student.refused) + " more refused, which this cannot judge"
                                     : "") +
             "): " + scatter_words(student);
    }
    return s + "The class (" + plural(whole->counts, "count") +
           (whole->recordings < whole->counts ? "; " + plural(whole->recordings, "count") + " taken, one of each second"
                                              : "") +
           "): " + scatter_words(*whole) +
           (summary.timed == 0
                ? "Without times the counts of one second cannot be told apart, and about 1 honest class "
                  "in 30 is out of the ordinary.\n"
                : "");
}

std::string identical_lines(const Class_check& check) {
    const Class_summary& summary = check.summary;
    std::string s = "Identical counts at one setting from different students: " +
                    plural(static_cast<int>(summary.same_second_pairs), "pair") +
                    " from the same second (the program seeds each recording from the clock's second, so these are "
                    "equal by design), and " +
                    plural(static_cast<int>(summary.pairs), "pair") +
                    " by chance (an honest class: " + about(summary.honest_pairs) +
                    "; settings where only one count can happen left out).\n";
    for (const Identical_pair& pair : summary.shown_pairs) {
        s += pair_words(check.rows[pair.one], check.rows[pair.other], pair.same_second);
    }
    const std::size_t all_pairs = summary.pairs + summary.same_second_pairs;
    if (all_pairs > summary.shown_pairs.size()) {
        s += "- and " + thousands(static_cast<int>(all_pairs - summary.shown_pairs.size())) + " more.\n";
    }
    return s;
}

std::string copied_lines(const Class_summary& summary) {
    std::string s =
        "Copied counts: each pair of students' counts at the settings they share, the first against the "
        "first and so on, against the chance that honest counts agree as often; flagged below " +
        p_words(summary.copied_rarer_than) + ", so that at most 1 in 200 honest classes of " +
        plural(static_cast<int>(summary.student_pairs), "pair") + " of students shows one.";
    for (const Copied_pair& pair : summary.copied) {
        s += "\n- " + pair.one + " and " + pair.other + ": " +
             (pair.same_file
                  ? "every row of one is a row of the other, second and count: the same file handed in "
                    "twice?"
                  : thousands(pair.equal) + " of " + thousands(pair.compared) +
                        " counts equal (by chance: " + p_words(pair.chance) + "): the same counts handed in twice?");
    }
    return s + (summary.copied.empty() ? "\n- none." : "");
}

}  // namespace

std::string class_summary_words(const Class_check& check) {
    std::string read_as;
    for (const std::string& line : check.read_as) {
        read_as += line + "\n";
    }
    if (!check.problem.empty()) {
        return read_as + check.problem;
    }
    const Class_summary& summary = check.summary;
    std::string s = read_as + talk_words(summary);
    const std::vector<int>& refused = summary.refused_lines;
    s += "Rows: " + thousands(summary.read) + " read, " + thousands(static_cast<int>(refused.size())) + " refused" +
         (refused.empty() ? "" : " (" + row_list(refused, 10) + ")") + ".\n";
    const std::vector<int>& again = summary.not_reproduced_lines;
    if (summary.timed > 0) {
        s += "Not reproduced by the program at their second: " + thousands(static_cast<int>(again.size())) + " of " +
             plural(summary.timed, "row") + " with a time" + (again.empty() ? "" : " (" + row_list(again, 10) + ")") +
             ".\n";
    }
    if (summary.to_the_minute > 0) {
        const std::vector<int>& missed = summary.not_in_minute_lines;
        s += "Timed to the minute: " + plural(summary.to_the_minute, "row") +
             "; no second of its minute gives the count in " + thousands(static_cast<int>(missed.size())) +
             (missed.empty() ? "" : " (" + row_list(missed, 10) + ")") +
             ". An honest count always fits its minute; any count fits by chance about " +
             p_words(summary.minute_chance / summary.to_the_minute) +
             " of the time at these settings, so a count that fits is not reproduced.\n";
    }
    for (std::size_t v = 0; v < summary.counted.size(); ++v) {
        s += capitalised(verdict_words(static_cast<Verdict>(v))) + ": " + thousands(summary.counted.at(v)) +
             " (an honest class: " + about(v < summary.honest.size() ? summary.honest.at(v) : 0) + ").\n";
    }
    return s + scatter_lines(summary) + identical_lines(check) + copied_lines(summary);
}

}  // namespace counting_lab::grading
