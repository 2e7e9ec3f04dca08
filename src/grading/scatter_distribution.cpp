#include "grading/scatter_distribution.hpp"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numeric>

namespace counting_lab::grading {

namespace {

using Complex = std::complex<double>;
using Counts = std::vector<std::pair<const Setting_facts*, int>>;

// What the window may leave out: the chance that the counts it holds add up
// to more than its top or less than its bottom, and the chance of the counts
// too far out for it.
constexpr double left_out = 1e-13;
constexpr double left_out_above = 1e-10;

// Without the checks for infinities that the library's product makes.
Complex times(Complex a, Complex b) {
    return {a.real() * b.real() - a.imag() * b.imag(), a.real() * b.imag() + a.imag() * b.real()};
}
double times(double a, double b) { return a * b; }

// The discrete Fourier transform of `x`, whose size is a power of 2, in
// place; `roots` holds exp(-2 pi i k / size) for k below half the size.
// The inverse is the transform of the conjugate, conjugated and divided by
// the size.
void fft(std::vector<Complex>& x, const std::vector<Complex>& roots) {
    const std::size_t n = x.size();
    for (std::size_t i = 1, j = 0; i < n; ++i) {
        std::size_t bit = n >> 1U;
        for (; (j & bit) != 0; bit >>= 1U) {
            j ^= bit;
        }
        j ^= bit;
        if (i < j) {
            std::swap(x[i], x[j]);
        }
    }
    for (std::size_t half = 1; half < n; half <<= 1U) {
        const std::size_t stride = n / (2 * half);
        for (std::size_t k = 0; k < half; ++k) {
            const Complex root = roots[k * stride];
            for (std::size_t at = k; at < n; at += 2 * half) {
                const Complex u = x[at];
                const Complex v = times(x[at + half], root);
                x[at] = u + v;
                x[at + half] = u - v;
            }
        }
    }
}

// One count's z^2 where its chance counts for Chernoff's bound: ln P and
// z^2 of each count up to `cut` whose P is over 1e-30, and the chance of the
// rest up to `cut`.
struct Tail_terms {
    std::vector<std::pair<double, double>> kept;
    double rest = 0;
};

Tail_terms tail_terms(const Setting_facts& f, double cut) {
    Tail_terms t;
    for (std::size_t n = 0; n < f.p.size(); ++n) {
        if (f.z2[n] > cut) {
            continue;
        }
        if (f.p[n] > 1e-30) {
            t.kept.emplace_back(std::log(f.p[n]), f.z2[n]);
        } else {
            t.rest += f.p[n];
        }
    }
    return t;
}

// exp(-2 pi i k / n) for k below n / 2, n a power of 2, by halving angles
// from -1 (k = n / 2) down, each root of k = 2^j + m the product of those of
// 2^j and m: a handful of roundings each, and no sine or cosine.
std::vector<Complex> roots_of(std::size_t n) {
    std::vector<Complex> roots(std::max<std::size_t>(1, n / 2));
    roots[0] = 1;
    std::vector<Complex> halvings;  // exp(-2 pi i / 2^j) for j = 1, 2, ...
    for (Complex z(-1, 0); halvings.size() < 64 && (std::size_t{1} << halvings.size()) < n;) {
        halvings.push_back(z);
        const double c = std::sqrt((1 + z.real()) / 2);
        z = Complex(c, z.imag() == 0 ? -1.0 : z.imag() / (2 * c));
    }
    for (std::size_t k = 1; k < roots.size(); k <<= 1U) {
        // exp(-2 pi i k / n): the halving of order n / k
        std::size_t order = 0;
        while ((std::size_t{2} << order) < n / k) {
            ++order;
        }
        const Complex root = halvings[order];
        for (std::size_t m = 0; m < k; ++m) {
            roots[k + m] = times(roots[m], root);
        }
    }
    return roots;
}

// ln E[exp(theta z^2); z^2 <= cut] for one count, bounded above: the rest
// taken at `cut` (theta > 0) or at 0 (theta < 0).
double log_moment(const Tail_terms& t, double theta, double cut) {
    double largest = std::log(t.rest) + std::max(0.0, theta * cut);
    for (const auto& [log_p, z2] : t.kept) {
        largest = std::max(largest, log_p + theta * z2);
    }
    double sum = std::exp(std::log(t.rest) + std::max(0.0, theta * cut) - largest);
    for (const auto& [log_p, z2] : t.kept) {
        sum += std::exp(log_p + theta * z2 - largest);
    }
    return largest + std::log(sum);
}

// Chernoff's bound: P(D' >= a) <= exp(-theta a) E[exp(theta D')] for theta
// > 0, and P(D' <= a) likewise for theta < 0; the a, beyond `mean` on the
// side of theta, at which the bound falls to `left_out`, for the best of a
// few theta (each count taken only up to `cut`, its terms those of `terms`).
double bound(const Counts& counts, const std::vector<Tail_terms>& terms, double mean, double cut, bool above) {
    double best = above ? HUGE_VAL : 0;
    for (int doublings = 0; doublings <= 8; ++doublings) {
        const double theta = static_cast<double>(1 << doublings) / 64;
        const double signed_theta = above ? theta : -theta;
        double log_moments = 0;
        for (std::size_t i = 0; i < counts.size(); ++i) {
            log_moments += counts[i].second * log_moment(terms[i], signed_theta, cut);
        }
        const double a = (log_moments - std::log(left_out)) / signed_theta;
        best = above ? std::min(best, a) : std::max(best, a);
    }
    return above ? std::max(best, mean) : std::min(best, mean);
}

// The mean and variance of D'.
std::pair<double, double> moments(const Counts& counts) {
    double mean = 0;
    double variance = 0;
    for (const auto& [f, how_many] : counts) {
        double m = 0;
        double squares = 0;
        for (std::size_t n = 0; n < f->p.size(); ++n) {
            m += f->p[n] * f->z2[n];
            squares += f->p[n] * f->z2[n] * f->z2[n];
        }
        mean += how_many * m;
        variance += how_many * std::max(0.0, squares - m * m);
    }
    return {mean, variance};
}

// z^x by squaring.
template <typename Number>
Number power(Number z, int x) {
    Number result = 1;
    for (; x > 0; x /= 2) {
        if (x % 2 == 1) {
            result = times(result, z);
        }
        z = times(z, z);
    }
    return result;
}

}  // namespace

double Scatter_distribution::at_most(double D) const {
    double p = 0;
    for (std::size_t i = 0; i < chance.size(); ++i) {
        const double point = static_cast<double>(first + static_cast<std::int64_t>(i)) * step;
        p += chance[i] * std::clamp((D - point) / step + 0.5, 0.0, 1.0);
    }
    return p;
}

double Scatter_distribution::at_least(double D) const {
    double p = above;
    for (std::size_t i = 0; i < chance.size(); ++i) {
        const double point = static_cast<double>(first + static_cast<std::int64_t>(i)) * step;
        p += chance[i] * std::clamp((point - D) / step + 0.5, 0.0, 1.0);
    }
    return p;
}

namespace {

// The grid and the window of D' for these counts.
struct Window {
    double step = 0;
    double cut = 0;
    double top = 0;
    std::int64_t first = 0;
    std::size_t points = 0;
    std::size_t n = 1;  // the circle the transforms go round, a power of 2 at least `points`
};

// The z^2 beyond which a count lies with a chance of at most `chance`: the
// counts taken off either end, the further out first, while their chances
// add up to no more than it.
double cut_of(const Setting_facts& f, double chance) {
    std::size_t low = 0;
    std::size_t high = f.p.size();
    while (high - low > 1) {
        const bool from_low = f.z2[low] > f.z2[high - 1];
        const double p = f.p[from_low ? low : high - 1];
        if ((chance -= p) < 0) {
            break;
        }
        if (from_low) {
            ++low;
        } else {
            --high;
        }
    }
    return std::max(f.z2[low], f.z2[high - 1]);
}

Window window_of(const Counts& counts, const Scatter_grid& grid) {
    const auto [mean, variance] = moments(counts);
    Window w;
    // A count whose z^2 is beyond `cut` goes into `above`: all of them
    // together a chance of at most `left_out_above`.
    const int all =
        std::accumulate(counts.begin(), counts.end(), 0, [](int sum, const auto& count) { return sum + count.second; });
    for (const auto& [f, how_many] : counts) {
        w.cut = std::max(w.cut, cut_of(*f, left_out_above / all));
    }
    // The counts up to `cut` add up to more than `top`, or to less than the
    // window's bottom, with a chance under `left_out`.
    std::vector<Tail_terms> terms(counts.size());
    std::transform(counts.begin(), counts.end(), terms.begin(),
                   [&w](const auto& count) { return tail_terms(*count.first, w.cut); });
    w.top = bound(counts, terms, mean, w.cut, true);
    const double bottom = std::max(0.0, bound(counts, terms, mean, w.cut, false));
    // so fine that the chances at the 1 in 200 points come out within 1 %
    w.step = 1;
    while (w.step * w.step * 300 > std::max(1.0, std::sqrt(variance))) {
        w.step /= 2;
    }
    for (int k = 0; k < grid.finer; ++k) {
        w.step /= 2;
    }
    auto point_of = [&w](double x) { return static_cast<std::int64_t>(std::floor(x / w.step)); };
    while (point_of(w.top) - point_of(bottom) + 2 > static_cast<std::int64_t>(grid.most_points)) {
        w.step *= 2;
    }
    w.first = point_of(bottom);
    w.points = static_cast<std::size_t>(point_of(w.top) - w.first + 2);
    while (w.n < w.points) {
        w.n <<= 1U;
    }
    return w;
}

// One count's chances on the grid, round the circle. Each z^2 up to the cut
// is split between the grid points either side, which keeps the mean; the
// split adds variance, so the z^2 are first drawn in towards their mean just
// enough that the variance is kept too. Returns the chance beyond the cut.
double one_count(const Setting_facts& f, const Window& w, std::vector<double>& chances) {
    double mass = 0;
    double sum = 0;
    double squares = 0;
    for (std::size_t k = 0; k < f.p.size(); ++k) {
        if (f.z2[k] <= w.cut) {
            mass += f.p[k];
            sum += f.p[k] * f.z2[k];
            squares += f.p[k] * f.z2[k] * f.z2[k];
        }
    }
    const double mean = sum / mass;
    const double variance = std::max(0.0, squares / mass - mean * mean);
    auto place = [&](double shrink, auto&& at) {
        for (std::size_t k = 0; k < f.p.size(); ++k) {
            if (f.z2[k] <= w.cut) {
                const double x = std::max(0.0, mean + shrink * (f.z2[k] - mean)) / w.step;
                const double below = std::floor(x);
                at(static_cast<std::size_t>(below), f.p[k], x - below);
            }
        }
    };
    double shrink = 1;
    for (int round = 0; round < 3 && variance > 0; ++round) {
        double added = 0;
        place(shrink, [&](std::size_t, double p, double share) { added += p * share * (1 - share); });
        shrink = std::sqrt(std::max(0.0, 1 - added * w.step * w.step / mass / variance));
    }
    chances.assign(w.n, 0.0);
    place(shrink, [&](std::size_t point, double p, double share) {
        chances[point % w.n] += p * (1 - share);
        chances[(point + 1) % w.n] += p * share;
    });
    return 1 - mass;
}

}  // namespace

Scatter_distribution scatter_distribution(const Counts& counts, const Scatter_grid& grid) {
    const Window w = window_of(counts, grid);
    const std::vector<Complex> roots = roots_of(w.n);
    // The sum of the counts by the product of their transforms, so that it
    // comes out round the same circle, where the window holds all but 2
    // `left_out` of it. Two counts' transforms at once: one in the real
    // part, the other in the imaginary.
    std::vector<Complex> total(w.n, 1.0);
    double kept = 1;
    std::vector<double> one;
    std::vector<Complex> both(w.n);
    for (std::size_t i = 0; i < counts.size(); i += 2) {
        const bool pair = i + 1 < counts.size();
        std::fill(both.begin(), both.end(), Complex(0.0));
        for (std::size_t j = 0; j < (pair ? 2U : 1U); ++j) {
            const auto& [f, how_many] = counts[i + j];
            kept *= power(1 - std::min(1.0, one_count(*f, w, one)), how_many);
            for (std::size_t k = 0; k < w.n; ++k) {
                if (j == 0) {
                    both[k].real(one[k]);
                } else {
                    both[k].imag(one[k]);
                }
            }
        }
        fft(both, roots);
        for (std::size_t k = 0; k < w.n; ++k) {
            const Complex mirror = std::conj(both[(w.n - k) % w.n]);
            const Complex a = (both[k] + mirror) * 0.5;
            total[k] = times(total[k], power(a, counts[i].second));
            if (pair) {
                const Complex b = (both[k] - mirror) * Complex(0, -0.5);
                total[k] = times(total[k], power(b, counts[i + 1].second));
            }
        }
    }
    // Back: the transform of the conjugate.
    std::transform(total.begin(), total.end(), total.begin(), [](Complex z) { return std::conj(z); });
    fft(total, roots);
    Scatter_distribution d{
        .step = w.step, .first = w.first, .chance = std::vector<double>(w.points), .above = 1 - kept};
    for (std::size_t i = 0; i < w.points; ++i) {
        const auto at = static_cast<std::size_t>(w.first + static_cast<std::int64_t>(i)) % w.n;
        // The transforms' rounding leaves about 1e-16 on every point.
        d.chance[i] = std::max(0.0, total[at].real() / static_cast<double>(w.n));
    }
    return d;
}

}  // namespace counting_lab::grading
