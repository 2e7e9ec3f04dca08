// The grading's results as a teacher reads them: the class check as HTML (a
// table, and the histograms as inline SVG), as a Markdown table for the
// guide, as CSV for a spreadsheet, and its summary in words; Worksheet 2's
// key as an HTML table. Every cell comes from the typed results, and
// everything a sheet brings in is escaped for the markup it goes into.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "grading/class_check.hpp"

namespace counting_lab::grading {

/// The columns of the class check's table, and a row's cells under them.
inline constexpr std::array<std::string_view, 10> class_columns{
    "Row", "Student", "Setting", "t (s)", "N", "Mean ± sd", "p", "Verdict", "Arithmetic", "Reproduced"};
std::vector<std::string> class_cells(const Checked_row& row);

/// The summary, in lines; or, where the sheet could not be read, why.
std::string class_summary_words(const Class_check& check);

/// The table: rows to look at (see `Checked_row::look`) have the class
/// "look", refused rows "refused".
std::string class_table_html(const Class_check& check);
std::string class_figures_html(const Class_check& check);
std::string class_table_markdown(const Class_check& check);

/// The sheet's columns and the check's, as RFC 4180 CSV with a byte-order
/// mark, the last column ("look") each row's reasons for a teacher to look
/// at it: a cell that a spreadsheet would run as a formula is written as text.
std::string class_csv(const Class_check& check);
/// One cell of such a CSV.
std::string csv_cell(std::string cell);

/// Text with & < > " written as HTML's entities.
std::string escaped(std::string_view text);

/// Worksheet 2's key for a counting time as typed, as an HTML table, or
/// what is wrong with the time, in a paragraph.
std::string worksheet_2_key_html(std::string_view typed_t);

}  // namespace counting_lab::grading
