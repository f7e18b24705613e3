#pragma once
// Drag curves as a self-contained SVG 1.1 document in UTF-8: drag
// coefficient against Mach number, with the speed in km/h along the top.
// Points not drawn (infinite or NaN) break the line; points with a negative
// coefficient are marked hollow; notes under the plot count both, and the
// range from Mach 1 up, beyond the subsonic model, is shaded.

#include <string>
#include <vector>

#include "grafico/curve_reduce.hpp"

namespace grafico {

struct Curve {
  std::string name;  // the run name, UTF-8
  CurveSummary summary;
  std::vector<KeptPoint> points;  // as a CurveReducer keeps them
};

// One curve, its run name the title.
std::string curve_svg(const Curve& curve);

// Several curves in one picture, each in its own colour, dash pattern and
// marker, with a legend of their run names.
std::string comparison_svg(const std::vector<Curve>& curves);

}  // namespace grafico
