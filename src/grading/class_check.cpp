#include "grading/class_check.hpp"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <tuple>
#include <type_traits>

#include "common/number_grammar.hpp"
#include "grading/class_summary.hpp"
#include "grading/sheet.hpp"
#include "grading/wording.hpp"
#include "simulation/lab.hpp"
#include "simulation/recording.hpp"

namespace counting_lab::grading {

namespace {

// A row's cells as the check reads them: by column key, only those filled in.
using Cells = std::map<std::string, std::string>;

// Reads a number from a cell; says what is wrong where it is not one.
template <class Number>
std::optional<Number> read_number(const Cells& cells, const std::string& column, std::vector<std::string>& problems) {
    const auto cell = cells.find(column);
    if (cell == cells.end()) {
        return std::nullopt;
    }
    Number value{};
    if (parse_number(cell->second, value)) {
        return value;
    }
    constexpr bool whole = std::is_integral_v<Number>;
    problems.push_back((column == "n" ? std::string("N") : column) + " “" + cell->second + "” is not " +
                       (whole ? "a whole number written in digits" : "a number") +
                       (cell->second.find(',') != std::string::npos ? ": " + std::string(comma_hint) : ""));
    return std::nullopt;
}

// The row's setting, read and checked against the lab's setup; what is
// wrong goes to `problems`.
std::optional<Setting> read_setting(const Cells& cells, std::vector<std::string>& problems) {
    std::vector<std::string> source_problems;
    std::vector<std::string> distance_problems;
    std::vector<std::string> time_problems;
    const std::optional<int> source = read_number<int>(cells, "source", source_problems);
    const std::optional<double> d_cm = read_number<double>(cells, "distance_cm", distance_problems);
    const std::optional<double> t_s = read_number<double>(cells, "t_s", time_problems);
    const Setting_faults faults = setting_faults(
        {cells.contains("source"), cells.contains("distance_cm"), cells.contains("t_s"), source, d_cm, t_s});
    if (faults.source_and_distance) {
        problems.emplace_back("source and distance_cm are both filled in: one of them, please");
    }
    if (faults.neither) {
        problems.emplace_back("source or distance_cm is missing");
    }
    problems.insert(problems.end(), source_problems.begin(), source_problems.end());
    if (faults.no_such_source) {
        problems.push_back("there is no source " + cells.at("source") + "; the sources are 1 to " +
                           std::to_string(sources.size()));
    }
    problems.insert(problems.end(), distance_problems.begin(), distance_problems.end());
    if (faults.distance_outside) {
        problems.push_back("distance_cm " + cells.at("distance_cm") + " is outside the program's " +
                           fixed(distance_cm.low, 1) + " to " + fixed(distance_cm.high, 1) + " cm");
    }
    if (faults.time_missing) {
        problems.emplace_back("t_s is missing");
    }
    problems.insert(problems.end(), time_problems.begin(), time_problems.end());
    if (faults.time_outside) {
        problems.push_back("t_s " + cells.at("t_s") + " is outside the program's " + fixed(counting_time_s.low, 0) +
                           " to " + fixed(counting_time_s.high, 0) + " s");
    }
    if (faults.any() || !source_problems.empty() || !distance_problems.empty() || !time_problems.empty()) {
        return std::nullopt;
    }
    return Setting{source.value_or(0), source ? 0.0 : *d_cm, *t_s};
}

// The student's own m, n and sigma_n against those of N and t: "right",
// "rounding" (within 1 %, as from a rounded step) or what is wrong; "" where
// the sheet has none of them.
std::string arithmetic(int N, double t, const Cells& written) {
    const Student_rates rates = student_rates(N, t);
    const std::array<std::tuple<const char*, const char*, double>, 3> steps{{
        {"m_per_s", "m", rates.m},
        {"n_per_s", "n", rates.n},
        {"sigma_n_per_s", "σ_n", rates.sigma_n},
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
        const int places = decimal_places(typed);
        if (std::isnan(value)) {
            wrong += std::string(wrong.empty() ? "" : "; ") + name +
                     " cannot be worked out: m τ = " + fixed(rates.m * tau, 2) + ", the counter was never live";
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
        // To the places written, but no further than a double's digits go.
        wrong += std::string(wrong.empty() ? "" : "; ") + name + " should be " +
                 fixed(value, std::clamp(places, 2, 6)) + ", not " + typed;
    }
    if (!any) {
        return "";
    }
    return !wrong.empty() ? wrong : rounded ? "rounding" : "right";
}

// Runs one check: reads the sheet's rows, each against the facts of its
// setting, worked out once per setting.
class Sheet_reading {
  public:
    Class_check run(std::string_view sheet);

  private:
    bool read_header(const Sheet_record& header, std::size_t rows);
    void read(const Sheet_record& record);
    std::size_t setting_index(const Setting& setting);

    Class_check check_;
    std::vector<std::string> keys_;  // the header's columns as the check knows them
    std::map<Setting, std::size_t> index_;
    Class_settings settings_;
};

std::size_t Sheet_reading::setting_index(const Setting& setting) {
    const auto [at, added] = index_.try_emplace(setting, settings_.facts.size());
    if (added) {
        settings_.facts.push_back(facts_of(setting));
    }
    return at->second;
}

bool Sheet_reading::read_header(const Sheet_record& header, std::size_t rows) {
    for (const std::string& name : header.cells) {
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
        return false;
    }
    if (rows > static_cast<std::size_t>(class_rows_limit)) {
        check_.problem = "The sheet has " + thousands(static_cast<int>(rows)) +
                         " rows of counts; the check takes at most " + thousands(class_rows_limit) +
                         " at a time: split it.";
        return false;
    }
    return true;
}

// When the row's recording ended, where the sheet says: to the second, or
// to the minute. A time that cannot be read leaves the count checked, not
// made again.
void read_time(Checked_row& row, const Cells& cells) {
    const auto time = cells.find("time_utc");
    if (time != cells.end()) {
        row.time_typed = time->second;
        row.second = utc_second(row.time_typed);
        row.minute = row.second ? std::nullopt : utc_minute(row.time_typed);
    }
}

// The program's count at the row's second; or, for a time to the minute,
// whether any second of it gives the row's count, and the chance that an
// honest count agrees with one of them.
void reproduce(Checked_row& row, const Setting_facts& f) {
    if (row.second) {
        row.reproduced = count_of_second(row.setting.t_s, f.rate, tau, *row.second);
    }
    if (row.minute) {
        std::set<int> counts;
        for (std::int64_t s = *row.minute; s < *row.minute + 60; ++s) {
            counts.insert(count_of_second(row.setting.t_s, f.rate, tau, s));
        }
        row.fits_minute = counts.contains(row.N);
        for (const int count : counts) {
            row.minute_chance +=
                static_cast<std::size_t>(count) < f.p.size() ? f.p[static_cast<std::size_t>(count)] : 0;
        }
    }
}

void Sheet_reading::read(const Sheet_record& record) {
    Checked_row row;
    row.line = record.line;
    row.cells = record.cells;
    row.cells.resize(check_.header.size());
    Cells cells;
    for (std::size_t i = 0; i < keys_.size(); ++i) {
        const std::string_view cell = trimmed(row.cells[i]);
        if (!cell.empty() && !cells.contains(keys_[i])) {
            cells.emplace(keys_[i], std::string(cell));
        }
    }
    std::vector<std::string> problems;
    if (!cells.contains("student")) {
        problems.emplace_back("student is missing");
    }
    const std::optional<Setting> setting = read_setting(cells, problems);
    std::optional<int> N;
    if (!cells.contains("n")) {
        problems.emplace_back("N is missing");
    } else if ((N = read_number<int>(cells, "n", problems)) && *N < 0) {
        problems.push_back("N " + cells.at("n") + ": a count is a whole number from 0");
    }
    for (const char* column : {"m_per_s", "n_per_s", "sigma_n_per_s"}) {
        (void)read_number<double>(cells, column, problems);
    }
    read_time(row, cells);
    if (cells.contains("student")) {
        row.student = cells["student"];  // a refused row's too, to say whose it is
    }
    if (!problems.empty()) {
        row.problem = "row " + std::to_string(record.line) + ": ";
        for (std::size_t i = 0; i < problems.size(); ++i) {
            row.problem += (i == 0 ? "" : "; ") + problems[i];
        }
        settings_.of_row.push_back(no_setting);
        check_.rows.push_back(std::move(row));
        return;
    }
    row.setting = *setting;
    row.setting_typed = setting->source > 0 ? "source " + cells["source"] : "d = " + cells["distance_cm"] + " cm";
    row.t_typed = cells["t_s"];
    row.N_typed = cells["n"];
    row.N = *N;
    const std::size_t index = setting_index(*setting);
    const Setting_facts& f = settings_.facts[index];
    row.spread = f.spread;
    const auto n = static_cast<std::size_t>(row.N);
    const bool can_happen = row.N <= f.highest && n < f.p.size();
    row.p = can_happen ? f.ps[n] : 0.0;
    row.verdict = can_happen ? verdict_of(row.p) : Verdict::cannot_happen;
    row.arithmetic = arithmetic(row.N, setting->t_s, cells);
    reproduce(row, f);
    settings_.of_row.push_back(index);
    check_.rows.push_back(std::move(row));
}

Class_check Sheet_reading::run(std::string_view sheet) {
    const Sheet_read as_read = read_sheet(sheet);
    const std::vector<Sheet_record>& records = as_read.records;
    Sheets_read sheets;
    sheets.add(as_read);
    check_.read_as = read_words(sheets);
    if (records.empty()) {
        check_.problem = "Paste a class sheet, or open a class file: a header row, then one row per count.";
        return check_;
    }
    if (!read_header(records.front(), records.size() - 1)) {
        return check_;
    }
    for (std::size_t i = 1; i < records.size(); ++i) {
        read(records[i]);
    }
    check_.summary = summarise(check_.rows, settings_);
    check_.histograms = histograms(check_.rows, settings_);
    return check_;
}

}  // namespace

Class_check check_class(std::string_view sheet) { return Sheet_reading{}.run(sheet); }

}  // namespace counting_lab::grading
