// Arbitrary bytes as the keyboard of the whole dialogue, from the main menu
// on, with an instant stand-in for the recording. Whatever is typed, the
// dialogue must end (at the end of the input at the latest),
// print only printable ASCII and line breaks, and start recordings only with
// a counting time, count rate and dead time the lab allows.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "console/dialogue.hpp"
#include "simulation/lab.hpp"

namespace {

void require(bool holds, const char* what) {
    if (!holds) {
        (void)std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

int stand_in(const counting_lab::Measurement& m) {
    const double t = m.t_s;
    const double rate = m.rate_per_s;
    const double dead_time = m.dead_time_s;
    require(m.exercise == 1 ? m.source >= 1 && m.source <= 5 && m.distance_cm == 0
                            : m.exercise == 2 && m.source == 0 && counting_lab::distance_cm.contains(m.distance_cm),
            "an exercise's own setting");
    require(rate == counting_lab::setting_rate(m.source, m.distance_cm), "the setting's count rate");
    // The highest rate an exercise can hand over: the distance exercise at
    // its nearest; the sources give less.
    static const double highest_rate_per_s = counting_lab::distance_rate(counting_lab::distance_cm.low);
    require(counting_lab::counting_time_s.contains(t), "a counting time the lab accepts");
    require(std::isfinite(rate) && rate >= 0 && rate <= highest_rate_per_s, "a count rate the lab can give");
    require(dead_time == counting_lab::tau, "the lab's dead time");
    return 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    std::ostringstream out;
    counting_lab::Console console{in, out, {}, stand_in};
    counting_lab::main_menu(console);
    for (const char c : out.str()) {
        require(c == '\n' || (c >= ' ' && c <= '~'), "printable output");
    }
    return 0;
}
