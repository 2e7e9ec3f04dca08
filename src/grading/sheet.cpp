#include "grading/sheet.hpp"

#include <algorithm>
#include <array>
#include <chrono>

#include "grading/wording.hpp"

namespace counting_lab::grading {

namespace {

char separator_of(std::string_view text) {
    const std::string_view first = text.substr(0, text.find('\n'));
    if (first.find('\t') != std::string_view::npos) {
        return '\t';
    }
    const auto count = [&](char c) { return std::count(first.begin(), first.end(), c); };
    return count(';') > count(',') ? ';' : ',';
}

std::vector<Sheet_record> records_of(std::string_view text, char separator) {
    std::vector<Sheet_record> records;
    Sheet_record record{1, {""}};
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
            record = Sheet_record{++line, {""}};
        } else if (c != '\r') {
            cell += c;
        }
    }
    records.push_back(std::move(record));
    return records;
}

bool blank(const Sheet_record& record) {
    return std::all_of(record.cells.begin(), record.cells.end(),
                       [](const std::string& cell) { return trimmed(cell).empty(); });
}

}  // namespace

std::vector<Sheet_record> sheet_records(std::string_view sheet) {
    if (sheet.substr(0, 3) == "\xEF\xBB\xBF") {  // the mark a spreadsheet may put before UTF-8
        sheet.remove_prefix(3);
    }
    std::vector<Sheet_record> records = records_of(sheet, separator_of(sheet));
    std::erase_if(records, blank);
    return records;
}

std::string column_key(std::string_view name) {
    std::string key;
    for (const char c : name) {
        if (c != ' ' && c != '\t') {
            key += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        }
    }
    return key;
}

namespace {

// A date and time as the page or a spreadsheet writes it, its fields as
// written: 2026-12-09T09:00:14Z, 09.12.2026 09:00, 12/9/2026 9:00:14 PM.
struct Written_time {
    std::array<int, 3> date{};
    bool year_first = false;
    char separator = '-';
    int hour = 0;
    int minute = 0;
    std::optional<int> second;
    char half = 0;  // 'A' or 'P' after a 12-hour time
};

// Reads a text from its start, a piece at a time.
class Cursor {
  public:
    explicit Cursor(std::string_view text) : text_(text) {}
    // Up to `most` digits, at least `least`, as a number.
    std::optional<int> number(std::size_t least, std::size_t most) {
        std::size_t n = 0;
        int value = 0;
        for (; n < most && at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9'; ++n, ++at_) {
            value = value * 10 + (text_[at_] - '0');
        }
        return n >= least ? std::optional<int>{value} : std::nullopt;
    }
    bool next(std::string_view piece) {
        if (text_.substr(at_, piece.size()) != piece) {
            return false;
        }
        at_ += piece.size();
        return true;
    }
    [[nodiscard]] char ahead() const { return at_ < text_.size() ? text_[at_] : '\0'; }
    [[nodiscard]] std::size_t at() const { return at_; }
    [[nodiscard]] bool done() const { return at_ == text_.size(); }

  private:
    std::string_view text_;
    std::size_t at_ = 0;
};

// 2026-12-09, 09.12.2026 or 12/9/2026: a year of four digits, first with
// '-' and only then.
bool read_date(Cursor& cursor, Written_time& written) {
    const auto a = cursor.number(1, 4);
    written.year_first = cursor.at() == 4;
    written.separator = cursor.ahead();
    const std::string_view separator{&written.separator, 1};
    if (!a || std::string_view{"-./"}.find(written.separator) == std::string_view::npos ||
        written.year_first != (written.separator == '-') || !cursor.next(separator)) {
        return false;
    }
    const auto b = cursor.number(1, 2);
    const auto c = b && cursor.next(separator) ? cursor.number(written.year_first ? 1 : 4, written.year_first ? 2 : 4)
                                               : std::nullopt;
    if (!c) {
        return false;
    }
    written.date = {*a, *b, *c};
    return true;
}

// 09:00:14, 9:00 or 9:00:14 PM.
bool read_clock(Cursor& cursor, Written_time& written) {
    const auto hour = cursor.number(1, 2);
    const auto minute = hour && cursor.next(":") ? cursor.number(2, 2) : std::nullopt;
    if (!minute) {
        return false;
    }
    written.hour = *hour;
    written.minute = *minute;
    if (cursor.next(":") && !(written.second = cursor.number(2, 2))) {
        return false;
    }
    if (!written.year_first) {
        written.half = cursor.next(" AM") || cursor.next(" am")   ? 'A'
                       : cursor.next(" PM") || cursor.next(" pm") ? 'P'
                                                                  : '\0';
    }
    return true;
}

std::optional<Written_time> written_time(std::string_view text) {
    Written_time written;
    Cursor cursor{text};
    if (!read_date(cursor, written) || !(cursor.next(" ") || (written.year_first && cursor.next("T"))) ||
        !read_clock(cursor, written)) {
        return std::nullopt;
    }
    if (written.year_first) {
        cursor.next("Z");
    }
    return cursor.done() ? std::optional<Written_time>{written} : std::nullopt;
}

// The written time's first second, its day and month read in `order`
// where it does not write the year first; nothing for a time that does not
// exist.
std::optional<std::int64_t> second_of(const Written_time& written, Date_order order) {
    const auto [a, b, c] = written.date;
    const int year = written.year_first ? a : c;
    const int month = order == Date_order::month_first && !written.year_first ? a : b;
    const int day = written.year_first ? c : order == Date_order::month_first ? b : a;
    int hour = written.hour;
    if (written.half != 0) {
        if (hour < 1 || hour > 12) {
            return std::nullopt;
        }
        hour = hour % 12 + (written.half == 'P' ? 12 : 0);
    }
    if (hour > 23 || written.minute > 59 || written.second.value_or(0) > 59 || month < 1 || month > 12 || day < 1) {
        return std::nullopt;
    }
    const std::chrono::year_month_day date{std::chrono::year{year}, std::chrono::month{static_cast<unsigned>(month)},
                                           std::chrono::day{static_cast<unsigned>(day)}};
    if (!date.ok()) {
        return std::nullopt;
    }
    const auto at = std::chrono::sys_days{date} + std::chrono::hours{hour} + std::chrono::minutes{written.minute} +
                    std::chrono::seconds{written.second.value_or(0)};
    return at.time_since_epoch().count();
}

// A time in the page's forms, or day first with dots: with its second or
// without it.
std::optional<std::int64_t> page_time(std::string_view text, bool with_second) {
    const std::optional<Written_time> written = written_time(text);
    if (!written || written->second.has_value() != with_second || written->half != 0 ||
        (!written->year_first && written->separator != '.')) {
        return std::nullopt;
    }
    return second_of(*written, Date_order::day_first);
}

}  // namespace

std::optional<std::int64_t> utc_second(std::string_view text) { return page_time(text, true); }

std::optional<std::int64_t> utc_minute(std::string_view text) { return page_time(text, false); }

namespace {

// 0,5 or -12,25e3 as a spreadsheet that writes decimal commas saves them.
bool decimal_comma(std::string_view cell) {
    cell = trimmed(cell);
    const auto digits = [&](std::size_t& at) {
        const std::size_t from = at;
        while (at < cell.size() && cell[at] >= '0' && cell[at] <= '9') {
            ++at;
        }
        return at > from;
    };
    std::size_t at = !cell.empty() && (cell[0] == '-' || cell[0] == '+') ? 1 : 0;
    if (!digits(at) || at >= cell.size() || cell[at++] != ',' || !digits(at)) {
        return false;
    }
    if (at < cell.size() && (cell[at] == 'e' || cell[at] == 'E')) {
        ++at;
        at += at < cell.size() && (cell[at] == '-' || cell[at] == '+') ? 1 : 0;
        if (!digits(at)) {
            return false;
        }
    }
    return at == cell.size();
}

// The order of the day and the month in the sheet's times, from the times
// themselves (a field over 12, dots, a 12-hour clock), the day it was saved
// on, its separator (semicolons are the lists of decimal-comma places, which
// write the day first) or the class's other sheets; none where nothing says.
std::optional<Date_order> date_order(const std::vector<Written_time>& times, char separator, const Date_clues& clues) {
    bool day_first = false;
    bool month_first = false;
    for (const Written_time& written : times) {
        day_first = day_first || written.date[0] > 12 || written.separator == '.';
        month_first = month_first || written.date[1] > 12 || written.half != 0;
    }
    if (day_first != month_first) {
        return day_first ? Date_order::day_first : Date_order::month_first;
    }
    if (day_first || times.empty()) {
        return std::nullopt;  // both: not one way of writing
    }
    if (clues.saved_on) {
        const auto saved = std::chrono::sys_days{*clues.saved_on}.time_since_epoch().count();
        const auto on = [&](Date_order order) {
            const auto second = second_of(times.front(), order);
            return second && *second / 86'400 == saved;
        };
        if (on(Date_order::day_first) != on(Date_order::month_first)) {
            return on(Date_order::day_first) ? Date_order::day_first : Date_order::month_first;
        }
    }
    if (separator == ';') {
        return Date_order::day_first;
    }
    return clues.others;
}

std::string minute_time(std::int64_t second) {
    std::string written = utc_time(second);
    return written.erase(16, 3);  // 2026-12-09T09:00Z
}

}  // namespace

namespace {

// Decimal commas made points, in every row below the header.
int decimal_points(std::vector<Sheet_record>& records) {
    int made = 0;
    for (std::size_t r = 1; r < records.size(); ++r) {
        for (std::string& cell : records[r].cells) {
            if (decimal_comma(cell)) {
                std::replace(cell.begin(), cell.end(), ',', '.');
                ++made;
            }
        }
    }
    return made;
}

// A time cell as the page writes it, where it is a time not so written
// whose order is known; what was done, into `read`.
void rewrite_time(std::string& cell, const std::optional<Date_order>& order, Sheet_read& read) {
    const std::optional<Written_time> written = written_time(trimmed(cell));
    if (!written || (written->year_first && written->second)) {
        return;  // as the page writes it, or not a time
    }
    if (!written->year_first && !order) {
        ++read.undecided;
        return;
    }
    const Date_order as = written->year_first ? Date_order::year_first : *order;
    const std::optional<std::int64_t> second = second_of(*written, as);
    if (!second || trimmed(cell) == minute_time(*second)) {
        return;  // not a time, or one to the minute as read already
    }
    if (read.date_written.empty()) {
        read.date_written = trimmed(cell);
        read.dates = as;
    }
    read.to_the_minute += written->second ? 0 : 1;
    cell = written->second ? utc_time(*second) : minute_time(*second);
}

}  // namespace

Sheet_read read_sheet(std::string_view sheet, const Date_clues& clues) {
    Sheet_read read;
    read.records = sheet_records(sheet);
    if (read.records.empty()) {
        return read;
    }
    const char separator = separator_of(sheet.substr(sheet.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0));
    if (separator != ',') {
        read.decimal_commas = decimal_points(read.records);
    }
    const std::vector<std::string>& header = read.records[0].cells;
    const auto column =
        static_cast<std::size_t>(std::find_if(header.begin(), header.end(),
                                              [](const std::string& name) { return column_key(name) == "time_utc"; }) -
                                 header.begin());
    std::vector<Written_time> times;  // those not written year first
    for (std::size_t r = 1; r < read.records.size(); ++r) {
        const std::vector<std::string>& cells = read.records[r].cells;
        if (const auto written = column < cells.size() ? written_time(trimmed(cells[column])) : std::nullopt;
            written && !written->year_first) {
            times.push_back(*written);
        }
    }
    const std::optional<Date_order> order = date_order(times, separator, clues);
    for (std::size_t r = 1; r < read.records.size(); ++r) {
        if (column < read.records[r].cells.size()) {
            rewrite_time(read.records[r].cells[column], order, read);
        }
    }
    return read;
}

void Sheets_read::add(const Sheet_read& read) {
    decimal_commas += read.decimal_commas;
    files_with_commas += read.decimal_commas > 0 ? 1 : 0;
    if (read.dates) {
        const auto order = static_cast<std::size_t>(*read.dates);
        ++files_by_order.at(order);
        if (written_as.at(order).empty()) {
            written_as.at(order) = read.date_written;
        }
    }
    to_the_minute += read.to_the_minute;
    undecided += read.undecided;
    files_undecided += read.undecided > 0 ? 1 : 0;
}

std::vector<std::string> read_words(const Sheets_read& sheets) {
    std::vector<std::string> said;
    if (sheets.decimal_commas > 0) {
        said.push_back(
            "Decimal commas read as points (a spreadsheet saved them so): " + plural(sheets.decimal_commas, "number") +
            " in " + plural(sheets.files_with_commas, "sheet") + ".");
    }
    std::string orders;
    constexpr std::array<const char*, 3> ways{"year first", "day first", "month first"};
    for (std::size_t order = 0; order < ways.size(); ++order) {
        if (sheets.files_by_order.at(order) > 0) {
            orders += (orders.empty() ? "" : "; ") + std::string(ways.at(order)) + " (" + sheets.written_as.at(order) +
                      ") in " + plural(sheets.files_by_order.at(order), "sheet");
        }
    }
    if (!orders.empty()) {
        said.push_back("Times as a spreadsheet wrote them again, read " + orders + ".");
    }
    if (sheets.to_the_minute > 0) {
        said.push_back(
            "Times to the minute, their second lost in a spreadsheet's save: " + plural(sheets.to_the_minute, "row") +
            ". The program cannot reproduce such a count from its second; the check says whether any "
            "second of the minute gives it.");
    }
    if (sheets.undecided > 0) {
        said.push_back("Times not read, as nothing in their sheet says whether the day or the month comes first: " +
                       plural(sheets.undecided, "row") + " in " + plural(sheets.files_undecided, "sheet") + ".");
    }
    return said;
}

std::optional<std::chrono::year_month_day> date_in_name(std::string_view name) {
    // The last yyyy-mm-dd of the name.
    for (std::size_t at = name.size(); at >= 10; --at) {
        const std::string_view part = name.substr(at - 10, 10);
        if (const auto written = written_time(std::string{part} + " 00:00"); written && written->year_first) {
            const auto [year, month, day] = written->date;
            const std::chrono::year_month_day date{std::chrono::year{year},
                                                   std::chrono::month{static_cast<unsigned>(month)},
                                                   std::chrono::day{static_cast<unsigned>(day)}};
            if (date.ok() && part[4] == '-' && part[7] == '-') {
                return date;
            }
        }
    }
    return std::nullopt;
}

std::string utc_time(std::int64_t second) {
    const std::chrono::sys_seconds at{std::chrono::seconds{second}};
    const auto day = std::chrono::floor<std::chrono::days>(at);
    const std::chrono::year_month_day date{day};
    const std::chrono::hh_mm_ss time{at - day};
    const auto two = [](long long n) {
        std::string digits = std::to_string(n);
        return digits.size() < 2 ? digits.insert(0, 1, '0') : digits;
    };
    return std::to_string(static_cast<int>(date.year())) + "-" + two(static_cast<unsigned>(date.month())) + "-" +
           two(static_cast<unsigned>(date.day())) + "T" + two(time.hours().count()) + ":" +
           two(time.minutes().count()) + ":" + two(time.seconds().count()) + "Z";
}

int decimal_places(std::string_view typed) {
    const auto is_digit = [](char c) { return c >= '0' && c <= '9'; };
    const auto point = typed.find('.');
    int places = 0;
    std::size_t at = point == std::string_view::npos ? 0 : point + 1;
    if (point != std::string_view::npos) {
        for (; at < typed.size() && is_digit(typed[at]); ++at) {
            ++places;
        }
    }
    const auto e = typed.find_first_of("eE", at);
    if (e == std::string_view::npos) {
        return places;
    }
    std::size_t i = e + 1;
    const bool negative = i < typed.size() && typed[i] == '-';
    i += i < typed.size() && (typed[i] == '-' || typed[i] == '+') ? 1 : 0;
    int exponent = 0;
    for (; i < typed.size() && is_digit(typed[i]); ++i) {
        exponent = std::min(exponent * 10 + (typed[i] - '0'), 1000);  // far past any double's places
    }
    return places + (negative ? exponent : -exponent);
}

}  // namespace counting_lab::grading
