// What the program needs to know of the machine's console.
#pragma once

namespace counting_lab {

/// Whether standard output is a terminal, rather than a pipe or a file.
bool stdout_is_terminal();

}  // namespace counting_lab
