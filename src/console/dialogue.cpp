#include "console/dialogue.hpp"

#include <cctype>
#include <istream>
#include <limits>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "simulation/lab.hpp"

namespace counting_lab {

namespace {

void clear_screen(Console& console) {
    if (console.clear_screen) {
        console.clear_screen();
    }
}

enum class Answer { number, not_a_number, end_of_input };

// An answer is one word: the characters up to the next white space. Words
// longer than any number a student types or pastes are no number, and are
// not kept whole.
constexpr std::size_t longest_word = 1024;

// Reads the next word, skipping white space (line breaks too). False at the
// end of input. The white space after the word is left for the next read.
bool read_word(std::istream& in, std::string& word) {
    word.clear();
    const std::istream::sentry skip_white_space(in);
    if (!skip_white_space) {
        return false;
    }
    std::streambuf& keys = *in.rdbuf();
    for (int c = keys.sgetc();; c = keys.snextc()) {
        if (c == std::char_traits<char>::eof()) {
            in.setstate(std::ios::eofbit);
            return true;
        }
        if (std::isspace(c) != 0) {
            return true;
        }
        if (word.size() <= longest_word) {  // one more marks it too long
            word.push_back(static_cast<char>(c));
        }
    }
}

// Prints `prompt` and reads one answer into `value`. An answer that is not a
// number is dropped with the rest of its line. At the end of input the
// dialogue ends with a line break.
template <class Number>
Answer ask(Console& console, std::string_view prompt, Number& value) {
    console.out << prompt << std::flush;
    std::string word;
    if (!read_word(console.in, word)) {
        console.out << '\n' << std::flush;
        return Answer::end_of_input;
    }
    if (word.size() > longest_word || !parse_number(word, value)) {
        console.in.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
        return Answer::not_a_number;
    }
    return Answer::number;
}

// Asks `prompt` until a number comes, answering anything else with
// "Not a number!". False at the end of input.
bool ask_number(Console& console, std::string_view prompt, double& value) {
    for (;;) {
        switch (ask(console, prompt, value)) {
            case Answer::number:
                return true;
            case Answer::end_of_input:
                return false;
            case Answer::not_a_number:
                console.out << "Not a number!\n";
                break;
        }
    }
}

// Asks a question of the distance exercise, where a negative answer leaves
// it. Empty while the exercise goes on.
std::optional<After> ask_or_leave(Console& console, std::string_view prompt, double& value) {
    if (!ask_number(console, prompt, value)) {
        return After::end_of_input;
    }
    if (value < 0) {
        console.out << "\n\n";
        return After::main_menu;
    }
    return std::nullopt;
}

void measure(Console& console, const Measurement& measurement) {
    const int N = console.record(measurement);
    console.out << "N = " << N << "\n\n";
}

}  // namespace

After Part_1(Console& console) {
    clear_screen(console);
    console.out << "===== Part 1 ====== \n\nEnter source number (1-5) or 0 to return to the main menu.\n";
    for (;;) {
        for (const Source& source : sources) {
            console.out << source.list_line << '\n';
        }
        console.out << "0: Exit to the main menu\n";
        int choice = 0;
        const Answer answer = ask(console, "Waiting for your choice: ", choice);
        if (answer == Answer::end_of_input) {
            return After::end_of_input;
        }
        if (answer == Answer::not_a_number) {
            console.out << "Not a number!\n";
            continue;
        }
        if (choice == 0) {
            return After::main_menu;
        }
        if (choice < 1 || choice > static_cast<int>(sources.size())) {
            continue;
        }
        double t_s = 0;
        for (;;) {
            if (!ask_number(console, "Enter counting time between 10 s and 100 s\nt (s) = ", t_s)) {
                return After::end_of_input;
            }
            if (counting_time_s.contains(t_s)) {
                break;
            }
            console.out << "Counting time out of range!\n\n";
        }
        measure(console, {1, choice, 0, t_s, setting_rate(choice, 0), tau});
    }
}

After Part_2(Console& console) {
    clear_screen(console);
    console.out << "===== Part 2 ====== \n\n";
    for (;;) {
        double d_cm = 0;
        if (const auto left = ask_or_leave(
                console, "Enter distance d between 0.5 cm and 5.0 cm. Negative value to exit Part 2\nd(cm) = ", d_cm)) {
            return *left;
        }
        if (!distance_cm.contains(d_cm)) {
            console.out << "Distance out of range!\n\n";
            continue;
        }
        double t_s = 0;
        for (;;) {
            if (const auto left = ask_or_leave(
                    console, "Enter time t between 10 s and 100 s. Negative value to exit Part 2.\nt(s) = ", t_s)) {
                return *left;
            }
            if (counting_time_s.contains(t_s)) {
                break;
            }
            console.out << "Counting time out of range!\n";
        }
        measure(console, {2, 0, d_cm, t_s, setting_rate(0, d_cm), tau});
    }
}

Ended main_menu(Console& console) {
    int choice = 1;
    while (choice == 1 || choice == 2) {
        clear_screen(console);
        console.out << "===== Main menu =======\n"
                       "Enter Part number (1 or 2) or 0 to exit.\n"
                       "1: Part 1\n"
                       "2: Part 2\n"
                       "0: Exit\n";
        const Answer answer = ask(console, "Waiting for your choice: ", choice);
        if (answer == Answer::end_of_input) {
            return Ended::end_of_input;
        }
        console.out << "===================\n";
        if (answer == Answer::not_a_number) {
            choice = -1;  // answered as any unknown number
        }
        After after = After::main_menu;
        switch (choice) {
            case 0:
                break;
            case 1:
                after = Part_1(console);
                break;
            case 2:
                after = Part_2(console);
                break;
            default:
                choice = 1;
                break;
        }
        if (after == After::end_of_input) {
            return Ended::end_of_input;
        }
    }
    return Ended::exit_chosen;
}

}  // namespace counting_lab
