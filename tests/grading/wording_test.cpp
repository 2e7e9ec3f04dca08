// How the grading code writes numbers for a teacher.
#include "grading/wording.hpp"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace counting_lab::grading;

TEST(Wording, FixedWritesEveryDigitAndNoNegativeZero) {
    // A number longer than any buffer of a fixed size: all of it.
    const std::string huge = fixed(1e70, 2);
    EXPECT_EQ(huge.size(), 71U + 3U) << huge;
    EXPECT_EQ(huge.substr(0, 4), "1000");
    EXPECT_EQ(huge.substr(huge.size() - 3), ".00");
    EXPECT_EQ(fixed(-0.04, 1), "0.0");
    EXPECT_EQ(fixed(-0.06, 1), "-0.1");
    EXPECT_EQ(plain(30), "30");
    EXPECT_EQ(plain(2.640), "2.64");
    EXPECT_EQ(plain(12.5), "12.5");
}

TEST(Wording, ProbabilitiesAndCounts) {
    EXPECT_EQ(p_words(0.1), "0.10");
    EXPECT_EQ(p_words(1.0 / 981), "1 in 981");
    EXPECT_EQ(p_words(2e-9), "1 in 500,000,000");
    EXPECT_EQ(p_words(5e-10), "under 1 in 1,000,000,000");  // 1 / p would not fit an int
    EXPECT_EQ(thousands(1'000'000), "1,000,000");
    EXPECT_EQ(thousands(999), "999");
    EXPECT_EQ(listed({"a", "b", "c"}), "a, b and c");
    EXPECT_EQ(listed({"a"}), "a");
    EXPECT_EQ(trimmed(" \t x y \r\n"), "x y");
    EXPECT_EQ(capitalised("query it"), "Query it");
}

}  // namespace
