#include "common/number_grammar.hpp"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <string>

namespace {

using counting_lab::parse_number;

TEST(NumberGrammar, IntegersBeyondAnIntReadAsItsExtremeOfTheirSign) {
    int value = 0;
    ASSERT_TRUE(parse_number("99999999999", value));
    EXPECT_EQ(value, std::numeric_limits<int>::max());
    ASSERT_TRUE(parse_number("+99999999999", value));
    EXPECT_EQ(value, std::numeric_limits<int>::max());
    ASSERT_TRUE(parse_number("-99999999999", value));
    EXPECT_EQ(value, std::numeric_limits<int>::min());
    ASSERT_TRUE(parse_number("-2147483648", value));
    EXPECT_EQ(value, std::numeric_limits<int>::min());
    ASSERT_TRUE(parse_number("+2147483647", value));
    EXPECT_EQ(value, std::numeric_limits<int>::max());
}

TEST(NumberGrammar, DecimalsBeyondADoubleReadAsAnInfinityOfTheirSign) {
    double value = 0;
    ASSERT_TRUE(parse_number("1e999", value));
    EXPECT_EQ(value, std::numeric_limits<double>::infinity());
    ASSERT_TRUE(parse_number("-1e999", value));
    EXPECT_EQ(value, -std::numeric_limits<double>::infinity());
    ASSERT_TRUE(parse_number("1e-999", value));  // below the smallest: zero, accepted by no range
    EXPECT_EQ(value, 0.0);
    ASSERT_TRUE(parse_number("4.9e-324", value));
    EXPECT_EQ(value, std::numeric_limits<double>::denorm_min());
}

// The grammar is the program's, not the locale's: a German locale's comma
// for the point changes nothing.
TEST(NumberGrammar, ThePointIsAPointInEveryLocale) {
    const std::string was = std::setlocale(LC_ALL, nullptr);
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) {
        GTEST_SKIP() << "no de_DE.UTF-8 locale on this machine (Debian: locales, then locale-gen de_DE.UTF-8)";
    }
    double value = 0;
    const bool point = parse_number("2.5", value);
    const double read = value;
    const bool comma = parse_number("2,5", value);
    (void)std::setlocale(LC_ALL, was.c_str());
    EXPECT_TRUE(point);
    EXPECT_EQ(read, 2.5);
    EXPECT_FALSE(comma);
}

}  // namespace
