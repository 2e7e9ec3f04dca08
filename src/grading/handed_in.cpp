#include "grading/handed_in.hpp"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <set>
#include <string_view>

#include "grading/render.hpp"
#include "grading/sheet.hpp"
#include "grading/wording.hpp"

namespace counting_lab::grading {

namespace {

bool is_date_part(const std::string& word) {
    return !word.empty() && std::all_of(word.begin(), word.end(), [](char c) { return c >= '0' && c <= '9'; });
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
        if (!word.empty() && !is_date_part(word)) {
            if (!joined.empty()) {
                joined += ' ';
            }
            joined += word;
        }
        word.clear();
    }
    return joined;
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
    file.resize(std::min(file.size(), file.rfind('.')));
    const std::string page = "counting-lab-";
    if (file.rfind(page, 0) == 0) {
        file = file.substr(page.size());
    }
    const std::string student = words_of(file);
    return student == "measurements" ? "" : student;
}

namespace {

// The sheet as it is made: its columns, by key, as first written, and its
// rows, each a cell under some of them.
class Sheet_made {
  public:
    // A file's records; `student` for each row where it has no such column.
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
                row.emplace_back(at[c], records[r].cells[c]);
            }
            if (const std::optional<std::string> measurement = measurement_of(row);
                measurement && !measurements_.insert(*measurement).second) {
                ++again_;
                continue;
            }
            rows_.push_back(std::move(row));
        }
    }

    // Rows left out as a row of another file: a student's download and the
    // code shown of the same table, say.
    [[nodiscard]] int again() const { return again_; }

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
    int again_ = 0;

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

}  // namespace

Class_sheet class_sheet(const std::vector<Handed_file>& files) {
    Sheet_made made;
    std::set<std::string> texts;
    int twice = 0;
    int named = 0;
    for (const Handed_file& file : files) {
        if (!texts.insert(file.text).second) {
            ++twice;
            continue;
        }
        const std::vector<Sheet_record> records = sheet_records(file.text);
        if (records.empty()) {
            continue;
        }
        const std::string student = has_student_column(records[0]) ? "" : student_of_file(file.name);
        named += student.empty() ? 0 : 1;
        made.add(records, student);
    }
    Class_sheet out{made.text(), {}};
    out.said.push_back("Files: " + thousands(static_cast<int>(texts.size())) + " read" +
                       (twice > 0 ? ", " + thousands(twice) + " handed in again and read once" : "") + ".");
    if (made.again() > 0) {
        out.said.push_back(capitalised(plural(made.again(), "row")) + (made.again() == 1 ? " was" : " were") +
                           " handed in in another file too (the same student, setting, count and second) and read "
                           "once.");
    }
    if (named > 0) {
        out.said.push_back("The student of " + plural(named, "file") + " without a student column taken from " +
                           (named == 1 ? "its" : "their") + " folder or file name.");
    }
    return out;
}

}  // namespace counting_lab::grading
