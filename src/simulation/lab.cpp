#include "simulation/lab.hpp"

namespace counting_lab {

double source_rate(const Source& source) { return source.activity_bq / 2.0; }

double setting_rate(int source, double d_cm) {
    if (source == 0) {
        return distance_rate(d_cm);
    }
    if (source < 1 || source > static_cast<int>(sources.size())) {
        return 0;
    }
    return source_rate(sources[static_cast<std::size_t>(source - 1)]);
}

// 12.566370614359172 is 4 pi, the whole sphere.
double distance_rate(double d_cm) { return solid_angle(d_cm, cut_off_cm) * distance_source_bq / 12.566370614359172; }

}  // namespace counting_lab
