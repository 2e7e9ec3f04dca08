#include "simulation/recording.hpp"

#include <algorithm>
#include <cmath>
#include <iostream>
#include <random>
#include <thread>

namespace counting_lab {

namespace {

using std::chrono::duration_cast;
using std::chrono::floor;
using std::chrono::seconds;
using std::chrono::steady_clock;
using std::chrono::system_clock;
using namespace std::chrono_literals;

struct System_lab_clock final : Lab_clock {
    system_clock::time_point calendar() override { return system_clock::now(); }
    steady_clock::time_point monotonic() override { return steady_clock::now(); }
    void pause_until(steady_clock::time_point until) override { std::this_thread::sleep_until(until); }
};

// Longer than any recording; keeps the deadline arithmetic far from overflow.
constexpr double longest_wait_s = 1e9;

// U in (0, 1]: a draw of 0 is drawn again, since ln 0 would put the next
// event at infinity.
double nonzero_uniform(const Draw& draw) {
    int r = draw();
    while (r == 0) {
        r = draw();
    }
    return r / 32767.0;
}

}  // namespace

Lab_clock& system_lab_clock() {
    static System_lab_clock clock;
    return clock;
}

system_clock::time_point wait_end(double x, system_clock::time_point start) {
    if (!(x > 0)) {
        return start;
    }
    const auto ticks = seconds(static_cast<seconds::rep>(std::ceil(std::min(x, longest_wait_s))));
    return floor<seconds>(start) + ticks;
}

void wait(double x, Lab_clock& clock) {
    if (!(x > 0)) {
        return;
    }
    const auto calendar_start = clock.calendar();
    const auto monotonic_start = clock.monotonic();
    const auto target = wait_end(x, calendar_start);
    clock.waiting_until(target);
    // Never longer than the whole ticks in real time, whatever the calendar
    // clock does meanwhile.
    const auto ticks = target - floor<seconds>(calendar_start);
    const auto latest = monotonic_start + duration_cast<steady_clock::duration>(ticks);
    clock.pause_until(monotonic_start + duration_cast<steady_clock::duration>(target - calendar_start));
    // The two clocks may drift apart, or the calendar be set back: if the tick
    // has not come yet, wait for it, a millisecond past it so as not to creep
    // up on it, but never past `ticks` of real time.
    for (;;) {
        const auto now = clock.monotonic();
        const auto early = target - clock.calendar();
        if (early <= system_clock::duration::zero() || now >= latest) {
            return;
        }
        clock.pause_until(std::min(latest, now + duration_cast<steady_clock::duration>(early) + 1ms));
    }
}

void wait(double x) { wait(x, system_lab_clock()); }

Draw seeded_draw(std::uint32_t seed) {
    return [generator = std::mt19937(seed)]() mutable { return static_cast<int>(generator() >> 17); };
}

int highest_count(double t, double dead_time) {
    if (!(t > 0)) {
        return 0;
    }
    if (!(dead_time > 0)) {
        return count_ceiling;
    }
    const double highest = std::floor(t / dead_time) + 1;
    return highest <= count_ceiling ? static_cast<int>(highest) : count_ceiling;
}

int count_events(double t, double rate, double dead_time, const Draw& draw) {
    if (!(rate > 0)) {
        return 0;
    }
    // Each waiting time is k ln U, with mean 1 / rate. A draw of U = 1 waits
    // no time at all, however low the rate (where k is -infinity, k ln 1
    // would be NaN).
    const double k = -1.0 / rate;
    const auto waiting_time = [k, &draw] {
        const double log_u = std::log(nonzero_uniform(draw));
        return log_u == 0 ? 0.0 : k * log_u;
    };
    const int highest = highest_count(t, dead_time);
    double T = waiting_time();
    int N = 0;
    while (T < t && N < highest) {
        ++N;
        T += dead_time + waiting_time();
    }
    return N;
}

int count_of_second(double t, double rate, double dead_time, std::int64_t second) {
    return count_events(t, rate, dead_time, seeded_draw(static_cast<std::uint32_t>(second)));
}

Recorded record(double t, double rate, double dead_time, std::ostream& out, Lab_clock& clock) {
    out << "Recording in progress ...\n" << std::flush;
    wait(t, clock);
    const std::int64_t second = floor<seconds>(clock.calendar().time_since_epoch()).count();
    return {count_of_second(t, rate, dead_time, second), second};
}

int counter(double t, double rate, double dead_time, std::ostream& out, Lab_clock& clock) {
    return record(t, rate, dead_time, out, clock).N;
}

int counter(double t, double rate, double dead_time) {
    return counter(t, rate, dead_time, std::cout, system_lab_clock());
}

}  // namespace counting_lab
