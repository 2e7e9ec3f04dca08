// Worksheet 2's key: what bounds the cone, and the ranges a grader uses.
#include "grading/answer_key.hpp"

#include <gtest/gtest.h>

#include "simulation/lab.hpp"

namespace {

using namespace counting_lab::grading;

TEST(AnswerKey, WhatBoundsTheCone) {
    // The rim while it lies nearer the source than the cut-off distance,
    // sqrt(2.64^2 - 1) = 2.443 cm; then the cut-off; beyond it nothing.
    EXPECT_EQ(bounded_by(0.5), "rim");
    EXPECT_EQ(bounded_by(2.44), "rim");
    EXPECT_EQ(bounded_by(2.45), "cut-off");
    EXPECT_EQ(bounded_by(counting_lab::cut_off_cm), "cut-off");
    EXPECT_EQ(bounded_by(2.65), "nothing reaches");
}

TEST(AnswerKey, RowsForAnyTime) {
    const auto rows = worksheet_2_key(30);
    ASSERT_EQ(rows.size(), worksheet_2_cm.size());
    EXPECT_EQ(rows.front().size(), worksheet_2_key_columns(30).size());
    EXPECT_EQ(rows.back()[1], "nothing reaches");
    EXPECT_EQ(rows.back()[6], "0");  // beyond the cut-off every count is 0
    EXPECT_EQ(worksheet_2_key_columns(45)[6], "N in 45 s: 95 % of counts");
    EXPECT_EQ(key_time("45").t_s, 45.0);
    EXPECT_FALSE(key_time("100.5").t_s);
}

}  // namespace
