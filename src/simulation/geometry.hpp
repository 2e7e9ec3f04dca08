// Geometry of the detector: which share of a point source's emissions
// reaches the circular window on whose axis the source stands.
#pragma once

namespace counting_lab {

/// Radius of the detector window, in cm.
inline constexpr double R = 1.0;

/// Solid angle in steradians, in [0, 2 pi], of the cone of directions that
/// are registered from a source at distance `d` cm from the window plane.
/// The rim of the window bounds the cone while the rim is nearer than the
/// cut-off distance `L` cm; past that the cone is narrowed to paths no longer
/// than `L`, and a window beyond `L` registers nothing (0). A source in the
/// window plane (d = 0) sees the whole half space, 2 pi.
/// Domain: d >= 0 and L > 0. Gives 0 for a negative, infinite or NaN d, and
/// for an L that is not above 0 or is NaN; never leaves [0, 2 pi].
double solid_angle(double d, double L);

}  // namespace counting_lab
