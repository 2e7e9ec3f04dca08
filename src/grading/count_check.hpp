// The check of one student's count: where the count stands against the
// exact distribution of its setting, and what it gives for the rates, in
// words a teacher reads. The guide prints its answers for two settings; its
// HTML edition runs the same code in WebAssembly.
#pragma once

#include <string>
#include <string_view>

namespace counting_lab::grading {

/// The checker's answer, in lines of plain text, for a student's count `count`
/// of a recording of `time` seconds from source `source` (1 to 5) or at the
/// distance `distance` cm (one of the two left empty), each as typed into the
/// guide's form. Input the program would refuse is answered in words.
std::string check_count(std::string_view source, std::string_view distance, std::string_view time,
                        std::string_view count);

}  // namespace counting_lab::grading
