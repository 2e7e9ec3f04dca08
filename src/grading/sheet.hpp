// Reading a class's sheet as spreadsheets and the page write it: CSV with
// commas or semicolons, or tab-separated text as a spreadsheet copies it,
// with a header row; and the cells that need more than the number grammar,
// times and the places a number is written to.
#pragma once

#include <array>
#include <chrono>
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

/// How a sheet's dates are written: 2026-12-09, 09.12.2026 or 12/9/2026.
enum class Date_order { year_first, day_first, month_first };

/// What tells the day from the month in dates like 09/12/2026 where the
/// sheet's own dates do not: the day it was saved on (the page names its
/// files by it), and the order the class's other sheets write.
struct Date_clues {
    std::optional<std::chrono::year_month_day> saved_on;
    std::optional<Date_order> others;
};

/// A sheet read into the page's own form, as a spreadsheet may have saved
/// it again: numbers with a decimal comma where the separator is not a
/// comma (0,5 is 0.5), and times written day first (09.12.2026 09:00:14),
/// month first (12/9/2026 9:00:14 AM) or without their second, each
/// rewritten as the page writes it (2026-12-09T09:00:14Z, or
/// 2026-12-09T09:00Z for a time to the minute).
struct Sheet_read {
    std::vector<Sheet_record> records;
    int decimal_commas = 0;
    std::optional<Date_order> dates;  // how its times are written, where any is read
    std::string date_written;         // the first time not as the page writes it, as written
    int to_the_minute = 0;            // times without their second
    int undecided = 0;                // times left as written: day or month first, nothing says which
};
Sheet_read read_sheet(std::string_view sheet, const Date_clues& clues = {});

/// What reading one sheet or many into the page's form did, for the
/// summary: "Decimal commas read as points: ...".
struct Sheets_read {
    int decimal_commas = 0;
    int files_with_commas = 0;
    std::array<int, 3> files_by_order{};      // files whose times are written each way, not as the page does
    std::array<std::string, 3> written_as{};  // the first of each way, as written
    int to_the_minute = 0;
    int undecided = 0;
    int files_undecided = 0;
    void add(const Sheet_read& read);
};
std::vector<std::string> read_words(const Sheets_read& sheets);

/// The date a file's name carries as the page writes it
/// ("counting-lab-Ada-Lovelace-2026-12-09.csv"), if any.
std::optional<std::chrono::year_month_day> date_in_name(std::string_view name);

/// A column's name as the check knows it: lower case, without blanks.
std::string column_key(std::string_view name);

/// Seconds since 1970 of a UTC time as the page writes it,
/// 2026-12-09T07:32:31Z, or as a spreadsheet may write it back (a blank for
/// the T, no Z, or day first with dots: 09.12.2026 07:32:31); nothing for
/// any other text (09/12/2026 may be either day or month first), a time
/// without its second, or a date that does not exist.
std::optional<std::int64_t> utc_second(std::string_view text);
/// The first second of a time to the minute in the same forms
/// (2026-12-09T07:32Z), for a sheet that lost its seconds on the way.
std::optional<std::int64_t> utc_minute(std::string_view text);
/// A second since 1970 as the page writes it: 2026-12-09T09:00:00Z.
std::string utc_time(std::int64_t second);

/// The decimal places a number is written to: "8.41" has 2, "841e-2" too,
/// "0.5e1" none and "5e2" -2 (to the hundreds).
int decimal_places(std::string_view typed);

}  // namespace counting_lab::grading
