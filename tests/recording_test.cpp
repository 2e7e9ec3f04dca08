#include "simulation/recording.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <random>
#include <sstream>
#include <vector>

namespace {

using namespace counting_lab;
using namespace std::chrono_literals;
using std::chrono::floor;
using std::chrono::seconds;
using std::chrono::steady_clock;
using std::chrono::system_clock;

// A clock that moves only when the code under test pauses; both clocks then
// advance together unless a test says otherwise.
struct Fake_clock final : Lab_clock {
    system_clock::time_point calendar_now;
    steady_clock::time_point monotonic_now{};
    int pauses = 0;
    std::function<void()> on_pause = [] {};
    // Calendar time gained per second of real time, less one.
    double calendar_drift = 0;

    explicit Fake_clock(system_clock::duration calendar_start) : calendar_now(calendar_start) {}

    system_clock::time_point calendar() override { return calendar_now; }
    steady_clock::time_point monotonic() override { return monotonic_now; }
    void pause_until(steady_clock::time_point until) override {
        ++pauses;
        on_pause();
        if (until > monotonic_now) {
            const auto step = until - monotonic_now;
            monotonic_now = until;
            calendar_now += std::chrono::duration_cast<system_clock::duration>(step * (1 + calendar_drift));
        }
    }
    // The end of the wait, as the wait announced it.
    std::vector<system_clock::time_point> told;
    void waiting_until(system_clock::time_point end) override { told.push_back(end); }
    long long calendar_seconds() const { return floor<seconds>(calendar_now.time_since_epoch()).count(); }
};

// Draws that a test writes out; running past the script fails the test.
Draw scripted(std::vector<int> values, int& used) {
    used = 0;
    return [values = std::move(values), &used]() {
        if (used >= static_cast<int>(values.size())) {
            ADD_FAILURE() << "drew more than the script's " << values.size() << " values";
            return 32767;
        }
        return values[static_cast<std::size_t>(used++)];
    };
}

TEST(Wait, ReturnsAfterTheNextWholeNumberOfTicks) {
    struct Case {
        double x_s;
        system_clock::duration start;
        long long ticks;
    };
    for (const Case c : {Case{10, 1'000'000'000s + 300ms, 10}, Case{10, 1'000'000'000s, 10},
                         Case{10.5, 1'000'000'000s + 999ms, 11}, Case{10.5, 1'000'000'000s, 11},
                         Case{10.4, 1'000'000'000s + 300ms, 11}, Case{100, 1'000'000'000s + 1ms, 100}}) {
        Fake_clock clock(c.start);
        const long long start_s = clock.calendar_seconds();
        wait(c.x_s, clock);
        EXPECT_EQ(clock.calendar_seconds() - start_s, c.ticks) << "x = " << c.x_s;
        // The second under way at the call counts as one of the ticks.
        const auto under_way = c.start - floor<seconds>(c.start);
        EXPECT_EQ(clock.monotonic_now - steady_clock::time_point{}, seconds(c.ticks) - under_way) << "x = " << c.x_s;
        EXPECT_EQ(clock.pauses, 1) << "a wait sleeps once; it does not poll";
        // It says when it will end, before it pauses, and ends then.
        const auto end = wait_end(c.x_s, system_clock::time_point(c.start));
        EXPECT_EQ(clock.told, std::vector<system_clock::time_point>{end}) << "x = " << c.x_s;
        EXPECT_EQ(end, clock.calendar_now) << "x = " << c.x_s;
    }
}

TEST(Wait, NothingToWaitFor) {
    for (const double x : {0.0, -5.0, std::nan("")}) {
        Fake_clock clock(1'000'000'000s);
        wait(x, clock);
        EXPECT_EQ(clock.pauses, 0) << "x = " << x;
        EXPECT_EQ(wait_end(x, clock.calendar_now), clock.calendar_now) << "x = " << x;
    }
}

TEST(Wait, CalendarSetBackDoesNotProlongIt) {
    Fake_clock clock(1'000'000'000s + 300ms);
    clock.on_pause = [&clock] {
        if (clock.pauses == 1) {
            clock.calendar_now -= 1h;
        }
    };
    wait(10, clock);
    EXPECT_LE(clock.monotonic_now - steady_clock::time_point{}, 10s);
}

TEST(Wait, WaitsForTheTickWhenTheCalendarRunsSlow) {
    Fake_clock clock(1'000'000'000s + 300ms);
    clock.calendar_drift = -200e-6;  // 2 ms behind after 10 s
    wait(10, clock);
    EXPECT_EQ(clock.calendar_seconds(), 1'000'000'010);
    EXPECT_LE(clock.monotonic_now - steady_clock::time_point{}, 10s);
}

TEST(CountEvents, FullDrawPutsTheFirstEventAtZeroAndStepsByTheDeadTime) {
    int used = 0;
    // U = 1: first event at T = 0, counted. Then steps of exactly the dead
    // time, until U = 1/32767 (a step of 10.4 s at rate 1) passes t.
    EXPECT_EQ(count_events(10, 1.0, tau, scripted({32767, 1}, used)), 1);
    EXPECT_EQ(used, 2);
    EXPECT_EQ(count_events(10, 1.0, tau, scripted({32767, 32767, 32767, 1}, used)), 3);
    EXPECT_EQ(used, 4);
    // Worked out on paper: every draw 32767 puts events at 0, 0.5, ... 9.5 s,
    // all exact in binary; 10 s itself is not before t, and the dead time
    // bound (21) is not reached. Any other divisor than 32767 moves the
    // first event past t at this rate.
    const auto full = [&used] { return ++used, 32767; };
    used = 0;
    EXPECT_EQ(count_events(10, 1e-6, 0.5, full), 20);
    EXPECT_EQ(used, 21);
}

TEST(CountEvents, ZeroDrawsAreDrawnAgain) {
    int used = 0;
    EXPECT_EQ(count_events(10, 1.0, tau, scripted({0, 32767, 0, 0, 32767, 1}, used)), 2);
    EXPECT_EQ(used, 6);
}

TEST(CountEvents, NoRateNoCountsNoDraws) {
    for (const double rate : {0.0, -1.0, std::nan("")}) {
        int used = 0;
        EXPECT_EQ(count_events(100, rate, tau, scripted({}, used)), 0) << "rate " << rate;
    }
}

TEST(CountEvents, DeadTimeBoundsTheCount) {
    // Whatever the rate, counts are at least the dead time apart; at a huge
    // rate, or with every draw 32767, they come as densely as that allows:
    // one at 0 and one per dead time after it, ceil(t / tau) before t. Where
    // t is a whole multiple of the dead time, rounding decides whether the
    // last one still falls before t.
    for (const double t_s : {10.0, 6.0, 60.0, 99.99, 100.0}) {
        const double steps = t_s / tau;
        const bool multiple = std::abs(steps - std::round(steps)) < 1e-9;
        int used = 0;
        const int dense = count_events(t_s, 1e12, tau, seeded_draw(7));
        const int full = count_events(t_s, 1.0, tau, [&used] { return ++used, 32767; });
        for (const int N : {dense, full}) {
            if (multiple) {
                EXPECT_GE(N, std::round(steps)) << "t = " << t_s;
            } else {
                EXPECT_EQ(N, std::ceil(steps)) << "t = " << t_s;
            }
        }
        EXPECT_EQ(used, full + 1);
    }
}

TEST(CountEvents, PropertiesOverRandomTimesAndRates) {
    // From no rate at all through the lab's rates to rates far beyond them.
    std::mt19937 pick(2026);
    std::uniform_real_distribution<double> time_s(10, 100);
    std::uniform_real_distribution<double> rate_decade(-3, 6);
    for (std::uint32_t seed = 0; seed < 20'000; ++seed) {
        const double t_s = time_s(pick);
        const double rate = seed % 10 == 0 ? 0.0 : std::pow(10.0, rate_decade(pick));
        Draw real = seeded_draw(seed);
        std::vector<int> kept;  // the draws other than the discarded zeros
        const int N = count_events(t_s, rate, tau, [&] {
            const int r = real();
            if (r != 0) {
                kept.push_back(r);
            }
            return r;
        });
        ASSERT_GE(N, 0) << "t = " << t_s << ", rate = " << rate;
        ASSERT_EQ(kept.size(), rate > 0 ? N + 1U : 0U) << "t = " << t_s << ", rate = " << rate;
        if (rate > 0) {
            // The count ends at the first event that is not before t, the one
            // after the N-th, whose time the kept draws give.
            double T = -std::log(kept[0] / 32767.0) / rate;
            for (int i = 1; i <= N; ++i) {
                ASSERT_LT(T, t_s) << "event " << i << ", t = " << t_s << ", rate = " << rate;
                T += tau - std::log(kept[static_cast<std::size_t>(i)] / 32767.0) / rate;
            }
            ASSERT_GE(T, t_s) << "t = " << t_s << ", rate = " << rate;
        }
    }
}

TEST(SeededDraw, SameSeedSameDrawsInRange) {
    Draw a = seeded_draw(1'234'567);
    Draw b = seeded_draw(1'234'567);
    int highest = 0;
    for (int i = 0; i < 10'000; ++i) {
        const int r = a();
        ASSERT_EQ(r, b());
        ASSERT_GE(r, 0);
        highest = std::max(highest, r);
    }
    EXPECT_LE(highest, 32767);
    EXPECT_GT(highest, 32000);
    // The generator is std::mt19937, whose 10000th output the standard fixes.
    Draw standard = seeded_draw(5489);
    for (int i = 1; i < 10'000; ++i) {
        standard();
    }
    EXPECT_EQ(standard(), static_cast<int>(4'123'659'995U >> 17));
}

// Keeps what was flushed, to tell what the student could already see.
struct Flushed_text : std::stringbuf {
    std::string flushed;
    int sync() override {
        flushed = str();
        return 0;
    }
};

TEST(Counter, AnnouncesWaitsThenCountsWithTheSeedOfTheLastTick) {
    Flushed_text text;
    std::ostream out(&text);
    Fake_clock clock(1'700'000'000s + 600ms);
    std::string seen_during_wait;
    clock.on_pause = [&] { seen_during_wait = text.flushed; };

    const int N = counter(20, 5.15, tau, out, clock);

    EXPECT_EQ(seen_during_wait, "Recording in progress ...\n");
    EXPECT_EQ(text.str(), "Recording in progress ...\n");
    EXPECT_EQ(clock.calendar_seconds(), 1'700'000'020);
    EXPECT_EQ(N, count_events(20, 5.15, tau, seeded_draw(1'700'000'020U)));

    // A second recording whose wait ends in the same calendar second.
    Fake_clock again(1'700'000'000s + 100ms);
    EXPECT_EQ(counter(20, 5.15, tau, out, again), N);
}

TEST(Counter, SeedIsTheLow32BitsOfTheSeconds) {
    std::ostringstream out;
    Fake_clock clock(seconds(0x1'0000'0005LL) - 10s);
    const Recorded recorded = record(10, 16.8, tau, out, clock);
    EXPECT_EQ(recorded.N, count_events(10, 16.8, tau, seeded_draw(5U)));
    // The second it reports gives the count again, as a teacher reproduces it.
    EXPECT_EQ(recorded.second, 0x1'0000'0005LL);
    EXPECT_EQ(count_of_second(10, 16.8, tau, recorded.second), recorded.N);
}

TEST(Counter, RateZeroCountsNothingAfterTheFullWait) {
    std::ostringstream out;
    Fake_clock clock(1'700'000'000s);
    EXPECT_EQ(counter(10, 0.0, tau, out, clock), 0);
    EXPECT_EQ(clock.calendar_seconds(), 1'700'000'010);
}

}  // namespace
