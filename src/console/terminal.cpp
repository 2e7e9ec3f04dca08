#include "console/terminal.hpp"

#include <unistd.h>

namespace counting_lab {

bool stdout_is_terminal() { return isatty(STDOUT_FILENO) == 1; }

}  // namespace counting_lab
