#pragma once
// Drag curves as a self-contained SVG 1.1 document in UTF-8: drag
// coefficient against Mach number, with the speed in km/h along the top.
// Points not drawn (infinite or NaN) break the line; points with a negative
// coefficient are marked hollow; notes under the plot count both. The
// model's range shows: the range from Mach 1 up, beyond the subsonic
// model, is shaded, and so is the range below M0, where the friction terms
// leave their model, when the run's report gives M0. Measured points are
// drawn as black marks over the curves, with a legend entry. The texts are
// Portuguese, their numbers with a decimal comma.

#include <optional>
#include <string>
#include <vector>

#include "grafico/curve_reduce.hpp"
#include "grafico/measured_points.hpp"

namespace grafico {

struct Curve {
  std::string name;  // the run name, UTF-8
  CurveSummary summary;
  std::vector<KeptPoint> points;  // as a CurveReducer keeps them
  std::optional<double> lowest_mach;  // M0, from the run's report
};

// One curve, its run name the title.
std::string curve_svg(const Curve& curve, const std::vector<MeasuredSet>& measured = {});

// Several curves in one picture, each in its own colour, dash pattern and
// marker, with a legend of their run names. A curve's stretch below its own
// M0 is drawn pale, and M0 marked on the Mach axis in the curve's colour.
std::string comparison_svg(const std::vector<Curve>& curves,
                           const std::vector<MeasuredSet>& measured = {});

}  // namespace grafico
