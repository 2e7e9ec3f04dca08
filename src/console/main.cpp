// counting-lab: the student's console. Wires the dialogue to the keyboard,
// the screen, the machine's clocks and the real recording.
#include <iostream>

#include "console/dialogue.hpp"
#include "console/terminal.hpp"
#include "simulation/recording.hpp"

int main() {
    using namespace counting_lab;
    Console console{std::cin, std::cout, stdout_screen_clearer(std::cout),
                    [](const Measurement& m) { return counter(m.t_s, m.rate_per_s, m.dead_time_s); }};
    main_menu(console);
    return 0;  // however the dialogue ended
}
