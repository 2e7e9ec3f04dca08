#include "grading/setting_facts.hpp"

#include "grading/statistics.hpp"

namespace counting_lab::grading {

Setting_facts facts_of(const Setting& setting) {
    Setting_facts f;
    f.rate = setting.rate();
    f.p = count_distribution(setting.t_s, f.rate);
    f.ps = two_sided_ps(f.p);
    f.spread = mean_and_spread(f.p);
    f.highest = highest_possible(setting.t_s, f.rate);
    double below = 0;
    for (std::size_t n = 0; n < f.p.size(); ++n) {
        f.cumulative.push_back(below += f.p[n]);
        const double z = f.spread.standard_deviation > 0
                             ? (static_cast<double>(n) - f.spread.mean) / f.spread.standard_deviation
                             : 0.0;
        f.z2.push_back(z * z);
        f.verdict_share.at(static_cast<std::size_t>(verdict_of(f.ps[n]))) += f.p[n];
        f.same_count += f.p[n] * f.p[n];
    }
    constexpr std::size_t starts = 1024;
    for (std::size_t k = 0, n = 0; k < starts; ++k) {
        while (n + 1 < f.cumulative.size() && f.cumulative[n] <= static_cast<double>(k) / starts) {
            ++n;
        }
        f.start.push_back(n);
    }
    return f;
}

std::size_t count_at_quantile(const Setting_facts& f, double u) {
    std::size_t n = f.start[static_cast<std::size_t>(u * static_cast<double>(f.start.size()))];
    while (n + 1 < f.cumulative.size() && f.cumulative[n] <= u) {
        ++n;
    }
    return n;
}

}  // namespace counting_lab::grading
