// Reading a class's sheet as spreadsheets and the page write it: CSV with
// commas or semicolons, or tab-separated text as a spreadsheet copies it,
// with a header row; and the cells that need more than the number grammar,
// times and the places a number is written to.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace counting_lab::grading {

/// A record of the sheet and the line it starts on.
struct Sheet_record {
    int line;
    std::vector<std::string> cells;
};

/// The records of a sheet, blank ones left out: the separator is a tab if
/// the first line has one, else the commoner of ';' and ','; quoted fields
/// may hold the separator, line breaks and doubled quotes (RFC 4180); a
/// UTF-8 byte-order mark before it is dropped.
std::vector<Sheet_record> sheet_records(std::string_view sheet);

/// A column's name as the check knows it: lower case, without blanks.
std::string column_key(std::string_view name);

/// Seconds since 1970 of a UTC time as the page writes it,
/// 2026-12-09T07:32:31Z, or as a spreadsheet may write it back (a blank for
/// the T, no Z, or day first with dots: 09.12.2026 07:32:31); nothing for
/// any other text (09/12/2026 may be either day or month first) or a date
/// that does not exist.
std::optional<std::int64_t> utc_second(std::string_view text);
/// A second since 1970 as the page writes it: 2026-12-09T09:00:00Z.
std::string utc_time(std::int64_t second);

/// The decimal places a number is written to: "8.41" has 2, "841e-2" too,
/// "0.5e1" none and "5e2" -2 (to the hundreds).
int decimal_places(std::string_view typed);

}  // namespace counting_lab::grading
