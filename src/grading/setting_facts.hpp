// What the exact distribution says at one setting, worked out once for all
// the counts a class check meets there.
#pragma once

#include <array>
#include <cstddef>
#include <vector>

#include "grading/setting.hpp"
#include "simulation/count_distribution.hpp"

namespace counting_lab::grading {

struct Setting_facts {
    double rate = 0;
    int highest = 0;                 // the highest count that can happen
    std::vector<double> p;           // P(N' = n)
    std::vector<double> ps;          // two-sided p of each count
    std::vector<double> cumulative;  // P(N' <= n)
    std::vector<std::size_t> start;  // for u in [k, k + 1) / its size, no count below start[k] has P(N' <= n) > u
    std::vector<double> z2;          // ((n - mean) / sd)^2
    Mean_and_spread spread{};
    std::array<double, 3> verdict_share{};  // as expected, second look, query
    double same_count = 0;                  // the chance that two honest counts are equal
};

Setting_facts facts_of(const Setting& setting);

/// The honest count at quantile u in (0, 1): the least n with P(N' <= n) > u.
std::size_t count_at_quantile(const Setting_facts& f, double u);

}  // namespace counting_lab::grading
