// The guide's check of a whole class's sheet: every count against the exact
// distribution of its setting, every student's arithmetic and scatter, the
// class as a whole, and identical counts. The guide prints its answer for an
// example sheet, and its HTML edition runs the same code in WebAssembly.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace counting_lab::guide {

/// The most rows of counts that one check takes.
inline constexpr int class_rows_limit = 10'000;

/// How many honest sets of a student's counts the scatter test draws.
inline constexpr int scatter_sets = 20'000;

/// A histogram of the class's counts at one setting, against the exact
/// distribution: the number of counts in each bin of `width` counts from
/// `first`, and how many an honest class would have there.
struct Class_histogram {
    std::string setting;  // "source 3, 30 s"
    int first = 0;
    int width = 1;
    std::vector<int> counted;
    std::vector<double> honest;
};

/// The check of a sheet: the table's rows as cells (a row that cannot be
/// read has its row number and what is wrong), the summary in lines, the
/// histograms, and the sheet's own columns and cells for the CSV.
struct Class_check {
    std::string problem;  // the sheet as a whole cannot be read; then nothing else is filled in
    std::vector<std::vector<std::string>> table;
    std::vector<bool> refused;  // per row of `table`
    std::string summary;
    std::vector<Class_histogram> histograms;
    std::vector<std::string> header;              // the sheet's columns, as written
    std::vector<std::vector<std::string>> sheet;  // the sheet's cells, per row of `table`
};

/// The columns of the table.
inline constexpr std::array<std::string_view, 10> class_columns{
    "Row", "Student", "Setting", "t (s)", "N", "Mean ± sd", "p", "Verdict", "Arithmetic", "Reproduced"};

/// Checks a sheet pasted or opened as text: CSV (comma or semicolon) or
/// tab-separated, with a header row.
Class_check check_class(std::string_view sheet);

/// The check as HTML: the table, and the histograms as inline SVG.
std::string class_table_html(const Class_check& check);
std::string class_figures_html(const Class_check& check);
/// The check as a Markdown table, for the guide.
std::string class_table_markdown(const Class_check& check);
/// The sheet's columns and the check's, as RFC 4180 CSV: a cell that a
/// spreadsheet would run as a formula is written as text.
std::string class_csv(const Class_check& check);

/// A second since 1970 as the page's export writes it: 2026-12-09T09:00:00Z.
std::string utc_time(std::int64_t second);

}  // namespace counting_lab::guide
