#include "grafico/curve_csv.hpp"

#include <charconv>
#include <cmath>
#include <vector>

#include "grafico/curve_file.hpp"
#include "grafico/plot_files.hpp"
#include "grafico/svg_text.hpp"
#include "runtime/platform/platform.hpp"
#include "runtime/run_error.hpp"

namespace grafico {
namespace {

void append_number(std::string& out, double x) {
  char text[64];
  const auto end = std::to_chars(text, text + sizeof text, x).ptr;
  out.append(text, end);
}

}  // namespace

void write_curve_csv(const std::string& curve_name, const std::string& csv_name,
                     double hold_below) {
  std::vector<CurvePoint> points;
  try {
    rt::InputFile in(curve_name);
    CurveReader reader([&in](char* buffer, std::size_t size) { return in.read(buffer, size); });
    while (const auto point = reader.next()) points.push_back(*point);
  } catch (const CurveError& error) {
    throw PlotError(shown_name(std::u8string(curve_name.begin(), curve_name.end())) + ":" + std::to_string(error.line()) + ": " + error.what());
  } catch (const rt::RunError& error) {
    throw PlotError(error.what());
  }

  // The held value: the drag coefficient of the first point from M0 up.
  const bool hold = !std::isnan(hold_below);
  const CurvePoint* first_valid = nullptr;
  for (const CurvePoint& p : points)
    if (hold && p.mach >= hold_below) {
      first_valid = &p;
      break;
    }
  std::string out = "Mach,Cd";
  if (hold && first_valid != nullptr) {
    out += " held below the lowest valid Mach number M0 = ";
    append_number(out, hold_below);
    out += " at ";
    append_number(out, first_valid->drag);
    out += " (its value at Mach ";
    append_number(out, first_valid->mach);
    out += ")";
  } else if (hold) {
    out += " (nothing held: no point at or above the lowest valid Mach number M0 = ";
    append_number(out, hold_below);
    out += ")";
  }
  out += '\n';
  for (const CurvePoint& p : points) {
    append_number(out, p.mach);
    out += ',';
    append_number(out, first_valid != nullptr && p.mach < hold_below ? first_valid->drag : p.drag);
    out += '\n';
  }

  try {
    rt::OutputFile csv(csv_name);
    csv.write(out.data(), out.size());
    csv.commit();
  } catch (const rt::RunError& error) {
    throw PlotError(error.what());
  }
}

}  // namespace grafico
