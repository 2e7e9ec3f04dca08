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
