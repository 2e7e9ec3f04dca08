// Reading a sheet as spreadsheets write it, and the cells that need more
// than the number grammar.
#include "grading/sheet.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace counting_lab::grading;

TEST(Sheet, RecordsAsSpreadsheetsWriteThem) {
    // A byte-order mark, semicolons, a quoted cell with the separator, a
    // doubled quote and a line break; a blank line dropped, its line counted.
    const auto records = sheet_records(
        "\xEF\xBB\xBF"
        "a;b\r\n\"x;\"\"y\"\"\nz\";2\n\n ; \nq;3");
    ASSERT_EQ(records.size(), 3U);
    EXPECT_EQ(records[0].cells, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(records[1].cells, (std::vector<std::string>{"x;\"y\"\nz", "2"}));
    EXPECT_EQ(records[1].line, 2);
    EXPECT_EQ(records[2].line, 6);
    // A tab in the first line makes it tab-separated, commas and all.
    EXPECT_EQ(sheet_records("a\tb\n1,5\t2\n")[1].cells, (std::vector<std::string>{"1,5", "2"}));
    EXPECT_EQ(column_key(" Sigma N_per S"), "sigman_pers");
}

TEST(Sheet, TimesAsThePageAndSpreadsheetsWriteThem) {
    const std::int64_t second = 1'796'806'925;  // 2026-12-09T09:02:05Z
    EXPECT_EQ(utc_time(second), "2026-12-09T09:02:05Z");
    EXPECT_EQ(utc_second("2026-12-09T09:02:05Z"), second);
    EXPECT_EQ(utc_second("2026-12-09 09:02:05"), second);
    EXPECT_EQ(utc_second("2026-12-09T09:02:05"), second);
    EXPECT_EQ(utc_second("09.12.2026 09:02:05"), second);
    for (const char* wrong : {"2026-02-30T09:02:05Z", "2026-12-09T24:00:00Z", "2026-12-09T09:02:05+01", "09:02:05",
                              "2026-12-09", "2026-12-09X09:02:05Z", "", "09/12/2026 09:02:05", "09.12.2026 09:02",
                              "30.02.2026 09:02:05", "09.12.2026T09:02:05"}) {
        EXPECT_FALSE(utc_second(wrong)) << wrong;
    }
}

TEST(Sheet, ReadAsTheSpreadsheetThatSavedItAgainWroteIt) {
    const auto read = [](const std::string& text, const Date_clues& clues = {}) {
        const Sheet_read sheet = read_sheet(text, clues);
        return std::make_pair(sheet, sheet.records.size() > 1 ? sheet.records[1].cells : std::vector<std::string>{});
    };
    // A German save: semicolons, decimal commas, the day first with dots and
    // the second lost.
    const auto [german, row] = read("student;distance_cm;t_s;N;time_utc\r\nZo\u00eb;2,5;30;81;09.12.2026 09:00\r\n");
    EXPECT_EQ(row, (std::vector<std::string>{"Zo\u00eb", "2.5", "30", "81", "2026-12-09T09:00Z"}));
    EXPECT_EQ(german.decimal_commas, 1);
    EXPECT_EQ(german.dates, Date_order::day_first);
    EXPECT_EQ(german.date_written, "09.12.2026 09:00");
    EXPECT_EQ(german.to_the_minute, 1);
    EXPECT_EQ(utc_minute(row[4]), 1'796'806'800);
    EXPECT_FALSE(utc_second(row[4]));
    EXPECT_EQ(read_sheet("t_s,time_utc\n1," + row[4] + "\n").to_the_minute, 0);  // read into the page's form already
    // A US save: the month first, a 12-hour clock; a comma stays a comma.
    const auto [us, us_row] = read("student,t_s,N,time_utc\nAda,30,81,12/9/2026 9:02:05 PM\nBo,\"2,5\",1,x\n");
    EXPECT_EQ(us_row[3], "2026-12-09T21:02:05Z");
    EXPECT_EQ(us.dates, Date_order::month_first);
    EXPECT_EQ(us.records[2].cells[1], "2,5");
    EXPECT_EQ(us.decimal_commas, 0);
    // 09/12/2026 either way: a day over 12 elsewhere in the file decides, then
    // the day the file was saved on, a semicolon list, the class's other files.
    EXPECT_EQ(read("t_s,time_utc\n1,09/12/2026 09:00:00\n1,13/12/2026 09:00:00\n").second[1], "2026-12-09T09:00:00Z");
    const std::string either = "t_s,time_utc\n1,09/12/2026 09:00:00\n";
    EXPECT_EQ(read(either).first.undecided, 1);
    EXPECT_EQ(read(either).second[1], "09/12/2026 09:00:00");
    const auto saved_on = date_in_name("counting-lab-Ada-Lovelace-2026-09-12.csv");
    EXPECT_EQ(read(either, {saved_on, std::nullopt}).second[1], "2026-09-12T09:00:00Z");
    EXPECT_EQ(read("t_s;time_utc\n1;09/12/2026 09:00:00\n").second[1], "2026-12-09T09:00:00Z");
    EXPECT_EQ(read(either, {std::nullopt, Date_order::month_first}).second[1], "2026-09-12T09:00:00Z");
    EXPECT_FALSE(date_in_name("Ada Lovelace_123_assignsubmission_file_/counting-lab.csv"));
    // What the summary says of it.
    Sheets_read sheets;
    sheets.add(german);
    sheets.add(us);
    EXPECT_EQ(read_words(sheets),
              (std::vector<std::string>{
                  "Decimal commas read as points (a spreadsheet saved them so): 1 number in 1 sheet.",
                  "Times as a spreadsheet wrote them again, read day first (09.12.2026 09:00) in 1 sheet; month "
                  "first (12/9/2026 9:02:05 PM) in 1 sheet.",
                  "Times to the minute, their second lost in a spreadsheet's save: 1 row. The program cannot "
                  "reproduce such a count from its second; the check says whether any second of the minute gives "
                  "it."}));
}

TEST(Sheet, DecimalPlacesCountTheExponent) {
    EXPECT_EQ(decimal_places("8.41"), 2);
    EXPECT_EQ(decimal_places("8"), 0);
    EXPECT_EQ(decimal_places("8."), 0);
    EXPECT_EQ(decimal_places("5e-1"), 1);
    EXPECT_EQ(decimal_places("841E-2"), 2);
    EXPECT_EQ(decimal_places("0.5e1"), 0);
    EXPECT_EQ(decimal_places("5e+2"), -2);
}

}  // namespace
