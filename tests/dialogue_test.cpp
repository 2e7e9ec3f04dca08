#include "console/dialogue.hpp"

#include <gtest/gtest.h>

#include <numbers>
#include <sstream>
#include <string>
#include <vector>

#include "console/terminal.hpp"
#include "simulation/lab.hpp"

namespace {

using namespace counting_lab;

// The screens of the dialogue, as the student sees them.
const std::string menu =
    "===== Main menu =======\n"
    "Enter Part number (1 or 2) or 0 to exit.\n"
    "1: Part 1\n"
    "2: Part 2\n"
    "0: Exit\n"
    "Waiting for your choice: ";
const std::string chosen = "===================\n";
const std::string part_1_header =
    "===== Part 1 ====== \n\nEnter source number (1-5) or 0 to return to the main menu.\n";
const std::string sources =
    "1: A =  2.1 Bq\n"
    "2: A =  5.0 Bq\n"
    "3: A = 10.3 Bq\n"
    "4: A = 15.2 Bq\n"
    "5: A = 17.9 Bq\n"
    "0: Exit to the main menu\n"
    "Waiting for your choice: ";
const std::string part_1_time = "Enter counting time between 10 s and 100 s\nt (s) = ";
const std::string part_1_time_out = "Counting time out of range!\n\n";
const std::string part_2_header = "===== Part 2 ====== \n\n";
const std::string distance = "Enter distance d between 0.5 cm and 5.0 cm. Negative value to exit Part 2\nd(cm) = ";
const std::string distance_out = "Distance out of range!\n\n";
const std::string part_2_time = "Enter time t between 10 s and 100 s. Negative value to exit Part 2.\nt(s) = ";
const std::string part_2_time_out = "Counting time out of range!\n";
const std::string part_2_exit = "\n\n";
const std::string not_a_number = "Not a number!\n";
const std::string count = "N = 42\n\n";  // what the stand-in recording returns
const std::string clear = "\x1b[H\x1b[2J";

// A whole session through string streams, with a stand-in recording that
// notes its arguments and returns 42.
struct Session {
    std::istringstream in;
    std::ostringstream out;
    std::vector<Measurement> recordings;
    Console console;
    Ended ended{};

    explicit Session(std::string keyboard, bool terminal = false)
        : in(std::move(keyboard)), console{in, out, {}, stand_in()} {
        if (terminal) {
            console.clear_screen = [this] { write_clear_sequence(out); };
        }
        ended = main_menu(console);
    }
    Recording stand_in() {
        return [this](const Measurement& m) {
            recordings.push_back(m);
            return 42;
        };
    }
    std::string transcript() const { return out.str(); }
    std::vector<double> times() const {
        std::vector<double> t;
        for (const Measurement& r : recordings) {
            t.push_back(r.t_s);
        }
        return t;
    }
};

TEST(MainMenu, ZeroEnds) {
    Session s("0\n");
    EXPECT_EQ(s.transcript(), menu + chosen);
    EXPECT_EQ(s.ended, Ended::exit_chosen);
}

TEST(MainMenu, AnythingElseShowsTheMenuAgain) {
    // Unknown numbers, a number too large for an int, and words.
    Session s("3\n7\n-1\n99999999999\nabc def\n0\n");
    std::string expected;
    for (int i = 0; i < 5; ++i) {
        expected += menu + chosen;
    }
    EXPECT_EQ(s.transcript(), expected + menu + chosen);
    EXPECT_TRUE(s.recordings.empty());
}

TEST(MainMenu, ClearsTheScreenOnlyOnATerminal) {
    Session terminal("1\n0\n2\n-1\n0\n", true);
    EXPECT_EQ(terminal.transcript(), clear + menu + chosen + clear + part_1_header + sources + clear + menu + chosen +
                                         clear + part_2_header + distance + part_2_exit + clear + menu + chosen);
    Session pipe("1\n0\n2\n-1\n0\n");
    EXPECT_EQ(pipe.transcript().find('\x1b'), std::string::npos);
}

TEST(Part1, WholeMeasurement) {
    Session s("1\n3\n20\n0\n0\n");
    EXPECT_EQ(s.transcript(), menu + chosen + part_1_header + sources + part_1_time + count + sources + menu + chosen);
    ASSERT_EQ(s.recordings.size(), 1U);
    EXPECT_EQ(s.recordings[0].t_s, 20.0);
    EXPECT_DOUBLE_EQ(s.recordings[0].rate_per_s, 5.15);
    EXPECT_EQ(s.recordings[0].dead_time_s, 0.06);
}

TEST(Part1, NumbersMayShareALine) {
    EXPECT_EQ(Session("1 3 20 0 0").transcript(), Session("1\n3\n20\n0\n0\n").transcript());
}

TEST(Part1, RateIsHalfTheActivity) {
    Session s("1\n1 10\n2 10\n3 10\n4 10\n5 10\n0\n0\n");
    const double expected[] = {1.05, 2.5, 5.15, 7.6, 8.95};
    ASSERT_EQ(s.recordings.size(), 5U);
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_DOUBLE_EQ(s.recordings[i].rate_per_s, expected[i]) << "source " << i + 1;
        // The recording is told what it is of.
        EXPECT_EQ(s.recordings[i].exercise, 1);
        EXPECT_EQ(s.recordings[i].source, static_cast<int>(i) + 1);
        EXPECT_EQ(s.recordings[i].distance_cm, 0.0);
    }
}

TEST(Part1, CountingTimeRange) {
    Session s("1\n4\n9.99\n101\n0\n-5\n1e999\n10\n4\n100\n0\n0\n");
    EXPECT_EQ(s.times(), (std::vector<double>{10, 100}));
    std::string expected = menu + chosen + part_1_header + sources;
    for (int i = 0; i < 5; ++i) {
        expected += part_1_time + part_1_time_out;
    }
    expected += part_1_time + count + sources + part_1_time + count + sources + menu + chosen;
    EXPECT_EQ(s.transcript(), expected);
}

TEST(Part1, NumberSyntax) {
    // Stream syntax: these are numbers...
    const std::string three = std::string(69, '0') + "3";  // read whole, not in part
    Session numbers("1\n3 1e1 3 10. 3 .5e2 3 +20 3 1e+1 " + three + " 10\n0 0");
    EXPECT_EQ(numbers.times(), (std::vector<double>{10, 10, 50, 20, 10, 10}));
    EXPECT_DOUBLE_EQ(numbers.recordings.back().rate_per_s, 5.15);
    Session leaves("2\n-5e-1\n0\n");  // a negative distance
    EXPECT_EQ(leaves.transcript(), menu + chosen + part_2_header + distance + part_2_exit + menu + chosen);
    // ...and these are not: each is answered and asked again.
    Session s("1\n3\nnan\ninf\nx 12\n-\n30\n0\n0\n");
    std::string expected = menu + chosen + part_1_header + sources;
    for (int i = 0; i < 4; ++i) {
        expected += part_1_time + not_a_number;
    }
    expected += part_1_time + count + sources + menu + chosen;
    EXPECT_EQ(s.transcript(), expected);
    EXPECT_EQ(s.times(), (std::vector<double>{30}));
}

TEST(Answers, AWordIsANumberOnlyIfAllOfItIs) {
    // A comma for the point, a number run into letters, hexadecimal, and
    // words a C++ library might read as numbers: each is refused with the
    // rest of its line, and the prompt asked again.
    Session part_2("2\n2,5 10\n2.5 10abc\n0x14\nnan\ninf\n1e\n.\n1.2.3\n20 -1\n0\n");
    std::string expected = menu + chosen + part_2_header + distance + not_a_number + distance + part_2_time;
    for (int i = 0; i < 7; ++i) {
        expected += not_a_number + part_2_time;
    }
    EXPECT_EQ(part_2.transcript(), expected + count + distance + part_2_exit + menu + chosen);
    ASSERT_EQ(part_2.recordings.size(), 1U);
    EXPECT_EQ(part_2.recordings[0].t_s, 20.0);
    EXPECT_NEAR(part_2.recordings[0].rate_per_s, 1.61, 0.005);  // at 2.5 cm, not 2

    // A source number is an integer: "2.5" picks no source and leaves
    // nothing for the counting time; "2" with CR LF line ends does.
    Session part_1("1\n2.5\n2\r\n1E1\r\n0\r\n0\r\n");
    EXPECT_EQ(part_1.transcript(), menu + chosen + part_1_header + sources + not_a_number + sources + part_1_time +
                                       count + sources + menu + chosen);
    EXPECT_EQ(part_1.times(), (std::vector<double>{10}));

    // At the main menu, as any unknown number.
    Session menu_words("1.0\n1,\n0\n");
    EXPECT_EQ(menu_words.transcript(), menu + chosen + menu + chosen + menu + chosen);
}

TEST(Answers, AWordLongerThanAnyNumberIsNone) {
    // 1,024 characters are read whole; one more, or far more, is no number,
    // never the first 1,024 of it read as one.
    const std::string at_limit = std::string(1022, '0') + "20";
    const std::string past_limit = std::string(1023, '0') + "20";
    const std::string far_past = std::string(100'000, '0') + "20";
    Session s("1\n3\n" + at_limit + "\n3\n" + past_limit + "\n" + far_past + "\n30\n0\n0\n");
    EXPECT_EQ(s.transcript(), menu + chosen + part_1_header + sources + part_1_time + count + sources + part_1_time +
                                  not_a_number + part_1_time + not_a_number + part_1_time + count + sources + menu +
                                  chosen);
    EXPECT_EQ(s.times(), (std::vector<double>{20, 30}));
}

TEST(Part1, UnknownSourcesAreNotRecorded) {
    Session s("1\n6\n-1\n99999999999\nthree\n0\n0\n");
    EXPECT_EQ(s.transcript(), menu + chosen + part_1_header + sources + sources + sources + sources + not_a_number +
                                  sources + menu + chosen);
    EXPECT_TRUE(s.recordings.empty());
}

TEST(Part2, WholeMeasurementAndExits) {
    Session s("2\n0.5\n10\n-0.1\n2\n5.0\n-1\n0\n");
    EXPECT_EQ(s.transcript(), menu + chosen + part_2_header + distance + part_2_time + count + distance + part_2_exit +
                                  menu + chosen + part_2_header + distance + part_2_time + part_2_exit + menu + chosen);
    ASSERT_EQ(s.recordings.size(), 1U);
    EXPECT_EQ(s.recordings[0].t_s, 10.0);
    EXPECT_EQ(s.recordings[0].dead_time_s, 0.06);
}

TEST(Part2, RateFollowsTheSolidAngle) {
    Session s("2\n0.5 10\n1.0 10\n2.0 10\n2.5 10\n2.64 10\n3 10\n5 10\n-1\n0\n");
    // Rounded to three figures; from the cut-off on, exactly 0.
    const double expected[] = {16.8, 8.91, 3.21, 1.61, 0, 0, 0};
    const double within[] = {0.05, 0.005, 0.005, 0.005, 0, 0, 0};
    ASSERT_EQ(s.recordings.size(), 7U);
    const double distances_cm[] = {0.5, 1.0, 2.0, 2.5, 2.64, 3, 5};
    for (std::size_t i = 0; i < 7; ++i) {
        EXPECT_NEAR(s.recordings[i].rate_per_s, expected[i], within[i]) << "measurement " << i;
        // 60.85 Bq times the window's share of the whole sphere, 4 pi, to the last bit.
        EXPECT_EQ(s.recordings[i].rate_per_s, solid_angle(distances_cm[i], 2.64) * 60.85 / (4 * std::numbers::pi))
            << "measurement " << i;
        EXPECT_EQ(s.recordings[i].exercise, 2);
        EXPECT_EQ(s.recordings[i].source, 0);
        EXPECT_EQ(s.recordings[i].distance_cm, distances_cm[i]);
    }
}

TEST(Part2, Ranges) {
    // Zero is not negative; nor are 0.49 and 5.01 in range. A time of 0
    // or 9.99 is refused without an empty line, and NaN-like words are not numbers.
    Session s("2\n0\n0.49\n5.01\nnan\n1e999\n4\n0\n9.99\nx\n100.5\n100\n-1e999\n0\n");
    EXPECT_EQ(s.transcript(), menu + chosen + part_2_header + distance + distance_out + distance + distance_out +
                                  distance + distance_out + distance + not_a_number + distance + distance_out +
                                  distance + part_2_time + part_2_time_out + part_2_time + part_2_time_out +
                                  part_2_time + not_a_number + part_2_time + part_2_time_out + part_2_time + count +
                                  distance + part_2_exit + menu + chosen);
    EXPECT_EQ(s.times(), (std::vector<double>{100}));
}

TEST(EndOfInput, EndsAtEveryPromptWithOneLineBreak) {
    struct Case {
        const char* keyboard;
        std::string before_the_end;
    };
    const std::string part_1 = menu + chosen + part_1_header + sources;
    const std::string part_2 = menu + chosen + part_2_header + distance;
    for (const Case& c : {
             Case{"", menu},
             Case{"   \n\n", menu},
             Case{"1", part_1},
             Case{"1\n3", part_1 + part_1_time},
             Case{"1\n3\n-", part_1 + part_1_time + not_a_number + part_1_time},
             Case{"1\n3\n20", part_1 + part_1_time + count + sources},
             Case{"1\nx", part_1 + not_a_number + sources},
             Case{"2", part_2},
             Case{"2\n1", part_2 + part_2_time},
             Case{"2\nabc", part_2 + not_a_number + distance},
             Case{"2\n1\n10\n", part_2 + part_2_time + count + distance},
             Case{"99999999999", menu + chosen + menu},
         }) {
        Session s(c.keyboard);
        EXPECT_EQ(s.transcript(), c.before_the_end + "\n") << "keyboard: \"" << c.keyboard << '"';
        EXPECT_EQ(s.ended, Ended::end_of_input);
    }
}

}  // namespace
