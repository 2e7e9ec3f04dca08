// One recording of the counter: announce it, hold for the counting time in
// real time, then produce the number of counts that a counter with a fixed
// dead time registers in that time.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <iosfwd>

namespace counting_lab {

/// Dead time of the counter, in seconds: after each registered count the next
/// event of the source cannot be registered for this long.
inline constexpr double tau = 0.06;

/// The clocks and the pause that a recording needs. Tests replace it, and so
/// does the browser page, whose pause hands the page back to the browser.
struct Lab_clock {
    virtual ~Lab_clock() = default;
    /// The calendar clock (the one whose whole seconds seed the generator).
    virtual std::chrono::system_clock::time_point calendar() = 0;
    /// A clock that is never set back or forward.
    virtual std::chrono::steady_clock::time_point monotonic() = 0;
    /// Blocks the caller until `monotonic()` has reached `until`.
    virtual void pause_until(std::chrono::steady_clock::time_point until) = 0;
    /// Told, as a wait begins, the calendar instant at which it will end
    /// (see `wait_end`); the browser page counts the time left down to it.
    virtual void waiting_until(std::chrono::system_clock::time_point /*end*/) {}
};

/// The machine's own clocks; the pause sleeps the thread.
Lab_clock& system_lab_clock();

/// When a wait of `x` seconds that starts at the calendar instant `start`
/// ends: at the ceil(x)-th tick of the calendar clock's whole seconds after
/// `start`, between ceil(x) - 1 and ceil(x) seconds later. The same domain
/// as `wait`: `start` itself for x <= 0 or NaN, 1e9 ticks for a longer x.
std::chrono::system_clock::time_point wait_end(double x, std::chrono::system_clock::time_point start);

/// Blocks until the calendar clock has advanced ceil(x) whole seconds since
/// the call, to `wait_end(x, now)`: between ceil(x) - 1 and ceil(x) seconds of real time. It sleeps;
/// a calendar clock set back meanwhile does not make it last longer.
/// Domain: x in (0, 1e9]. Returns at once for x <= 0 or NaN; a longer x,
/// infinity too, waits 1e9 seconds.
void wait(double x, Lab_clock& clock);
void wait(double x);

/// A uniform integer from 0 to 32767 inclusive.
using Draw = std::function<int()>;

/// The generator of a recording: `std::mt19937` seeded with `seed`, each draw
/// taking the top 15 bits of an output, so a seed gives the same sequence on
/// every platform.
Draw seeded_draw(std::uint32_t seed);

/// The most counts that any recording may return: a bound that the dead
/// time sets on a real counter, and a limit on the work of one count where
/// the dead time sets none.
inline constexpr int count_ceiling = 1'000'000;

/// The highest count of a recording of `t` seconds through a counter of dead
/// time `dead_time` seconds: each count is followed by the dead time, so
/// floor(t / dead_time) + 1. Domain: t >= 0 and dead_time > 0. Gives 0 for
/// t <= 0 or NaN (no event falls before the start); otherwise
/// `count_ceiling` where that formula exceeds it, and for a dead time that is
/// not above 0 (0, negative, minus infinity or NaN).
int highest_count(double t, double dead_time);

/// Number of events strictly before time `t` (seconds) from a source of mean
/// `rate` events per second, when every registered event is followed by
/// `dead_time` seconds in which nothing is registered. Draws one value for the
/// first event and one per registered count; a draw of 0 is discarded and
/// drawn again. A rate of 0, below 0 or NaN gives 0 without drawing.
/// Domain: t >= 0, dead_time > 0. The result never exceeds
/// highest_count(t, dead_time), which also ends the count for an infinite t
/// or a dead time that is not above 0.
int count_events(double t, double rate, double dead_time, const Draw& draw);

/// The count of a recording of `t` seconds whose wait ended in the calendar
/// clock's whole second `second` (seconds since 1970): the generator seeded
/// with its low 32 bits, as `counter` seeds it. The same second, setting and
/// time give the same count again.
int count_of_second(double t, double rate, double dead_time, std::int64_t second);

/// A recording's count, and the calendar second that seeded its draws.
struct Recorded {
    int N;
    std::int64_t second;
};

/// One recording: prints the line "Recording in progress ..." to `out`, waits
/// `t` seconds, and counts with the generator seeded by the calendar clock's
/// whole seconds read after the wait: `count_of_second` of that second.
Recorded record(double t, double rate, double dead_time, std::ostream& out, Lab_clock& clock);
/// The same, the count alone.
int counter(double t, double rate, double dead_time, std::ostream& out, Lab_clock& clock);
/// The same on the console and the machine's clocks.
int counter(double t, double rate, double dead_time);

}  // namespace counting_lab
