// The guide's checkers of a student's count and of a class's sheet,
// compiled to WebAssembly for the guide's HTML edition: the page hands over
// what was typed into the four fields, or the sheet, and shows the answer.
#include <string>
#include <string_view>

#include "answer_key.hpp"
#include "class_check.hpp"
#include "count_check.hpp"

extern "C" const char* checker_answer(const char* source, const char* distance, const char* time, const char* count) {
    static std::string answer;
    answer = counting_lab::guide::check_count(source, distance, time, count);
    return answer.c_str();
}

// The check of a class's sheet, which the page hands over in memory it
// allocated (a sheet may be larger than the stack that a string argument
// would be copied onto); then its parts: "table", "summary", "figures" or
// "csv".
namespace {
counting_lab::guide::Class_check class_checked;
}

extern "C" void class_check_sheet(const char* sheet) { class_checked = counting_lab::guide::check_class(sheet); }

extern "C" const char* class_part(const char* part) {
    static std::string answer;
    const counting_lab::guide::Class_check& check = class_checked;
    const std::string_view wanted = part;
    answer = wanted == "table"     ? counting_lab::guide::class_table_html(check)
             : wanted == "summary" ? (check.problem.empty() ? check.summary : check.problem)
             : wanted == "figures" ? counting_lab::guide::class_figures_html(check)
                                   : counting_lab::guide::class_csv(check);
    return answer.c_str();
}

// Worksheet 2's answer key for the counting time typed.
extern "C" const char* key_answer(const char* t) {
    static std::string answer;
    answer = counting_lab::guide::worksheet_2_key_html(t);
    return answer.c_str();
}
