// The teacher's guide's checker: the checks of a student's count and of a
// class's sheet, and Worksheet 2's key, compiled to WebAssembly for the
// guide's HTML edition. The page hands over what was typed, or the sheet,
// in memory it allocated, and takes each answer as a string that this side
// allocated and the page frees.
#include <cstdlib>
#include <cstring>
#include <string>

#include "grading/class_check.hpp"
#include "grading/count_check.hpp"
#include "grading/handed_in.hpp"
#include "grading/render.hpp"
#include "simulation/lab.hpp"

namespace {

char* handed_over(const std::string& text) {
    auto* copy =
        static_cast<char*>(std::malloc(text.size() + 1));  // NOLINT(cppcoreguidelines-no-malloc): the page frees it
    if (copy != nullptr) {
        std::memcpy(copy, text.c_str(), text.size() + 1);
    }
    return copy;
}

// A JSON string: the text with its quotes, backslashes and control
// characters escaped.
std::string json_string(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            constexpr const char* hex = "0123456789abcdef";
            out += "\\u00";
            out += hex[(c >> 4) & 0xf];
            out += hex[c & 0xf];
        } else {
            out += c;
        }
    }
    return out + "\"";
}

}  // namespace

// The check of one count: its answer in lines of text.
extern "C" char* check_count(const char* source, const char* distance, const char* time, const char* count) {
    return handed_over(counting_lab::grading::check_count(source, distance, time, count));
}

// The check of a class's sheet, as JSON: {"summary": words, "table": HTML,
// "figures": HTML, "csv": CSV}; the table, the figures and the CSV are empty
// where the sheet as a whole could not be read.
extern "C" char* check_class(const char* sheet) {
    using namespace counting_lab::grading;
    const Class_check check = counting_lab::grading::check_class(sheet);
    const bool read = check.problem.empty();
    return handed_over("{\"summary\":" + json_string(class_summary_words(check)) + ",\"table\":" +
                       json_string(class_table_html(check)) + ",\"figures\":" + json_string(class_figures_html(check)) +
                       ",\"csv\":" + json_string(read ? class_csv(check) : "") + "}");
}

// Many files as one sheet: `framed` holds each file as its name, a line
// break, its length in bytes, a line break and its text. JSON
// {sheet, said}; a frame that does not hold together ends the files.
extern "C" char* class_sheet(const char* framed) {
    using namespace counting_lab::grading;
    std::vector<Handed_file> files;
    const std::string all(framed);
    for (std::size_t at = 0; at < all.size();) {
        const std::size_t name_end = all.find('\n', at);
        const std::size_t length_end = name_end == std::string::npos ? name_end : all.find('\n', name_end + 1);
        if (length_end == std::string::npos) {
            break;
        }
        const std::string length = all.substr(name_end + 1, length_end - name_end - 1);
        char* end = nullptr;
        const unsigned long long bytes = std::strtoull(length.c_str(), &end, 10);
        if (length.empty() || *end != '\0' || bytes > all.size() - length_end - 1) {
            break;
        }
        files.push_back({all.substr(at, name_end - at), all.substr(length_end + 1, bytes)});
        at = length_end + 1 + bytes;
    }
    const Class_sheet merged = counting_lab::grading::class_sheet(files);
    std::string said;
    for (const std::string& line : merged.said) {
        said += line + "\n";
    }
    return handed_over("{\"sheet\":" + json_string(merged.sheet) + ",\"said\":" + json_string(said) + "}");
}

// Worksheet 2's key for the counting time typed, as HTML.
extern "C" char* worksheet_2_key(const char* t) { return handed_over(counting_lab::grading::worksheet_2_key_html(t)); }

// The student whose file this is, by its folder or file name, as a sheet
// without a student column is read: for the files the guide does not read.
extern "C" char* student_of_file(const char* name) { return handed_over(counting_lab::grading::student_of_file(name)); }

// The lab's setup, as JSON, for what the guide reads without the program's
// checks (the hand-in codes): {"sources": 5, "counting_time_s": [10, 100],
// "distance_cm": [0.5, 5], "tau": 0.06}.
extern "C" char* lab_setup() {
    using namespace counting_lab;
    const auto range = [](Accepted_range r) {
        return "[" + std::to_string(r.low) + "," + std::to_string(r.high) + "]";
    };
    return handed_over("{\"sources\":" + std::to_string(sources.size()) +
                       ",\"counting_time_s\":" + range(counting_time_s) + ",\"distance_cm\":" + range(distance_cm) +
                       ",\"tau\":" + std::to_string(tau) + "}");
}
