#pragma once
// Reading a first curve file: a header line, then one line per sweep point
// holding three numbers (Mach number, speed in km/h, drag coefficient) in
// the list-directed form arrasto writes them.

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace grafico {

struct CurvePoint {
  double mach;
  double speed_kmh;
  double drag;
};

// A line that cannot be read; line() counts from 1.
class CurveError : public std::runtime_error {
 public:
  CurveError(std::size_t line, const std::string& what)
      : std::runtime_error(what), line_(line) {}
  std::size_t line() const { return line_; }

 private:
  std::size_t line_;
};

// The points of a curve file's contents, in file order. Lines end in LF or
// CR LF; the numbers may stand anywhere on their line, separated by blanks.
// Blank lines are passed over. Throws CurveError.
std::vector<CurvePoint> read_curve(std::string_view text);

}  // namespace grafico
