#include "console/terminal.hpp"

#include <ostream>

#ifdef _WIN32
#include <io.h>
#include <stdio.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace counting_lab {

void write_clear_sequence(std::ostream& out) { out << "\x1b[H\x1b[2J" << std::flush; }

#ifdef _WIN32

#ifndef ENABLE_VIRTUAL_TERMINAL_PROCESSING
#define ENABLE_VIRTUAL_TERMINAL_PROCESSING 0x0004
#endif

namespace {

// For consoles older than Windows 10: blank every cell and put the cursor home.
void clear_through_console_api(HANDLE console) {
    CONSOLE_SCREEN_BUFFER_INFO screen;
    if (GetConsoleScreenBufferInfo(console, &screen) == 0) {
        return;
    }
    const DWORD cells = static_cast<DWORD>(screen.dwSize.X) * static_cast<DWORD>(screen.dwSize.Y);
    const COORD home{0, 0};
    DWORD written = 0;
    FillConsoleOutputCharacterA(console, ' ', cells, home, &written);
    FillConsoleOutputAttribute(console, screen.wAttributes, cells, home, &written);
    SetConsoleCursorPosition(console, home);
}

}  // namespace

std::function<void()> stdout_screen_clearer(std::ostream& out) {
    if (_isatty(_fileno(stdout)) == 0) {
        return {};
    }
    HANDLE console = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (GetConsoleMode(console, &mode) == 0) {
        return {};  // a character device that is not a console, such as NUL
    }
    if (SetConsoleMode(console, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0) {
        return [&out] { write_clear_sequence(out); };
    }
    return [&out, console] {
        out.flush();  // what was written before the clearing goes first
        clear_through_console_api(console);
    };
}

#else

std::function<void()> stdout_screen_clearer(std::ostream& out) {
    if (isatty(STDOUT_FILENO) != 1) {
        return {};
    }
    return [&out] { write_clear_sequence(out); };
}

#endif

}  // namespace counting_lab
