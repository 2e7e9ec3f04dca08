// The class check and the key as a teacher reads them: nothing a sheet
// brings in becomes markup or a spreadsheet formula.
#include "grading/render.hpp"

#include <gtest/gtest.h>

#include <string>

#include "class_sheets.hpp"

namespace {

using namespace counting_lab::grading;

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(Render, NoCellBecomesMarkup) {
    const Class_check check = check_class(
        "student,source,t_s,N\n<img src=x onerror=alert(1)>,3,30,171\n\"<b>\",3,30,\n<i>,3,30,170\n<i>,3,30,171\n");
    const std::string table = class_table_html(check);
    EXPECT_FALSE(has(table, "<img")) << table;
    EXPECT_TRUE(has(table, "<td>&lt;img src=x onerror=alert(1)&gt;</td>"));
    EXPECT_FALSE(has(table, "<b>"));
    EXPECT_FALSE(has(table, "<i>"));
    EXPECT_FALSE(has(class_figures_html(check), "<img"));
    // The summary is text for a text node; the Markdown for the guide escapes.
    EXPECT_TRUE(has(class_table_markdown(check), "| \\<img src=x onerror=alert(1)\\> |"));
}

TEST(Render, WritesACsvThatNoSpreadsheetRuns) {
    const Class_check check =
        check_class("student,source,t_s,N\n=HYPERLINK(\"x\"),3,30,171\n\"@a, b\",3,30,\n-2+3+cmd,3,30,171\n");
    const std::string csv = class_csv(check);
    EXPECT_EQ(csv.substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_TRUE(has(csv, "student,source,t_s,N,mean,sd,p,verdict,arithmetic,reproduced,look\r\n"));
    EXPECT_TRUE(has(csv, "\r\n\"'=HYPERLINK(\"\"x\"\")\",3,30,171,")) << csv;
    EXPECT_TRUE(has(csv, "\r\n\"'@a, b\",3,30,,,,,row 3: N is missing,,,refused\r\n")) << csv;
    EXPECT_TRUE(has(csv, "\r\n'-2+3+cmd,3,30,171,")) << csv;
    EXPECT_TRUE(has(csv, ",query it,,,query it\r\n")) << csv;  // the reasons to look at a row, last
    for (const char* formula : {"=1", "+1", "-1", "@x", "\tx", "\rx"}) {
        const std::string written = csv_cell(formula);
        EXPECT_EQ(written[written[0] == '"' ? 1 : 0], '\'') << formula;
    }
    // The mean and sd go as numbers of their own.
    const std::string mean_sd = class_cells(check.rows[0])[5];
    EXPECT_TRUE(
        has(csv, "," + mean_sd.substr(0, mean_sd.find(' ')) + "," + mean_sd.substr(mean_sd.rfind(' ') + 1) + ","));
}

TEST(Render, SummaryInWords) {
    const std::int64_t at = class_sheets::nine_o_clock;
    const Class_check check = check_class("student,source,t_s,N,time_utc\n" + class_sheets::honest("Ann", 3, at) +
                                          class_sheets::honest("Bob", 3, at) + "Cy,3,30,600,\nDi,3,30,\n");
    const std::string words = class_summary_words(check);
    EXPECT_TRUE(has(words, "Rows: 3 read, 1 refused (row 5).\n")) << words;
    EXPECT_TRUE(has(words, "Cannot happen: 1 (an honest class: 0).\n")) << words;
    EXPECT_TRUE(has(words, "- Ann (row 2) and Bob (row 3): source 3, 30 s, N = ")) << words;
    EXPECT_TRUE(has(words, ", in the same second (" + utc_time(at) + ")")) << words;
    EXPECT_TRUE(has(words, "Students to talk to:\n- Cy: cannot happen (row 4)\nRows: ")) << words;
    EXPECT_TRUE(has(words, "Not reproduced by the program at their second: 0 of 2 rows with a time.\n")) << words;
    EXPECT_FALSE(has(class_summary_words(check_class("student,source,t_s,N\nA,1,10,5\n")), "Not reproduced"));
    EXPECT_TRUE(has(words,
                    "flagged below 1 in 599, so that at most 1 in 200 honest classes of 3 pairs of students "
                    "shows one.\n- none."))
        << words;
    EXPECT_EQ(class_summary_words(check_class("")), check_class("").problem);
    // A scatter judged on what is left of a student's rows says so.
    const std::string refused = class_summary_words(
        check_class("student,source,t_s,N\nEd,3,30,170\nEd,3,30,171\nEd,3,30,172\nEd,3,30,x\nEd,3,30,\n"));
    EXPECT_TRUE(has(refused, "- Ed (3 counts; 2 more refused, which this cannot judge): D = ")) << refused;
    // A copier, in the words the teacher reads; a table that marks the rows
    // to look at.
    std::string sheet = "student,source,t_s,N\n";
    for (int k = 0; k < 6; ++k) {
        const std::string row = std::to_string(1 + k % 5) + ",30," + std::to_string(20 + 5 * k) + "\n";
        sheet += "Ann," + row + "Ben," + row;
    }
    const Class_check copied = check_class(sheet);
    const std::string copied_words = class_summary_words(copied);
    EXPECT_TRUE(has(copied_words, "\n- Ann and Ben: 6 of 6 counts equal (by chance: 1 in ")) << copied_words;
    EXPECT_TRUE(has(copied_words, "): the same counts handed in twice?")) << copied_words;
    EXPECT_TRUE(has(copied_words, "- Ann: ")) << copied_words;
    EXPECT_TRUE(has(class_table_html(copied), "<tr class=\"look\"><td>2</td><td>Ann</td>"));
}

TEST(Render, KeyForATimeTheProgramTakes) {
    EXPECT_TRUE(has(worksheet_2_key_html("45"), "<caption>Answer key of Worksheet 2 for t = 45 s</caption>"));
    EXPECT_TRUE(has(worksheet_2_key_html("100"), "<table"));
    for (const char* wrong : {"500", "9", "", "x", "<b>"}) {
        EXPECT_EQ(worksheet_2_key_html(wrong),
                  "<p>Type the counting time the class used, in seconds, from 10 to 100.</p>")
            << wrong;
    }
    EXPECT_EQ(worksheet_2_key_html("2,5"),
              "<p>Type the counting time the class used, in seconds, from 10 to 100. Type decimals with a point: 2.5, "
              "not 2,5.</p>");
}

}  // namespace
