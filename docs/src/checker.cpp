// The guide's checker of a student's count, compiled to WebAssembly for the
// guide's HTML edition: the page hands over what was typed into its four
// fields and shows the answer.
#include <string>

#include "count_check.hpp"

extern "C" const char* checker_answer(const char* source, const char* distance, const char* time, const char* count) {
    static std::string answer;
    answer = counting_lab::guide::check_count(source, distance, time, count);
    return answer.c_str();
}
