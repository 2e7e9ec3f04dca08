// A class handed in as files: one sheet of them all.
#include "grading/handed_in.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "grading/class_check.hpp"
#include "grading/sheet.hpp"

namespace {

using namespace counting_lab::grading;

TEST(HandedIn, StudentOfAFilesNameOrFolder) {
    EXPECT_EQ(student_of_file("counting-lab-Ada-Lovelace-2026-12-09.csv"), "Ada Lovelace");
    EXPECT_EQ(student_of_file("Ben Okri_4711_assignsubmission_file_/counting-lab-measurements-2026-12-09.csv"),
              "Ben Okri");
    EXPECT_EQ(student_of_file("counting-lab-measurements-2026-12-09.csv"), "");
    EXPECT_EQ(student_of_file("Cleo.tsv"), "Cleo");
    EXPECT_EQ(student_of_file("Lab 1_bokri_attempt_2026-12-09-09-30-12_counting-lab-Ben-Okri-2026-12-09.csv"),
              "Ben Okri");
    EXPECT_EQ(student_of_file("Lab 1_bokri_attempt_2026-12-09-09-30-12.txt"), "");
    EXPECT_EQ(student_of_file("lovelaceada_LATE_4711_99_counting-lab-Ada-Lovelace-2026-12-09-1.csv"), "Ada Lovelace");
    EXPECT_EQ(student_of_file("okriben_4712_98_counting-lab-measurements-2026-12-09.csv"), "okriben");
    EXPECT_EQ(student_of_file("counting-lab-Ada-Lovelace-2026-12-09 (1).csv"), "Ada Lovelace");
}

// The page's CSV with its name, its copied text, one without a student
// column, a file handed in twice and a class sheet: one sheet, every row
// with its student.
TEST(HandedIn, OneSheetOfManyFiles) {
    const std::string page =
        "student,exercise,source,activity_Bq,distance_cm,t_s,N,time_utc\r\n"
        "Ada,1,3,10.3,,10,37,2026-12-09T09:00:10Z\r\n";
    const std::string copied =
        "student\texercise\tsource\tactivity_Bq\tdistance_cm\tt_s\tN\ttime_utc\n"
        "Ben\t2\t\t\t2.5\t10\t5\t2026-12-09T09:01:10Z\n";
    const std::string nameless = "exercise,source,activity_Bq,distance_cm,t_s,N,time_utc\r\n1,3,10.3,,10,40,\r\n";
    const std::string sheet = "Student,Source,t_s,N\nDee,2,30,100\nEd,2,30,101\n";
    const Class_sheet merged = class_sheet({{"a.csv", page},
                                            {"b.txt", copied},
                                            {"Cleo_1_assignsubmission_file_/counting-lab-measurements.csv", nameless},
                                            {"a (1).csv", page},
                                            {"class.csv", sheet}});
    EXPECT_EQ(merged.said.at(0), "Files: 4 read, 1 handed in again and read once.");
    EXPECT_EQ(merged.said.at(1), "The student of 1 file without a student column taken from its folder or file name.");
    const Class_check check = check_class(merged.sheet);
    ASSERT_EQ(check.problem, "");
    ASSERT_EQ(check.rows.size(), 5U);
    std::vector<std::string> students;
    for (const Checked_row& row : check.rows) {
        EXPECT_FALSE(row.refused()) << row.problem;
        students.push_back(row.student);
    }
    EXPECT_EQ(students, (std::vector<std::string>{"Ada", "Ben", "Cleo", "Dee", "Ed"}));
}

// A student's download and the code shown of the same table: each row once.
// Rows without a time may be two recordings with the same count, and stay.
TEST(HandedIn, ARowInTwoFilesIsReadOnce) {
    const std::string download =
        "student,exercise,source,activity_Bq,distance_cm,t_s,N,time_utc\r\n"
        "Ada,1,3,10.3,,10,37,2026-12-09T09:00:10Z\r\n"
        "Ada,2,,,2.5,10,81,2026-12-09T09:01:10Z\r\n";
    const std::string code =  // the same rows and more; a time as a spreadsheet writes it
        "student,exercise,source,activity_Bq,distance_cm,t_s,N,time_utc\r\n"
        "Ada,1,3,,,10,37,2026-12-09 09:00:10\r\n"
        "Ada,2,,,2.5,10,81,2026-12-09T09:01:10Z\r\n"
        "Ada,2,,,2.5,10,80,2026-12-09T09:02:10Z\r\n"
        "Ada,2,,,2.5,10,79,2026-12-09T09:01:10Z\r\n";  // another count in that second: not the same row
    const std::string other = "student,source,t_s,N,time_utc\nBen,3,10,37,2026-12-09T09:00:10Z\nAda,3,10,37,\n";
    const std::string untimed = "student,source,t_s,N\nAda,3,10,37\n";
    const Class_sheet merged = class_sheet({{"a.csv", download}, {"code", code}, {"b.csv", other}, {"c.csv", untimed}});
    EXPECT_EQ(merged.said.at(1),
              "2 rows were handed in in another file too (the same student, setting, count and second) and read once.");
    EXPECT_EQ(check_class(merged.sheet).rows.size(), 7U);
}

// A student who left the page's "Your name" empty hands in rows with an empty
// student cell: they are the folder's student. A name typed otherwise than
// the LMS's folder is shown beside it; one that differs only in its marks
// is not.
TEST(HandedIn, EmptyNamesFromTheFolderAndTypedNamesBesideIt) {
    const std::string header = "student,exercise,source,activity_Bq,distance_cm,t_s,N,time_utc\r\n";
    const Class_sheet merged =
        class_sheet({{"Ben Okri_1002_assignsubmission_file_/counting-lab-measurements-2026-12-09.csv",
                      header + ",1,3,10.3,,10,37,2026-12-09T09:00:10Z\r\n,1,3,10.3,,10,35,2026-12-09T09:00:30Z\r\n"},
                     {"Ada Lovelace_1001_assignsubmission_file_/counting-lab-Ada-L-2026-12-09.csv",
                      header + "Ada L.,1,3,10.3,,10,37,2026-12-09T09:00:50Z\r\n"},
                     {"Cy Young_1003_assignsubmission_file_/counting-lab-Cy-Young.csv",
                      header + "cy young.,1,3,10.3,,10,37,2026-12-09T09:01:10Z\r\n"}});
    EXPECT_EQ(merged.said.at(1),
              "The student of 2 rows with an empty student cell taken from their folder or file name.");
    EXPECT_EQ(merged.said.at(2), "Names typed that differ from the student's folder: Ada L. (folder: Ada Lovelace).");
    EXPECT_EQ(merged.said.at(3), "Students with rows: 3 (Ben Okri, Ada L., cy young.).");
    const Class_check check = check_class(merged.sheet);
    ASSERT_EQ(check.rows.size(), 4U);
    EXPECT_EQ(check.rows.at(0).student, "Ben Okri");
    EXPECT_EQ(check.rows.at(1).student, "Ben Okri");
    EXPECT_EQ(check.rows.at(2).student, "Ada L.");
}

// What the page wrote: its CSV under the name it gives the download, and
// a hand-in code as the guide turns it into a CSV (tests/hand-in, which
// the page's own tests write and read too). The student comes from the
// column, the file's name gives the same words, and the program gives
// every count again at its second.
// Re-saved sheets: one whose dates could be day or month first takes the
// order the class's other sheets agree on, and the summary says so.
TEST(HandedIn, ReSavedSheetsReadAsTheirSpreadsheetWroteThem) {
    const Class_sheet merged = class_sheet({
        {"Ada Lovelace_1_assignsubmission_file_/a.csv",
         "student,source,t_s,N,time_utc\nAda,3,30,80,12/13/2026 9:00:14 AM\n"},
        {"Ben Okri_2_assignsubmission_file_/b.csv", "student,source,t_s,N,time_utc\nBen,3,30,81,12/9/2026 9:00\n"},
    });
    EXPECT_EQ(merged.sheet,
              "student,source,t_s,N,time_utc\nAda,3,30,80,2026-12-13T09:00:14Z\nBen,3,30,81,2026-12-09T09:00Z\n");
    EXPECT_EQ(std::vector<std::string>(merged.said.end() - 2, merged.said.end()),
              (std::vector<std::string>{"Times as a spreadsheet wrote them again, read month first (12/13/2026 "
                                        "9:00:14 AM) in 2 sheets.",
                                        "Times to the minute, their second lost in a spreadsheet's save: 1 row. The "
                                        "program cannot reproduce such a count from its second; the check says "
                                        "whether any second of the minute gives it."}));
}

TEST(HandedIn, ThePagesOwnFilesAsWritten) {
    const std::filesystem::path folder = COUNTING_LAB_HAND_IN_SAMPLES;
    const auto text_of = [](const std::filesystem::path& path) {
        std::ifstream file(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), {});
    };
    std::filesystem::path download;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().filename().string().rfind("counting-lab-", 0) == 0) {
            download = entry.path();
        }
    }
    ASSERT_FALSE(download.empty());
    EXPECT_EQ(student_of_file(download.filename().string()), "Zo\u00eb Zo \u00d8deg\u00e5rd Jr");
    for (const auto& path : {download, folder / "hand-in-code.csv"}) {
        const Class_sheet merged = class_sheet({{path.filename().string(), text_of(path)}});
        const Class_check check = check_class(merged.sheet);
        ASSERT_EQ(check.problem, "") << path;
        ASSERT_EQ(check.rows.size(), 3U) << path;
        for (const Checked_row& row : check.rows) {
            EXPECT_EQ(row.student, "Zo\u00eb \"Zo\" \u00d8deg\u00e5rd, Jr.") << path;
            ASSERT_TRUE(row.second.has_value()) << path;
            EXPECT_EQ(row.reproduced, row.N) << path << " at " << utc_time(*row.second);
        }
        EXPECT_EQ(*check.rows.at(2).second - *check.rows.at(0).second, 45) << path;
    }
}

}  // namespace
