// A long session: a hundred thousand measurements through the dialogue, with
// an instant recording. The heap must not grow with the number of them.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <streambuf>
#include <string>
#include <vector>

#include "console/dialogue.hpp"

namespace {
std::atomic<long> live_blocks{0};
}  // namespace

// Every allocation of this test program is counted.
void* operator new(std::size_t size) {
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    ++live_blocks;
    return block;
}
// g++ takes the free() below for a mismatch with a built-in operator new;
// here both ends are the ones defined in this file.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpragmas"
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* block) noexcept {
    if (block != nullptr) {
        --live_blocks;
        std::free(block);
    }
}
#pragma GCC diagnostic pop
void operator delete(void* block, std::size_t /*size*/) noexcept { operator delete(block); }

namespace {

using namespace counting_lab;

// A keyboard that types each line the given number of times, made up as it
// is read so that the session itself holds no large buffer.
class Typist : public std::streambuf {
  public:
    struct Line {
        std::string text;
        long times;
    };
    explicit Typist(std::vector<Line> script) : script_(std::move(script)) {}

  private:
    int_type underflow() override {
        while (next_ < script_.size() && script_[next_].times == 0) {
            ++next_;
        }
        if (next_ == script_.size()) {
            return traits_type::eof();
        }
        --script_[next_].times;
        std::string& text = script_[next_].text;
        setg(text.data(), text.data(), text.data() + text.size());
        return traits_type::to_int_type(text[0]);
    }
    std::vector<Line> script_;
    std::size_t next_ = 0;
};

// Counts what is written and keeps only the end of it.
class Screen : public std::streambuf {
  public:
    long long written = 0;
    std::string tail;

  private:
    std::streamsize xsputn(const char* text, std::streamsize n) override {
        written += n;
        tail.append(text, static_cast<std::size_t>(n));
        if (tail.size() > 256) {
            tail.erase(0, tail.size() - 128);
        }
        return n;
    }
    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof())) {
            return traits_type::not_eof(c);
        }
        const char one = traits_type::to_char_type(c);
        xsputn(&one, 1);
        return c;
    }
};

TEST(Soak, HundredThousandMeasurementsInBothExercises) {
    constexpr long half = 50'000;
    Typist typist({{"1\n", 1}, {"3\n10\n", half}, {"0\n2\n", 1}, {"0.5\n100\n", half}, {"-1\n0\n", 1}});
    Screen screen;
    std::istream in(&typist);
    std::ostream out(&screen);

    long measurements = 0;
    long blocks_early = 0;
    long blocks_late = 0;
    Console console{in, out, {}, [&](const Measurement&) {
                        ++measurements;
                        if (measurements == 1'000) {
                            blocks_early = live_blocks;
                        }
                        if (measurements == 2 * half) {
                            blocks_late = live_blocks;
                        }
                        return 7;
                    }};

    EXPECT_EQ(main_menu(console), Ended::exit_chosen);
    EXPECT_EQ(measurements, 2 * half);
    EXPECT_EQ(blocks_late, blocks_early) << "heap blocks alive after 1,000 and after 100,000 measurements";
    EXPECT_GT(screen.written, 100L * 2 * half);
    const std::string end = "Waiting for your choice: ===================\n";
    EXPECT_EQ(screen.tail.substr(screen.tail.size() - end.size()), end);
}

}  // namespace
