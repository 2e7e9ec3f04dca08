// The one place that knows the machine's console: whether standard output is
// a terminal, and how to clear it.
#pragma once

#include <functional>
#include <iosfwd>

namespace counting_lab {

/// Writes ESC [ H ESC [ 2 J (cursor home, erase the screen) and flushes.
void write_clear_sequence(std::ostream& out);

/// What clears the screen that standard output, written through `out`, is
/// shown on. Empty when standard output is not a terminal (a pipe or a file):
/// then nothing is cleared and transcripts stay clean. On a Windows console
/// that cannot take escape sequences, clears it through the console API.
std::function<void()> stdout_screen_clearer(std::ostream& out);

}  // namespace counting_lab
