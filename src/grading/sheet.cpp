#include "grading/sheet.hpp"

#include <algorithm>
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

std::optional<std::int64_t> utc_second(std::string_view text) {
    const auto digits = [&](std::size_t at, std::size_t n) -> std::optional<int> {
        if (at + n > text.size()) {
            return std::nullopt;
        }
        int value = 0;
        for (std::size_t i = at; i < at + n; ++i) {
            if (text[i] < '0' || text[i] > '9') {
                return std::nullopt;
            }
            value = value * 10 + (text[i] - '0');
        }
        return value;
    };
    // 2026-12-09T07:32:31Z, or 09.12.2026 07:32:31 as a spreadsheet set to
    // a day-first locale writes it: the date's separator says which.
    const bool day_first = text.size() > 2 && text[2] == '.';
    const auto year = day_first ? digits(6, 4) : digits(0, 4);
    const auto month = digits(day_first ? 3 : 5, 2);
    const auto day = day_first ? digits(0, 2) : digits(8, 2);
    const auto hour = digits(11, 2);
    const auto minute = digits(14, 2);
    const auto second = digits(17, 2);
    // (the digits read, the text has at least 19 characters)
    const auto date_written = [&] {
        return day_first ? text[5] == '.' && text[10] == ' '
                         : text[4] == '-' && text[7] == '-' && (text[10] == 'T' || text[10] == ' ');
    };
    if (!year || !month || !day || !hour || !minute || !second || !date_written() || text[13] != ':' ||
        text[16] != ':' || !(text.size() == 19 || text.substr(19) == "Z") || *hour > 23 || *minute > 59 ||
        *second > 59) {
        return std::nullopt;
    }
    const std::chrono::year_month_day date{std::chrono::year{*year}, std::chrono::month{static_cast<unsigned>(*month)},
                                           std::chrono::day{static_cast<unsigned>(*day)}};
    if (!date.ok()) {
        return std::nullopt;
    }
    const auto at = std::chrono::sys_days{date} + std::chrono::hours{*hour} + std::chrono::minutes{*minute} +
                    std::chrono::seconds{*second};
    return at.time_since_epoch().count();
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
