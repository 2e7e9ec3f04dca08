// A setting typed on a form or a sheet, against the lab's setup.
#include "grading/setting.hpp"

#include <gtest/gtest.h>

namespace {

using namespace counting_lab::grading;

TEST(Setting, FaultsAgainstTheLabsSetup) {
    EXPECT_FALSE(setting_faults({true, false, true, 3, {}, 30.0}).any());
    EXPECT_FALSE(setting_faults({false, true, true, {}, 5.0, 100.0}).any());
    EXPECT_FALSE(setting_faults({false, true, true, {}, 0.5, 10.0}).any());
    EXPECT_TRUE(setting_faults({true, true, true, 3, 2.0, 30.0}).source_and_distance);
    EXPECT_TRUE(setting_faults({false, false, true, {}, {}, 30.0}).neither);
    EXPECT_TRUE(setting_faults({true, false, true, 6, {}, 30.0}).no_such_source);
    EXPECT_TRUE(setting_faults({true, false, true, 0, {}, 30.0}).no_such_source);
    EXPECT_TRUE(setting_faults({false, true, true, {}, 5.01, 30.0}).distance_outside);
    EXPECT_TRUE(setting_faults({false, true, true, {}, 0.49, 30.0}).distance_outside);
    EXPECT_TRUE(setting_faults({true, false, true, 1, {}, 9.99}).time_outside);
    EXPECT_TRUE(setting_faults({true, false, true, 1, {}, 500.0}).time_outside);
    EXPECT_TRUE(setting_faults({true, false, false, 1, {}, {}}).time_missing);
    // Typed but not a number: the caller says so; no range applies.
    EXPECT_FALSE(setting_faults({true, false, true, {}, {}, {}}).any());
}

TEST(Setting, Words) {
    EXPECT_EQ((Setting{3, 0, 30}).words(), "source 3, 30 s");
    EXPECT_EQ((Setting{0, 2.5, 12.5}).words(), "d = 2.50 cm, 12.5 s");
    EXPECT_EQ((Setting{0, 3.0, 30}).rate(), 0.0);  // beyond the cut-off
}

}  // namespace
