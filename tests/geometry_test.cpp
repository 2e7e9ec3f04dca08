#include "simulation/geometry.hpp"

#include <gtest/gtest.h>

#include <cmath>

#include "simulation/lab.hpp"

namespace {

using counting_lab::cut_off_cm;
using counting_lab::solid_angle;

TEST(SolidAngle, TableForTheLabCutOff) {
    struct Row {
        double d_cm;
        double sr;
    };
    for (const Row row : {Row{0.5, 3.47}, Row{1.0, 1.84}, Row{2.0, 0.66}, Row{2.5, 0.33}}) {
        EXPECT_NEAR(solid_angle(row.d_cm, cut_off_cm), row.sr, 0.005) << "d = " << row.d_cm;
    }
    for (const double d_cm : {2.64, 3.0, 5.0}) {
        EXPECT_EQ(solid_angle(d_cm, cut_off_cm), 0.0) << "d = " << d_cm;
    }
}

TEST(SolidAngle, ContinuousWhereTheBoundChanges) {
    const double rim_to_cut_off_cm = std::sqrt(cut_off_cm * cut_off_cm - 1.0);  // about 2.44
    const double h = 1e-9;
    EXPECT_NEAR(solid_angle(rim_to_cut_off_cm - h, cut_off_cm), solid_angle(rim_to_cut_off_cm + h, cut_off_cm), 1e-7);
    EXPECT_NEAR(solid_angle(cut_off_cm - h, cut_off_cm), 0.0, 1e-7);
    EXPECT_EQ(solid_angle(cut_off_cm + h, cut_off_cm), 0.0);
}

TEST(SolidAngle, FallsAsTheSourceMovesAway) {
    double previous = solid_angle(0.5, cut_off_cm);
    for (int step = 51; step <= 500; ++step) {
        const double d_cm = step / 100.0;
        const double now = solid_angle(d_cm, cut_off_cm);
        EXPECT_LE(now, previous) << "d = " << d_cm;
        EXPECT_GE(now, 0.0) << "d = " << d_cm;
        previous = now;
    }
}

}  // namespace
