#include "simulation/lab.hpp"

namespace counting_lab {

double source_rate(const Source& source) { return source.activity_bq / 2.0; }

// 12.566370614359172 is 4 pi, the whole sphere.
double distance_rate(double d_cm) { return solid_angle(d_cm, cut_off_cm) * distance_source_bq / 12.566370614359172; }

}  // namespace counting_lab
