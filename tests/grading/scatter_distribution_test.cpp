// The distribution of D = sum of z^2 by convolution: its chances at the
// 1 in 200 points against a finer grid and against simulated sets.
#include "grading/scatter_distribution.hpp"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "grading/answer_key.hpp"

namespace {

using namespace counting_lab::grading;

// The worksheets' plan: five sources three times, twelve distances once,
// 30 s each; `students` times over for a class.
struct Plan {
    std::vector<Setting_facts> facts;
    std::vector<std::pair<const Setting_facts*, int>> counts;
    explicit Plan(int students) {
        for (int source = 1; source <= 5; ++source) {
            facts.push_back(facts_of({source, 0, 30}));
        }
        for (const double d : worksheet_2_cm) {
            facts.push_back(facts_of({0, d, 30}));
        }
        for (std::size_t i = 0; i < facts.size(); ++i) {
            counts.emplace_back(&facts[i], (i < 5 ? 3 : 1) * students);
        }
    }
};

// The D at which P(D' <= D), or P(D' >= D), first reaches `p`.
double point_of(const Scatter_distribution& d, double p, bool low) {
    double below = 0;
    double above = 4000;
    for (int k = 0; k < 60; ++k) {
        const double D = (below + above) / 2;
        ((low ? d.at_most(D) < p : d.at_least(D) >= p) ? below : above) = D;
    }
    return below;
}

TEST(ScatterDistribution, MatchesAFinerGridAtTheOneIn200Points) {
    for (const int students : {1, 30}) {
        const Plan plan(students);
        const Scatter_distribution d = scatter_distribution(plan.counts);
        const Scatter_distribution finer = scatter_distribution(plan.counts, {.finer = 3});
        const double low = point_of(finer, 1.0 / 200, true);
        const double high = point_of(finer, 1.0 / 200, false);
        EXPECT_NEAR(d.at_most(low) * 200, 1, 0.01) << students;
        EXPECT_NEAR(d.at_least(high) * 200, 1, 0.01) << students;
        EXPECT_NEAR(d.at_most(high) + d.at_least(high), 1, 1e-9);
    }
}

// A million sets drawn from the exact distributions of the counts.
TEST(ScatterDistribution, MatchesSimulatedSets) {
    const Plan plan(1);
    const Scatter_distribution d = scatter_distribution(plan.counts);
    const double low = point_of(d, 1.0 / 200, true);
    const double high = point_of(d, 1.0 / 200, false);
    std::mt19937 generator(7);  // NOLINT(cert-msc32-c,cert-msc51-cpp)
    std::uniform_real_distribution<double> uniform(0, 1);
    constexpr int sets = 1'000'000;
    int regular = 0;
    int scattered = 0;
    for (int k = 0; k < sets; ++k) {
        double D = 0;
        for (const auto& [f, how_many] : plan.counts) {
            for (int i = 0; i < how_many; ++i) {
                D += f->z2[count_at_quantile(*f, uniform(generator))];
            }
        }
        regular += D <= low ? 1 : 0;
        scattered += D >= high ? 1 : 0;
    }
    // 5,000 expected each side, give or take 71
    EXPECT_NEAR(regular, 5000, 250);
    EXPECT_NEAR(scattered, 5000, 250);
}

// A count that can only be 0 and a count far out: the distribution holds
// all its chance and answers beyond its ends.
TEST(ScatterDistribution, EndsAndCertainties) {
    const Setting_facts beyond = facts_of({0, 3.0, 30});
    const Scatter_distribution zero = scatter_distribution({{&beyond, 5}});
    EXPECT_NEAR(zero.at_most(0) + zero.at_least(0), 1, 1e-12);
    EXPECT_DOUBLE_EQ(zero.at_most(1), 1);
    const Plan plan(1);
    const Scatter_distribution d = scatter_distribution(plan.counts);
    EXPECT_LT(d.at_least(1e6), 1e-9);  // the finest chance the check words
    EXPECT_DOUBLE_EQ(d.at_most(-1), 0);
}

}  // namespace
