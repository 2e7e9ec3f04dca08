#include "class_check.hpp"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <map>
#include <optional>
#include <random>
#include <tuple>
#include <type_traits>

#include "console/number_grammar.hpp"
#include "simulation/lab.hpp"
#include "simulation/recording.hpp"
#include "statistics.hpp"

namespace counting_lab::guide {

namespace {

// --- Reading the sheet

// The records of CSV or tab-separated text, each with the line it starts on:
// quoted fields may hold the separator, line breaks and doubled quotes.
struct Record {
    int line;
    std::vector<std::string> cells;
};

char separator_of(std::string_view text) {
    const std::string_view first = text.substr(0, text.find('\n'));
    if (first.find('\t') != std::string_view::npos) {
        return '\t';
    }
    const auto count = [&](char c) { return std::count(first.begin(), first.end(), c); };
    return count(';') > count(',') ? ';' : ',';
}

std::vector<Record> records_of(std::string_view text, char separator) {
    std::vector<Record> records;
    Record record{1, {""}};
    int line = 1;
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        std::string& cell = record.cells.back();
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                cell += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                line += c == '\n' ? 1 : 0;
                cell += c;
            }
        } else if (c == '"' && trimmed(cell).empty()) {
            cell.clear();
            quoted = true;
        } else if (c == separator) {
            record.cells.emplace_back();
        } else if (c == '\n') {
            records.push_back(std::move(record));
            record = Record{++line, {""}};
        } else if (c != '\r') {
            cell += c;
        }
    }
    records.push_back(std::move(record));
    return records;
}

bool blank(const Record& record) {
    return std::all_of(record.cells.begin(), record.cells.end(),
                       [](const std::string& cell) { return trimmed(cell).empty(); });
}

// A column's name as the check knows it: lower case, without blanks.
std::string column_key(std::string_view name) {
    std::string key;
    for (const char c : name) {
        if (c != ' ' && c != '\t') {
            key += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        }
    }
    return key;
}

// Seconds since 1970 of a UTC time as 2026-12-09T07:32:31Z (a blank for the
// T, and no Z, as a spreadsheet may write it back).
std::optional<std::int64_t> utc_second(std::string_view text) {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    const auto digits = [&](std::size_t at, std::size_t n, int& value) {
        if (at + n > text.size()) {
            return false;
        }
        value = 0;
        for (std::size_t i = at; i < at + n; ++i) {
            if (text[i] < '0' || text[i] > '9') {
                return false;
            }
            value = value * 10 + (text[i] - '0');
        }
        return true;
    };
    if (text.size() < 19 || !digits(0, 4, year) || text[4] != '-' || !digits(5, 2, month) || text[7] != '-' ||
        !digits(8, 2, day) || (text[10] != 'T' && text[10] != ' ') || !digits(11, 2, hour) || text[13] != ':' ||
        !digits(14, 2, minute) || text[16] != ':' || !digits(17, 2, second) ||
        !(text.size() == 19 || text.substr(19) == "Z") || hour > 23 || minute > 59 || second > 59) {
        return std::nullopt;
    }
    const std::chrono::year_month_day date{std::chrono::year{year}, std::chrono::month{static_cast<unsigned>(month)},
                                           std::chrono::day{static_cast<unsigned>(day)}};
    if (!date.ok()) {
        return std::nullopt;
    }
    const auto at = std::chrono::sys_days{date} + std::chrono::hours{hour} + std::chrono::minutes{minute} +
                    std::chrono::seconds{second};
    return at.time_since_epoch().count();
}

// The places after the point of a number as written: "8.41" has 2.
int decimals(std::string_view typed) {
    const auto point = typed.find('.');
    if (point == std::string_view::npos) {
        return 0;
    }
    int n = 0;
    for (std::size_t i = point + 1; i < typed.size() && typed[i] >= '0' && typed[i] <= '9'; ++i) {
        ++n;
    }
    return n;
}

// --- What the exact distribution says at one setting

struct Setting {
    int source;  // 1 to 5, or 0 for a distance
    double d_cm;
    double t_s;
    auto operator<=>(const Setting&) const = default;
};

struct Facts {
    double rate = 0;
    int highest = 0;
    std::vector<double> p;
    std::vector<double> ps;          // two-sided p of each count
    std::vector<double> cumulative;  // P(N' <= n)
    std::vector<std::size_t> start;  // for u in [k, k + 1) / its size, no count below start[k] has P(N' <= n) > u
    std::vector<double> z2;          // ((n - mean) / sd)^2
    Mean_and_spread spread{};
    std::array<double, 3> verdict_share{};  // as expected, second look, query
    double same_count = 0;                  // the chance that two honest counts are equal
};

Facts facts_of(const Setting& setting) {
    Facts f;
    f.rate = setting_rate(setting.source, setting.d_cm);
    f.p = count_distribution(setting.t_s, f.rate);
    f.ps = two_sided_ps(f.p);
    f.spread = mean_and_spread(f.p);
    f.highest = highest_possible(setting.t_s, f.rate);
    double below = 0;
    for (std::size_t n = 0; n < f.p.size(); ++n) {
        f.cumulative.push_back(below += f.p[n]);
        const double z = f.spread.standard_deviation > 0
                             ? (static_cast<double>(n) - f.spread.mean) / f.spread.standard_deviation
                             : 0.0;
        f.z2.push_back(z * z);
        f.verdict_share.at(static_cast<std::size_t>(verdict_of(f.ps[n]))) += f.p[n];
        f.same_count += f.p[n] * f.p[n];
    }
    constexpr std::size_t starts = 1024;
    for (std::size_t k = 0, n = 0; k < starts; ++k) {
        while (n + 1 < f.cumulative.size() && f.cumulative[n] <= static_cast<double>(k) / starts) {
            ++n;
        }
        f.start.push_back(n);
    }
    return f;
}

// An honest count at this setting, from u uniform in (0, 1): the least n
// with P(N' <= n) > u, found from its bucket's start.
std::size_t drawn(const Facts& f, double u) {
    std::size_t n = f.start[static_cast<std::size_t>(u * static_cast<double>(f.start.size()))];
    while (n + 1 < f.cumulative.size() && f.cumulative[n] <= u) {
        ++n;
    }
    return n;
}

// --- The rows

struct Row {
    int line = 0;
    std::string student;
    std::size_t setting = 0;  // index into the check's settings
    int N = 0;
    Verdict verdict = Verdict::as_expected;
    std::optional<std::int64_t> second;
    std::string time_typed;
};

// The student's own m, n and sigma_n against those of N and t: "right",
// "rounding" (within 1 %, as from a rounded step) or what is wrong.
std::string arithmetic(int N, double t, const std::map<std::string, std::string>& written) {
    const double m = N / t;
    const double live = 1 - m * tau;
    const std::array<std::tuple<const char*, const char*, double>, 3> steps{{
        {"m_per_s", "m", m},
        {"n_per_s", "n", live > 0 ? corrected_rate(m) : NAN},
        {"sigma_n_per_s", "σ_n", live > 0 && N > 0 ? corrected_rate(m) / std::sqrt(N) : (N == 0 ? 0.0 : NAN)},
    }};
    std::string wrong;
    bool any = false;
    bool rounded = false;
    for (const auto& [column, name, value] : steps) {
        const auto cell = written.find(column);
        if (cell == written.end()) {
            continue;
        }
        any = true;
        const std::string& typed = cell->second;
        double given = 0;
        (void)parse_number(typed, given);  // read already
        const int places = decimals(typed);
        if (std::isnan(value)) {
            wrong += std::string(wrong.empty() ? "" : "; ") + name +
                     " cannot be worked out: m τ = " + fixed(m * tau, 2) + ", the counter was never live";
            continue;
        }
        const double off = std::abs(given - value);
        if (off <= 0.5 * std::pow(10.0, -places) * (1 + 1e-9)) {
            continue;
        }
        if (off <= 0.01 * std::abs(value)) {
            rounded = true;
            continue;
        }
        wrong += std::string(wrong.empty() ? "" : "; ") + name + " should be " + fixed(value, std::max(places, 2)) +
                 ", not " + typed;
    }
    if (!any) {
        return "";
    }
    return !wrong.empty() ? wrong : rounded ? "rounding" : "right";
}

std::string about(double expected) {
    if (expected == 0) {
        return "0";
    }
    if (expected >= 100) {
        return "about " + thousands(static_cast<int>(std::lround(expected)));
    }
    return expected < 0.1 ? "under 0.1" : "about " + fixed(expected, 1);
}

std::string chance_words(int at_most, int sets) {
    return at_most == 0 ? "under 1 in " + thousands(sets) : p_words(static_cast<double>(at_most) / sets);
}

std::string plural(int n, const std::string& word) { return thousands(n) + " " + word + (n == 1 ? "" : "s"); }

// The words of a list of row numbers, at most `shown` of them.
std::string row_list(const std::vector<int>& lines, std::size_t shown) {
    std::vector<std::string> words;
    for (std::size_t i = 0; i < lines.size() && i < shown; ++i) {
        words.push_back(std::to_string(lines[i]));
    }
    if (lines.size() > shown) {
        words.push_back(thousands(static_cast<int>(lines.size() - shown)) + " more");
    }
    return (lines.size() == 1 ? "row " : "rows ") + listed(words);
}

class Checker {
  public:
    Class_check run(std::string_view sheet);

  private:
    std::size_t setting_of(const Setting& setting);
    std::string setting_words(std::size_t index) const;
    void read(const Record& record);
    void summarise();
    std::vector<double> honest_sets(const std::vector<std::size_t>& settings, std::mt19937& draw) const;
    void scatter(std::string& summary);
    double honest_pairs() const;
    std::string pair_words(const Row& one, const Row& other) const;
    void identical(std::string& summary);
    void draw();

    Class_check check_;
    std::vector<std::string> keys_;  // the header's columns as the check knows them
    std::map<Setting, std::size_t> index_;
    std::vector<Setting> settings_;
    std::vector<Facts> facts_;
    std::vector<Row> rows_;
    std::vector<int> refused_lines_;
};

std::size_t Checker::setting_of(const Setting& setting) {
    const auto [at, added] = index_.try_emplace(setting, settings_.size());
    if (added) {
        settings_.push_back(setting);
        facts_.push_back(facts_of(setting));
    }
    return at->second;
}

std::string Checker::setting_words(std::size_t index) const {
    const Setting& s = settings_[index];
    return (s.source > 0 ? "source " + std::to_string(s.source) : "d = " + fixed(s.d_cm, 2) + " cm") + ", " +
           plain(s.t_s) + " s";
}

// A row's cells as the check reads them: by column, only those filled in.
using Cells = std::map<std::string, std::string>;

// What a row says, read by the program's grammar and checked against the
// program's ranges; `problems` says what is wrong.
struct Typed {
    bool has_source = false;
    int source = 0;
    double d_cm = 0;
    double t_s = 0;
    int N = 0;
    std::vector<std::string> problems;
};

// Reads a number from a cell; says what is wrong where it is not one.
template <class Number>
bool read_number(const Cells& cells, const std::string& column, Number& value, std::vector<std::string>& problems) {
    const auto cell = cells.find(column);
    if (cell == cells.end()) {
        return false;
    }
    if (parse_number(cell->second, value)) {
        return true;
    }
    problems.push_back((column == "n" ? std::string("N") : column) + " “" + cell->second + "” is not " +
                       (std::is_integral_v<Number> ? "a whole number written in digits" : "a number") +
                       (cell->second.find(',') != std::string::npos ? ": " + std::string(comma_hint) : ""));
    return false;
}

void read_setting(const Cells& cells, Typed& typed) {
    auto& problems = typed.problems;
    typed.has_source = cells.contains("source");
    const bool has_distance = cells.contains("distance_cm");
    if (typed.has_source == has_distance) {
        problems.emplace_back(typed.has_source ? "source and distance_cm are both filled in: one of them, please"
                                               : "source or distance_cm is missing");
    }
    const int sources_n = static_cast<int>(sources.size());
    if (typed.has_source && read_number(cells, "source", typed.source, problems) &&
        (typed.source < 1 || typed.source > sources_n)) {
        problems.push_back("there is no source " + cells.at("source") + "; the sources are 1 to " +
                           std::to_string(sources_n));
    }
    if (has_distance && read_number(cells, "distance_cm", typed.d_cm, problems) && !distance_cm.contains(typed.d_cm)) {
        problems.push_back("distance_cm " + cells.at("distance_cm") + " is outside the program's " +
                           fixed(distance_cm.low, 1) + " to " + fixed(distance_cm.high, 1) + " cm");
    }
    if (!cells.contains("t_s")) {
        problems.emplace_back("t_s is missing");
    } else if (read_number(cells, "t_s", typed.t_s, problems) && !counting_time_s.contains(typed.t_s)) {
        problems.push_back("t_s " + cells.at("t_s") + " is outside the program's " + fixed(counting_time_s.low, 0) +
                           " to " + fixed(counting_time_s.high, 0) + " s");
    }
}

Typed read_typed(const Cells& cells) {
    Typed typed;
    auto& problems = typed.problems;
    if (!cells.contains("student")) {
        problems.emplace_back("student is missing");
    }
    read_setting(cells, typed);
    if (!cells.contains("n")) {
        problems.emplace_back("N is missing");
    } else if (read_number(cells, "n", typed.N, problems) && typed.N < 0) {
        problems.push_back("N " + cells.at("n") + ": a count is a whole number from 0");
    }
    for (const char* column : {"m_per_s", "n_per_s", "sigma_n_per_s"}) {
        double value = 0;
        (void)read_number(cells, column, value, problems);
    }
    return typed;
}

void Checker::read(const Record& record) {
    Cells cells;
    for (std::size_t i = 0; i < keys_.size(); ++i) {
        const std::string_view cell = i < record.cells.size() ? trimmed(record.cells[i]) : std::string_view{};
        if (!cell.empty() && !cells.contains(keys_[i])) {
            cells.emplace(keys_[i], std::string(cell));
        }
    }
    Typed typed = read_typed(cells);
    std::vector<std::string>& problems = typed.problems;
    Row row;
    row.line = record.line;
    if (cells.contains("student")) {
        row.student = cells["student"];
    }
    row.N = typed.N;
    if (cells.contains("time_utc")) {
        row.time_typed = cells["time_utc"];
        row.second = utc_second(row.time_typed);
        if (!row.second) {
            problems.push_back("time_utc “" + row.time_typed + "” is not a time as 2026-12-09T07:32:31Z");
        }
    }
    std::vector<std::string> shown = {std::to_string(record.line)};
    if (!problems.empty()) {
        std::string message = "row " + std::to_string(record.line) + ": ";
        for (std::size_t i = 0; i < problems.size(); ++i) {
            message += (i == 0 ? "" : "; ") + problems[i];
        }
        shown.push_back(message);
        shown.resize(class_columns.size());
        check_.table.push_back(shown);
        check_.refused.push_back(true);
        refused_lines_.push_back(record.line);
        return;
    }
    row.setting = setting_of(Setting{typed.source, typed.has_source ? 0.0 : typed.d_cm, typed.t_s});
    const Facts& f = facts_[row.setting];
    const auto N = static_cast<std::size_t>(row.N);
    const bool can_happen = row.N <= f.highest && N < f.p.size();
    const double p = can_happen ? f.ps[N] : 0.0;
    row.verdict = can_happen ? verdict_of(p) : Verdict::cannot_happen;
    std::string reproduced;
    if (row.second) {
        const int again = count_of_second(typed.t_s, f.rate, tau, *row.second);
        reproduced = again == row.N ? "yes" : "no: the program gave " + std::to_string(again) + " at that second";
    }
    shown.push_back(row.student);
    shown.push_back(typed.has_source ? "source " + cells["source"] : "d = " + cells["distance_cm"] + " cm");
    shown.push_back(cells["t_s"]);
    shown.push_back(cells["n"]);
    shown.push_back(mean_pm_sd(f.spread));
    shown.push_back(can_happen ? p_words(p) : "0");
    shown.push_back(verdict_words(row.verdict));
    shown.push_back(arithmetic(row.N, typed.t_s, cells));
    shown.push_back(reproduced);
    check_.table.push_back(shown);
    check_.refused.push_back(false);
    rows_.push_back(std::move(row));
}

Class_check Checker::run(std::string_view sheet) {
    if (sheet.substr(0, 3) == "\xEF\xBB\xBF") {  // the mark a spreadsheet may put before UTF-8
        sheet.remove_prefix(3);
    }
    const char separator = separator_of(sheet);
    std::vector<Record> records = records_of(sheet, separator);
    std::erase_if(records, blank);
    if (records.empty()) {
        check_.problem = "Paste a class sheet, or open a class file: a header row, then one row per count.";
        return check_;
    }
    for (const std::string& name : records.front().cells) {
        check_.header.emplace_back(trimmed(name));
        keys_.push_back(column_key(name));
    }
    const auto has_column = [&](const char* key) { return std::find(keys_.begin(), keys_.end(), key) != keys_.end(); };
    std::vector<std::string> missing;
    for (const char* column : {"student", "t_s", "n"}) {
        if (!has_column(column)) {
            missing.emplace_back(column == std::string_view("n") ? "N" : column);
        }
    }
    if (!has_column("source") && !has_column("distance_cm")) {
        missing.emplace_back("source or distance_cm");
    }
    if (!missing.empty()) {
        check_.problem = "The header row (the sheet's first row) names no column " + listed(missing) +
                         ". A class sheet needs the columns student, source or distance_cm, t_s and N.";
        return check_;
    }
    if (records.size() - 1 > static_cast<std::size_t>(class_rows_limit)) {
        check_.problem = "The sheet has " + thousands(static_cast<int>(records.size() - 1)) +
                         " rows of counts; the check takes at most " + thousands(class_rows_limit) +
                         " at a time: split it.";
        return check_;
    }
    for (std::size_t i = 1; i < records.size(); ++i) {
        std::vector<std::string> cells = records[i].cells;
        cells.resize(check_.header.size());
        check_.sheet.push_back(std::move(cells));
        read(records[i]);
    }
    summarise();
    draw();
    return check_;
}

void Checker::summarise() {
    std::string& s = check_.summary;
    s = "Rows: " + thousands(static_cast<int>(rows_.size())) + " read, " +
        thousands(static_cast<int>(refused_lines_.size())) + " refused" +
        (refused_lines_.empty() ? "" : " (" + row_list(refused_lines_, 10) + ")") + ".\n";
    std::array<int, 4> counted{};
    std::array<double, 3> honest{};
    for (const Row& row : rows_) {
        const Facts& f = facts_[row.setting];
        ++counted.at(static_cast<std::size_t>(row.verdict));
        for (std::size_t v = 0; v < honest.size(); ++v) {
            honest.at(v) += f.verdict_share.at(v);
        }
    }
    for (std::size_t v = 0; v < counted.size(); ++v) {
        s += capitalised(verdict_words(static_cast<Verdict>(v))) + ": " + thousands(counted.at(v)) +
             " (an honest class: " + about(v < 3 ? honest.at(v) : 0) + ").\n";
    }
    scatter(s);
    identical(s);
    s.pop_back();
}

// Where D stands among honest sets: "D = 2.19, P(D′ ≤ D) = 0.30, P(D′ ≥ D) =
// 0.70: as expected."
std::string scatter_words(const std::vector<double>& sets, double D) {
    const double tolerance = 1e-9 * std::max(1.0, D);
    int low = 0;
    int high = 0;
    for (const double other : sets) {
        low += other <= D + tolerance ? 1 : 0;
        high += other >= D - tolerance ? 1 : 0;
    }
    const int n = static_cast<int>(sets.size());
    return "D = " + fixed(D, 2) + ", P(D′ ≤ D) = " + chance_words(low, n) + ", P(D′ ≥ D) = " + chance_words(high, n) +
           ": " +
           (low * 200 < n    ? "too regular"
            : high * 200 < n ? "too scattered"
                             : "as expected") +
           ".\n";
}

std::vector<double> Checker::honest_sets(const std::vector<std::size_t>& settings, std::mt19937& draw) const {
    std::vector<double> sets(scatter_sets, 0.0);
    for (const std::size_t setting : settings) {
        const Facts& f = facts_[setting];
        for (double& set : sets) {
            set += f.z2[drawn(f, (static_cast<double>(draw()) + 0.5) / 4294967296.0)];
        }
    }
    return sets;
}

// D = sum of z^2 over each student's counts, against sets drawn from the
// exact distributions of the same settings: once per set of settings, so a
// class that did the same worksheets is drawn once.
void Checker::scatter(std::string& summary) {
    std::vector<std::string> students;
    std::map<std::string, std::vector<std::size_t>> rows_of;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const Row& row = rows_[i];
        if (row.verdict == Verdict::cannot_happen) {
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
    std::mt19937 draw(2024);  // NOLINT(cert-msc32-c,cert-msc51-cpp): fixed, so that a sheet is always answered alike
    std::map<std::vector<std::size_t>, std::vector<double>> sets_of;  // by the settings' indices, sorted
    std::map<std::vector<std::size_t>, std::size_t> taken;
    std::vector<double> class_sets(scatter_sets, 0.0);
    double class_D = 0;
    int class_counts = 0;
    std::string lines;
    for (const std::string& student : students) {
        const std::vector<std::size_t>& list = rows_of[student];
        std::vector<std::size_t> key;
        double D = 0;
        for (const std::size_t i : list) {
            key.push_back(rows_[i].setting);
            D += facts_[rows_[i].setting].z2[static_cast<std::size_t>(rows_[i].N)];
        }
        std::sort(key.begin(), key.end());
        auto [sets, added] = sets_of.try_emplace(key);
        if (added) {
            sets->second = honest_sets(key, draw);
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
            lines += "- " + student + " (" + plural(static_cast<int>(list.size()), "count") +
                     "): " + scatter_words(sets->second, D);
        }
    }
    summary += "Scatter: D = Σ z² over a student's counts, against " + thousands(scatter_sets) +
               " honest sets of the same settings drawn from the exact distributions; too regular where P(D′ ≤ D) "
               "is below 1 in 200, too scattered where P(D′ ≥ D) is.\n" +
               lines + "The class (" + plural(class_counts, "count") + "): " + scatter_words(class_sets, class_D);
}

// How many pairs of identical counts from different students an honest
// class hands in, at the rows' own settings.
double Checker::honest_pairs() const {
    std::vector<std::map<std::string, int>> per_setting(settings_.size());
    for (const Row& row : rows_) {
        ++per_setting[row.setting][row.student];
    }
    double expected = 0;
    for (std::size_t s = 0; s < settings_.size(); ++s) {
        double all = 0;
        double own = 0;
        for (const auto& [student, n] : per_setting[s]) {
            all += n;
            own += static_cast<double>(n) * n;
        }
        expected += (all * all - own) / 2 * facts_[s].same_count;
    }
    return expected;
}

bool same_second(const Row& one, const Row& other) {
    return one.second && other.second && *one.second == *other.second;
}

std::string Checker::pair_words(const Row& one, const Row& other) const {
    std::string line = "- " + one.student + " (row " + std::to_string(one.line) + ") and " + other.student + " (row " +
                       std::to_string(other.line) + "): " + setting_words(one.setting) +
                       ", N = " + std::to_string(one.N);
    if (one.second && other.second) {
        line += same_second(one, other)
                    ? ", in the same second (" + one.time_typed +
                          "): the program gives recordings of one setting that end in the same second the same count"
                    : ", at different seconds";
    }
    return line + ".\n";
}

void Checker::identical(std::string& summary) {
    constexpr std::size_t shown = 12;
    std::map<std::pair<std::size_t, int>, std::vector<std::size_t>> same;  // rows by setting and count
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        same[{rows_[i].setting, rows_[i].N}].push_back(i);
    }
    std::size_t pairs = 0;
    std::vector<std::string> together;  // in the same second: listed first, as a grader asks about these
    std::vector<std::string> apart;
    for (const auto& [at, list] : same) {
        for (std::size_t a = 0; a < list.size(); ++a) {
            for (std::size_t b = a + 1; b < list.size(); ++b) {
                const Row& one = rows_[list[a]];
                const Row& other = rows_[list[b]];
                if (one.student == other.student) {
                    continue;
                }
                ++pairs;
                auto& list_of = same_second(one, other) ? together : apart;
                if (list_of.size() < shown) {
                    list_of.push_back(pair_words(one, other));
                }
            }
        }
    }
    together.insert(together.end(), apart.begin(), apart.end());
    together.resize(std::min(together.size(), shown));
    summary +=
        "Identical counts at one setting and time from different students: " + plural(static_cast<int>(pairs), "pair") +
        " (an honest class: " + about(honest_pairs()) +
        "). Honest counts agree this often by chance, and recordings that end in the same second agree "
        "always: a shared count is no proof of copying.\n";
    for (const std::string& line : together) {
        summary += line;
    }
    if (pairs > shown) {
        summary += "- and " + thousands(static_cast<int>(pairs - shown)) + " more.\n";
    }
}

// A histogram for each setting with 10 or more counts.
void Checker::draw() {
    std::vector<std::vector<int>> counts(settings_.size());
    for (const Row& row : rows_) {
        counts[row.setting].push_back(row.N);
    }
    for (std::size_t s = 0; s < settings_.size(); ++s) {
        if (counts[s].size() < 10) {
            continue;
        }
        const Facts& f = facts_[s];
        const Count_range honest = central_range(f.p, 0.998);
        const auto [least, most] = std::minmax_element(counts[s].begin(), counts[s].end());
        Class_histogram h;
        h.setting = setting_words(s);
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
        check_.histograms.push_back(std::move(h));
    }
}

std::string escaped(std::string_view text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string bin_words(const Class_histogram& h, std::size_t bin) {
    const int low = h.first + static_cast<int>(bin) * h.width;
    return h.width == 1 ? std::to_string(low) : std::to_string(low) + "-" + std::to_string(low + h.width - 1);
}

std::string svg_of(const Class_histogram& h, std::size_t number) {
    constexpr double width = 560;
    constexpr double height = 230;
    constexpr double left = 58;
    constexpr double right = 12;
    constexpr double top = 12;
    constexpr double bottom = 52;
    const double top_value = std::max(static_cast<double>(*std::max_element(h.counted.begin(), h.counted.end())),
                                      *std::max_element(h.honest.begin(), h.honest.end()));
    // Ticks every 1, 2 or 5 times a power of ten, three or four of them.
    int step = 1;
    for (int power = 1; step * 3 < top_value; power *= 10) {
        for (const int nice : {1, 2, 5}) {
            if (step * 3 < top_value) {
                step = nice * power;
            }
        }
    }
    const int scale = step * std::max(1, static_cast<int>(std::ceil(top_value / step)));
    const double bin_w = (width - left - right) / static_cast<double>(h.counted.size());
    const auto y = [&](double value) { return top + (height - top - bottom) * (1 - value / scale); };
    const std::string id = "class-histogram-" + std::to_string(number);
    std::string desc = "Counts of the class at " + h.setting + ", per bin, with how many an honest class has there: ";
    for (std::size_t b = 0; b < h.counted.size(); ++b) {
        desc += (b == 0 ? "" : "; ") + bin_words(h, b) + ": " + std::to_string(h.counted[b]) +
                " (honest: " + fixed(h.honest[b], 1) + ")";
    }
    std::string svg = "<svg viewBox=\"0 0 560 230\" width=\"560\" height=\"230\" role=\"img\" aria-labelledby=\"" + id +
                      "-title " + id +
                      "-desc\" font-family=\"DejaVu Sans, Helvetica, Arial, sans-serif\" "
                      "font-size=\"19\">\n<title id=\"" +
                      id + "-title\">The class's counts at " + escaped(h.setting) +
                      " against honest counting</title>\n<desc id=\"" + id + "-desc\">" + escaped(desc) + ".</desc>\n";
    const double base = y(0);
    svg += "<line x1=\"" + fixed(left, 1) + "\" y1=\"" + fixed(base, 1) + "\" x2=\"" + fixed(width - right, 1) +
           "\" y2=\"" + fixed(base, 1) + "\" stroke=\"#1b1b1b\"/>\n";
    for (int tick = 0; tick <= scale; tick += step) {
        svg += "<text x=\"" + fixed(left - 6, 1) + "\" y=\"" + fixed(y(tick) + 4, 1) + "\" text-anchor=\"end\">" +
               std::to_string(tick) + "</text>\n";
    }
    const std::size_t label_every = (h.counted.size() + 6) / 7;
    for (std::size_t b = 0; b < h.counted.size(); ++b) {
        const double x = left + bin_w * static_cast<double>(b);
        if (h.counted[b] > 0) {
            svg += "<rect x=\"" + fixed(x + 1, 1) + "\" y=\"" + fixed(y(h.counted[b]), 1) + "\" width=\"" +
                   fixed(bin_w - 2, 1) + "\" height=\"" + fixed(base - y(h.counted[b]), 1) +
                   "\" fill=\"#56b4e9\" stroke=\"#0072b2\"/>\n";
        }
        svg += "<circle cx=\"" + fixed(x + bin_w / 2, 1) + "\" cy=\"" + fixed(y(h.honest[b]), 1) +
               "\" r=\"3.5\" fill=\"#d55e00\"/>\n";
        if (b % label_every == 0) {
            svg += "<text x=\"" + fixed(x + bin_w / 2, 1) + "\" y=\"" + fixed(base + 22, 1) +
                   "\" text-anchor=\"middle\">" + std::to_string(h.first + static_cast<int>(b) * h.width) + "</text>\n";
        }
    }
    svg += "<text x=\"" + fixed((left + width - right) / 2, 1) + "\" y=\"" + fixed(height - 8, 1) +
           "\" text-anchor=\"middle\">N" + (h.width > 1 ? " (bins of " + std::to_string(h.width) + ")" : "") +
           "</text>\n</svg>";
    return svg;
}

// A cell a spreadsheet takes as it is: quoted where it holds a separator,
// a quote or a line break, and kept as text where it would start a formula.
std::string csv_cell(std::string cell) {
    if (!cell.empty() && std::string_view("=+-@\t\r").find(cell[0]) != std::string_view::npos) {
        cell.insert(0, 1, '\'');
    }
    if (cell.find_first_of(",\"\r\n") == std::string::npos) {
        return cell;
    }
    std::string quoted = "\"";
    for (const char c : cell) {
        quoted += c == '"' ? "\"\"" : std::string(1, c);
    }
    return quoted + "\"";
}

}  // namespace

Class_check check_class(std::string_view sheet) { return Checker{}.run(sheet); }

std::string class_table_html(const Class_check& check) {
    if (!check.problem.empty()) {
        return "";  // the summary says what is wrong
    }
    std::string html = "<table class=\"class-check\">\n<caption>Class check</caption>\n<thead><tr>";
    for (const std::string_view column : class_columns) {
        html += "<th scope=\"col\">" + escaped(column) + "</th>";
    }
    html += "</tr></thead>\n<tbody>\n";
    for (std::size_t r = 0; r < check.table.size(); ++r) {
        const auto& cells = check.table[r];
        if (check.refused[r]) {
            html += "<tr class=\"refused\"><td>" + cells[0] + "</td><td colspan=\"" +
                    std::to_string(class_columns.size() - 1) + "\">" + escaped(cells[1]) + "</td></tr>\n";
            continue;
        }
        html += "<tr>";
        for (const std::string& cell : cells) {
            html += "<td>" + escaped(cell) + "</td>";
        }
        html += "</tr>\n";
    }
    return html + "</tbody>\n</table>";
}

std::string class_figures_html(const Class_check& check) {
    std::string html;
    for (std::size_t i = 0; i < check.histograms.size(); ++i) {
        const Class_histogram& h = check.histograms[i];
        int n = 0;
        for (const int c : h.counted) {
            n += c;
        }
        html += "<figure class=\"class-figure\">\n" + svg_of(h, i + 1) + "\n<figcaption>The class's " +
                plural(n, "count") + " at " + escaped(h.setting) +
                ": blue bars, the class; orange-red dots, what an honest class hands in on average.</figcaption>\n"
                "</figure>\n";
    }
    return html;
}

std::string class_table_markdown(const Class_check& check) {
    const auto cell = [](std::string_view text) {
        std::string out;
        for (const char c : text) {
            if (std::string_view("\\`*_[]<>|#").find(c) != std::string_view::npos) {
                out += '\\';
            }
            out += c;
        }
        return out.empty() ? std::string(" ") : out;
    };
    std::string md;
    const auto line = [&](const auto& cells) {
        md += '|';
        for (const std::string_view text : cells) {
            md.append(" ").append(cell(text)).append(" |");
        }
        md += '\n';
    };
    line(class_columns);
    line(std::vector<std::string_view>(class_columns.size(), "---"));
    for (const auto& cells : check.table) {
        line(cells);
    }
    return md;
}

std::string class_csv(const Class_check& check) {
    std::string csv = "\xEF\xBB\xBF";  // so that a spreadsheet reads it as UTF-8
    std::vector<std::string> header = check.header;
    for (const char* column : {"mean", "sd", "p", "verdict", "arithmetic", "reproduced"}) {
        header.emplace_back(column);
    }
    const auto line = [&](const std::vector<std::string>& cells) {
        for (std::size_t i = 0; i < cells.size(); ++i) {
            if (i > 0) {
                csv += ',';
            }
            csv += csv_cell(cells[i]);
        }
        csv += "\r\n";
    };
    line(header);
    for (std::size_t r = 0; r < check.table.size(); ++r) {
        std::vector<std::string> cells = check.sheet[r];
        const auto& shown = check.table[r];
        if (check.refused[r]) {
            cells.insert(cells.end(), {"", "", "", shown[1], "", ""});
        } else {
            const std::string& mean_sd = shown[5];
            const auto pm = mean_sd.find(" ± ");
            cells.insert(cells.end(), {mean_sd.substr(0, pm), mean_sd.substr(pm + std::string(" ± ").size()), shown[6],
                                       shown[7], shown[8], shown[9]});
        }
        line(cells);
    }
    return csv;
}

std::string utc_time(std::int64_t second) {
    const std::chrono::sys_seconds at{std::chrono::seconds{second}};
    const auto day = std::chrono::floor<std::chrono::days>(at);
    const std::chrono::year_month_day date{day};
    const std::chrono::hh_mm_ss time{at - day};
    const auto two = [](long long n) { return (n < 10 ? "0" : "") + std::to_string(n); };
    return std::to_string(static_cast<int>(date.year())) + "-" + two(static_cast<unsigned>(date.month())) + "-" +
           two(static_cast<unsigned>(date.day())) + "T" + two(time.hours().count()) + ":" +
           two(time.minutes().count()) + ":" + two(time.seconds().count()) + "Z";
}

}  // namespace counting_lab::guide
