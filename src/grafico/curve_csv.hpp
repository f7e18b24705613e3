#pragma once
// A first curve file as CSV for trajectory simulators: one header line,
// then "Mach,Cd" per point, in UTF-8 with a decimal point, each number in
// the fewest digits that read back as the same double.

#include <string>

namespace grafico {

// Reads the curve file curve_name and writes its CSV to csv_name (both
// through the runtime's files, the CSV replacing an older one only when
// complete). With a hold_below that is not a NaN (the model's lowest valid
// Mach number M0, infinite when no Mach number is inside the model), every
// point below it takes the drag coefficient of the first point at or above
// it, and the header line says so, or that no point could be held to.
// Throws PlotError
// naming the file (and line) at fault; nothing is then written.
void write_curve_csv(const std::string& curve_name, const std::string& csv_name,
                     double hold_below);

}  // namespace grafico
