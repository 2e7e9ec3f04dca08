#include "simulation/geometry.hpp"

#include <cmath>

namespace counting_lab {

double solid_angle(double d, double L) {
    if (!(d >= 0) || !(L > 0) || std::isinf(d)) {
        return 0.0;
    }
    if (d > L) {  // the window lies beyond the cut-off (d > L > 0)
        return 0.0;
    }
    const double rim_cm = std::hypot(d, R);  // d * d would overflow for a huge d
    const double slant_cm = L > rim_cm ? rim_cm : L;
    return 6.283185307179586 * (1 - d / slant_cm);
}

}  // namespace counting_lab
