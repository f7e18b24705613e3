#pragma once
// The drag curve as a self-contained SVG 1.1 document in UTF-8: drag
// coefficient against Mach number, with the speed in km/h along the top.

#include <string>
#include <string_view>
#include <vector>

#include "grafico/curve_file.hpp"

namespace grafico {

// run_name (UTF-8) is the title. Points with an infinite or NaN Mach number
// or drag coefficient are not drawn and break the line.
std::string curve_svg(const std::vector<CurvePoint>& points, std::string_view run_name);

}  // namespace grafico
