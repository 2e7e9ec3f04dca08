// counting-lab in a browser page: wires the dialogue to the page's console,
// the browser's clocks and the real recording. Compiled to WebAssembly with
// Asyncify, so that waiting for a line or for the clock suspends the program
// and gives the page back to the browser.
#include <emscripten.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <istream>
#include <ostream>
#include <streambuf>
#include <string>

#include "console/dialogue.hpp"
#include "simulation/lab.hpp"
#include "simulation/recording.hpp"

namespace counting_lab {
namespace {

using std::chrono::steady_clock;

// The page's side, in page.js: `Module.io` is the console of this run.

// Resolves when the student has entered a line (or pressed Ctrl-D); returns
// its length in bytes, or -1 at the end of input.
EM_ASYNC_JS(int, wait_for_line, (), { return await Module.io.nextLine(); });
// Copies the line that wait_for_line announced, `length` bytes of UTF-8, to `to`.
EM_JS(void, take_line, (char* to, int length), { HEAPU8.set(Module.io.takeLine().subarray(0, length), to); });
EM_JS(void, show, (const char* text, int length), { Module.io.write(UTF8ToString(text, length)); });
// Empties the page's console, where a terminal would clear its screen.
EM_JS(void, clear_page, (), { Module.io.clear(); });
EM_JS(void, announce_end, (int status), { Module.io.ended(status); });
// Tells the page that a recording of `t` seconds starts: it holds the keys
// off and keeps the screen on until the count.
EM_JS(void, announce_recording, (double t), { Module.io.recordingStarted(t); });
// Tells the page when the recording's wait ends, in milliseconds of the
// calendar clock (Date.now()); it shows the time left until then.
EM_JS(void, announce_wait_end, (double end_ms), { Module.io.waitEnds(end_ms); });
// Tells the page what a student who types a comma for the point is told.
EM_JS(void, announce_comma_hint, (const char* text, int length), { Module.io.commaHint = UTF8ToString(text, length); });
// Tells the page that the recording has its count N, which the dialogue
// writes next, and what it was of: the exercise, the source (1-5, or 0) and
// its activity, or the distance, the counting time, and the calendar second
// that seeded it.
EM_JS(void, announce_count,
      (int N, int exercise, int source, double activity_bq, double distance_cm, double t_s, double second), {
          Module.io.recordingEnded({N, exercise, source, activity_bq, distance_cm, t_s, second});
      });

// The keyboard: one line at a time, as a terminal in line mode hands them over.
class Keyboard final : public std::streambuf {
  protected:
    int_type underflow() override {
        int length = 0;
        while (length == 0) {
            length = wait_for_line();
        }
        if (length < 0) {
            return traits_type::eof();
        }
        line_.resize(static_cast<std::size_t>(length));
        take_line(line_.data(), length);
        setg(line_.data(), line_.data(), line_.data() + line_.size());
        return traits_type::to_int_type(line_[0]);
    }

  private:
    std::string line_;
};

// The screen: what the dialogue writes goes to the page at each flush.
class Screen final : public std::streambuf {
  protected:
    int_type overflow(int_type c) override {
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            pending_ += traits_type::to_char_type(c);
        }
        return traits_type::not_eof(c);
    }
    std::streamsize xsputn(const char* text, std::streamsize count) override {
        pending_.append(text, static_cast<std::size_t>(count));
        return count;
    }
    int sync() override {
        if (!pending_.empty()) {
            show(pending_.data(), static_cast<int>(pending_.size()));
            pending_.clear();
        }
        return 0;
    }

  private:
    std::string pending_;
};

// The browser's clocks; the pause suspends the program on a timer.
struct Browser_clock final : Lab_clock {
    std::chrono::system_clock::time_point calendar() override { return std::chrono::system_clock::now(); }
    steady_clock::time_point monotonic() override { return steady_clock::now(); }
    void pause_until(steady_clock::time_point until) override {
        const auto ms = std::chrono::ceil<std::chrono::milliseconds>(until - steady_clock::now()).count();
        if (ms > 0) {
            emscripten_sleep(static_cast<unsigned>(ms));
        }
    }
    void waiting_until(std::chrono::system_clock::time_point end) override {
        announce_wait_end(
            static_cast<double>(std::chrono::floor<std::chrono::milliseconds>(end.time_since_epoch()).count()));
    }
};

}  // namespace
}  // namespace counting_lab

// The count that the program gives for a setting (source 1-5, or 0 and the
// distance) and counting time when the recording's wait ends in the calendar
// second `second`: a measurement's row reproduced, as a teacher checks it.
// -1 for a time or a second that no recording has (NaN, infinite, or a
// second beyond what a double holds exactly).
extern "C" EMSCRIPTEN_KEEPALIVE int reproduced_count(int source, double distance_cm, double t_s, double second) {
    using namespace counting_lab;
    constexpr double exact = 9'007'199'254'740'992.0;  // 2^53
    if (!counting_time_s.contains(t_s) || !(std::abs(second) < exact) || second != std::floor(second)) {
        return -1;
    }
    return count_of_second(t_s, setting_rate(source, distance_cm), tau, static_cast<std::int64_t>(second));
}

int main() {
    using namespace counting_lab;
    announce_comma_hint(comma_hint.data(), static_cast<int>(comma_hint.size()));
    Keyboard keyboard;
    Screen screen;
    std::istream in(&keyboard);
    std::ostream out(&screen);
    in.tie(&out);
    Browser_clock clock;
    Console console{in, out,
                    [&out] {
                        out.flush();  // what came before the clear is shown first
                        clear_page();
                    },
                    [&out, &clock](const Measurement& m) {
                        announce_recording(m.t_s);
                        const Recorded recorded = record(m.t_s, m.rate_per_s, m.dead_time_s, out, clock);
                        const double activity_bq =
                            m.source >= 1 ? sources.at(static_cast<std::size_t>(m.source - 1)).activity_bq : 0;
                        announce_count(recorded.N, m.exercise, m.source, activity_bq, m.distance_cm, m.t_s,
                                       static_cast<double>(recorded.second));
                        return recorded.N;
                    }};
    main_menu(console);
    out.flush();
    const int status = 0;  // however the dialogue ended
    announce_end(status);
    return status;
}
