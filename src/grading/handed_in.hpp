// A class handed in as many files, each a student's (the page's CSV or its
// copied text) or a sheet of many students: one sheet for the class check.
#pragma once

#include <string>
#include <vector>

namespace counting_lab::grading {

/// A file as handed in: its name (a path within an archive may lead to it,
/// as an LMS's "download all" writes one folder per student) and its text.
struct Handed_file {
    std::string name;
    std::string text;
};

/// One sheet of every file's records under the columns of all of them, and
/// what was done on the way, for the summary. A file without a `student`
/// column is the student's whose name its folder or file name carries
/// ("Ada Lovelace_123_assignsubmission_file_/..." or
/// "counting-lab-Ada-Lovelace-2026-12-09.csv"); a file whose text is
/// another's is read once, and so is a row with a time that another file
/// holds too (the same student, setting, t, N and second: a download and
/// the hand-in code of one table).
struct Class_sheet {
    std::string sheet;
    std::vector<std::string> said;
};
Class_sheet class_sheet(const std::vector<Handed_file>& files);

/// The student a file's name speaks of, as above; empty where it names none.
std::string student_of_file(const std::string& name);

}  // namespace counting_lab::grading
