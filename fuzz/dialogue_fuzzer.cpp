// Arbitrary bytes as the keyboard of the whole dialogue, from the main menu
// on, with an instant stand-in for the recording. Whatever is typed, the
// dialogue must end (at the end of the input at the latest) with status 0,
// print only printable ASCII and line breaks, and start recordings only with
// a counting time, count rate and dead time the lab allows.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "console/dialogue.hpp"
#include "simulation/recording.hpp"

namespace {

void require(bool holds, const char* what) {
    if (!holds) {
        (void)std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

int stand_in(double t, double rate, double dead_time) {
    // The highest rate an exercise can hand over: the distance exercise at
    // its nearest, 0.5 cm; the sources give less.
    static const double highest_rate_per_s = counting_lab::distance_rate(0.5);
    require(t >= 10 && t <= 100, "counting time from 10 to 100 s");
    require(std::isfinite(rate) && rate >= 0 && rate <= highest_rate_per_s, "a count rate the lab can give");
    require(dead_time == counting_lab::tau, "the lab's dead time");
    return 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    std::ostringstream out;
    counting_lab::Console console{in, out, {}, stand_in};
    require(counting_lab::main_menu(console) == 0, "exit status 0");
    for (const char c : out.str()) {
        require(c == '\n' || (c >= ' ' && c <= '~'), "printable output");
    }
    return 0;
}
