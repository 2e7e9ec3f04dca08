#include "grading/handed_in.hpp"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <optional>
#include <set>
#include <string_view>
#include <utility>

#include "grading/render.hpp"
#include "grading/sheet.hpp"
#include "grading/wording.hpp"

namespace counting_lab::grading {

namespace {

bool all_digits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The words of a name joined by blanks: "Ada-Lovelace" is "Ada Lovelace".
std::string words_of(std::string text) {
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '-' || c == '_' || c == '.'; }, ' ');
    std::string joined;
    std::string word;
    text += ' ';
    for (const char c : text) {
        if (c != ' ') {
            word += c;
            continue;
        }
        if (!word.empty() && !all_digits(word)) {
            if (!joined.empty()) {
                joined += ' ';
            }
            joined += word;
        }
        word.clear();
    }
    return joined;
}

// A name's letters and digits, ASCII in lower case, beyond ASCII as they
// are: "Zo\u00eb \"Zo\" Smith, Jr." and "Zo\u00eb Zo Smith Jr" are one.
std::string letters_of(const std::string& name) {
    std::string letters;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80 || std::isalnum(byte) != 0) {
            letters += static_cast<char>(std::tolower(byte));
        }
    }
    return letters;
}

// Canvas's file names: "okriben_LATE_4711_99_counting-lab.csv": the name
// as it sorts, LATE_ where late, two numbers, then the file as handed in,
// which is left in `file`; "" and `file` as it was for any other name.
std::string canvas_sorted(std::string& file) {
    std::vector<std::string_view> parts;
    std::string_view rest{file};
    for (int i = 0; i < 4; ++i) {
        const std::size_t bar = rest.find('_');
        if (bar == std::string_view::npos) {
            break;
        }
        parts.push_back(rest.substr(0, bar));
        rest.remove_prefix(bar + 1);
    }
    const bool late = parts.size() > 1 && parts[1] == "LATE";
    const std::size_t numbers = late ? 2 : 1;
    const bool sorted_name = !parts.empty() && !parts[0].empty() &&
                             std::all_of(parts[0].begin(), parts[0].end(), [](char c) { return c >= 'a' && c <= 'z'; });
    if (!sorted_name || parts.size() < numbers + 2 || !all_digits(parts[numbers]) || !all_digits(parts[numbers + 1])) {
        return "";
    }
    std::string name{parts[0]};
    const std::size_t handed =
        static_cast<std::size_t>(parts[numbers + 1].data() - file.data()) + parts[numbers + 1].size() + 1;
    file.erase(0, handed);
    return name;
}

}  // namespace

std::string student_of_file(const std::string& name) {
    // An LMS's folder: the student's name before its first '_'.
    const std::size_t slash = name.find_last_of("/\\");
    if (slash != std::string::npos) {
        const std::string folder = name.substr(0, slash);
        const std::string last = folder.substr(folder.find_last_of("/\\") + 1);
        std::string student{trimmed(last.substr(0, last.find('_')))};
        if (!student.empty()) {
            return student;
        }
    }
    std::string file = slash == std::string::npos ? name : name.substr(slash + 1);
    // Blackboard's: "Lab 1_bokri_attempt_2026-12-09-09-30-12_" before the
    // file as handed in.
    if (const std::size_t attempt = file.find("_attempt_"); attempt != std::string::npos) {
        const std::size_t handed = file.find('_', attempt + 9);
        file = handed == std::string::npos ? "" : file.substr(handed + 1);
    }
    // Canvas's: the student's name as it sorts, "okriben_LATE_4711_99_",
    // before the file as handed in.
    const std::string sorted = canvas_sorted(file);
    file.resize(std::min(file.size(), file.rfind('.')));
    // A cloud drive's second copy: "counting-lab-Ada-2026-12-09 (1)".
    if (const std::size_t open = file.rfind(" (");
        open != std::string::npos && file.back() == ')' && open + 3 < file.size() &&
        all_digits(std::string_view{file}.substr(open + 2, file.size() - open - 3))) {
        file.resize(open);
    }
    const std::string page = "counting-lab-";
    if (file.rfind(page, 0) == 0) {
        file = file.substr(page.size());
    }
    const std::string student = words_of(file);
    return student == "measurements" || student.empty() ? sorted : student;
}

namespace {

// The sheet as it is made: its columns, by key, as first written, and its
// rows, each a cell under some of them.
class Sheet_made {
  public:
    // A file's records; `student` (whose the file is by its folder or file
    // name) for each row where it has no such column or leaves its cell
    // empty.
    void add(const std::vector<Sheet_record>& records, const std::string& student) {
        std::vector<std::size_t> at(records[0].cells.size());  // the sheet's column of each of the file's
        std::transform(records[0].cells.begin(), records[0].cells.end(), at.begin(),
                       [this](const std::string& name) { return column_of(name); });
        const bool has_student = std::find(at.begin(), at.end(), 0U) != at.end();
        for (std::size_t r = 1; r < records.size(); ++r) {
            std::vector<std::pair<std::size_t, std::string>> row;
            if (!has_student) {
                row.emplace_back(0, student);
            }
            for (std::size_t c = 0; c < at.size() && c < records[r].cells.size(); ++c) {
                const bool unnamed = at[c] == 0 && trimmed(records[r].cells[c]).empty() && !student.empty();
                row.emplace_back(at[c], unnamed ? student : records[r].cells[c]);
                filled_ += unnamed ? 1 : 0;
                if (at[c] == 0 && !unnamed) {
                    typed_.insert(std::string{trimmed(records[r].cells[c])});
                }
            }
            if (const std::optional<std::string> measurement = measurement_of(row);
                measurement && !measurements_.insert(*measurement).second) {
                ++again_;
                continue;
            }
            note_student(row);
            rows_.push_back(std::move(row));
        }
    }

    // Every student with a row, in the order of their first.
    [[nodiscard]] const std::vector<std::string>& students() const { return students_; }

    // Rows left out as a row of another file: a student's download and the
    // code shown of the same table, say.
    [[nodiscard]] int again() const { return again_; }
    // Rows whose empty student cell took the file's student.
    [[nodiscard]] int filled() const { return filled_; }
    // The names typed in the student column of the files added since the
    // last call, which it empties.
    [[nodiscard]] std::set<std::string> typed() { return std::exchange(typed_, {}); }

    [[nodiscard]] std::string text() const {
        std::string sheet = line(names_);
        for (const auto& row : rows_) {
            std::vector<std::string> cells(keys_.size());
            for (const auto& [at, cell] : row) {
                cells[at] = cell;
            }
            sheet += line(cells);
        }
        return sheet;
    }

  private:
    std::vector<std::string> keys_{"student"};
    std::vector<std::string> names_{"student"};
    std::vector<std::vector<std::pair<std::size_t, std::string>>> rows_;
    std::set<std::string> measurements_;
    std::set<std::string> typed_;
    std::vector<std::string> students_;
    std::set<std::string> seen_;
    int again_ = 0;
    int filled_ = 0;

    // What makes a row one recording: its student, setting, t and N, and the
    // second that seeded its count, which no two recordings of one student
    // share. A row without a readable time has none: two such rows may be
    // two recordings that gave the same count.
    [[nodiscard]] std::optional<std::string> measurement_of(
        const std::vector<std::pair<std::size_t, std::string>>& row) const {
        const auto cell = [&](std::string_view key) -> std::string {
            for (const auto& [at, text] : row) {
                if (keys_[at] == key) {
                    return std::string{trimmed(text)};
                }
            }
            return "";
        };
        const std::optional<std::int64_t> second = utc_second(cell("time_utc"));
        if (!second) {
            return std::nullopt;
        }
        std::string measurement;
        for (const std::string_view key : {"student", "source", "distance_cm", "t_s", "n"}) {
            measurement += cell(key);
            measurement += '\x1f';
        }
        measurement += std::to_string(*second);
        return measurement;
    }

    std::size_t column_of(const std::string& name) {
        const std::string key = column_key(name);
        const auto found = std::find(keys_.begin(), keys_.end(), key);
        if (found != keys_.end()) {
            return static_cast<std::size_t>(found - keys_.begin());
        }
        keys_.push_back(key);
        names_.push_back(name);
        return keys_.size() - 1;
    }

    void note_student(const std::vector<std::pair<std::size_t, std::string>>& row) {
        for (const auto& [column, cell] : row) {
            if (column == 0 && !trimmed(cell).empty() && seen_.insert(std::string{trimmed(cell)}).second) {
                students_.emplace_back(trimmed(cell));
            }
        }
    }

    static std::string line(const std::vector<std::string>& cells) {
        std::string written;
        for (std::size_t i = 0; i < cells.size(); ++i) {
            if (i > 0) {
                written += ',';
            }
            written += csv_cell(cells[i]);
        }
        return written + "\n";
    }
};

bool has_student_column(const Sheet_record& header) {
    return std::any_of(header.cells.begin(), header.cells.end(),
                       [](const std::string& name) { return column_key(name) == "student"; });
}

// A name typed in a file of a student's folder that is not the folder's
// (two spellings of one student, or a file in the wrong folder): "typed
// (folder: student)" into `differing`.
void note_differing(const Handed_file& file, const std::string& student, const std::set<std::string>& typed,
                    std::set<std::string>& differing) {
    if (file.name.find_first_of("/\\") == std::string::npos || student.empty()) {
        return;
    }
    for (const std::string& name : typed) {
        if (letters_of(name) != letters_of(student)) {
            std::string pair = name;
            pair += " (folder: ";
            pair += student;
            pair += ")";
            differing.insert(std::move(pair));
        }
    }
}

// What making one sheet of the files says: how many were read, and whose
// rows were named how.
struct Handed_count {
    int read = 0;
    int twice = 0;
    int again = 0;
    int named = 0;
    int filled = 0;
    std::set<std::string> differing;
    std::vector<std::string> students;
};

std::vector<std::string> handed_words(const Handed_count& count) {
    std::vector<std::string> said;
    said.push_back("Files: " + thousands(count.read) + " read" +
                   (count.twice > 0 ? ", " + thousands(count.twice) + " handed in again and read once" : "") + ".");
    if (count.again > 0) {
        said.push_back(capitalised(plural(count.again, "row")) + (count.again == 1 ? " was" : " were") +
                       " handed in in another file too (the same student, setting, count and second) and read once.");
    }
    if (count.named > 0) {
        said.push_back("The student of " + plural(count.named, "file") + " without a student column taken from " +
                       (count.named == 1 ? "its" : "their") + " folder or file name.");
    }
    if (count.filled > 0) {
        said.push_back("The student of " + plural(count.filled, "row") + " with an empty student cell taken from " +
                       (count.filled == 1 ? "its" : "their") + " folder or file name.");
    }
    if (!count.differing.empty()) {
        std::string list;
        for (const std::string& pair : count.differing) {
            list += list.empty() ? "" : "; ";
            list += pair;
        }
        said.push_back("Names typed that differ from the student's folder: " + list + ".");
    }
    if (!count.students.empty()) {
        std::string list;
        for (const std::string& student : count.students) {
            list += (list.empty() ? "" : ", ") + student;
        }
        said.push_back("Students with rows: " + thousands(static_cast<int>(count.students.size())) + " (" + list +
                       ").");
    }
    return said;
}

}  // namespace

Class_sheet class_sheet(const std::vector<Handed_file>& files) {
    // Each file read into the page's form; where one's dates could be day
    // or month first and nothing in it says which, the order the class's
    // other files agree on.
    std::vector<Sheet_read> reads;
    std::set<Date_order> orders;
    for (const Handed_file& file : files) {
        reads.push_back(read_sheet(file.text, {date_in_name(file.name), std::nullopt}));
        if (reads.back().dates && reads.back().dates != Date_order::year_first) {
            orders.insert(*reads.back().dates);
        }
    }
    Sheets_read sheets;
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (reads[i].undecided > 0 && orders.size() == 1) {
            reads[i] = read_sheet(files[i].text, {date_in_name(files[i].name), *orders.begin()});
        }
    }
    Sheet_made made;
    std::set<std::string> texts;
    Handed_count count;
    for (std::size_t i = 0; i < files.size(); ++i) {
        const Handed_file& file = files[i];
        if (!texts.insert(file.text).second) {
            ++count.twice;
            continue;
        }
        sheets.add(reads[i]);
        const std::vector<Sheet_record>& records = reads[i].records;
        if (records.empty()) {
            continue;
        }
        const std::string student = student_of_file(file.name);
        count.named += has_student_column(records[0]) || student.empty() ? 0 : 1;
        made.add(records, student);
        note_differing(file, student, made.typed(), count.differing);
    }
    count.read = static_cast<int>(texts.size());
    count.again = made.again();
    count.filled = made.filled();
    count.students = made.students();
    std::vector<std::string> said = handed_words(count);
    const std::vector<std::string> read_as = read_words(sheets);
    said.insert(said.end(), read_as.begin(), read_as.end());
    return {made.text(), said};
}

}  // namespace counting_lab::grading
