#pragma once
// A curve reduced to what a picture can show. Its points stream past once;
// what is kept is bounded whatever their number: per narrow column of Mach
// numbers the first, last, lowest and highest point (in file order), so
// that no spike is lost, and the counts and ranges the picture's axes and
// notes need.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "grafico/curve_file.hpp"

namespace grafico {

struct KeptPoint {
  double mach;
  double drag;
  std::uint64_t order;          // place in the file, from 0
  std::uint64_t gaps_before;    // points not drawn that came before it
};

// Between two kept points the line breaks when a point that is not drawn
// came between them.
inline bool gap_between(const KeptPoint& a, const KeptPoint& b) { return a.gaps_before != b.gaps_before; }

// What a stream of points adds up to. The Mach range is that of the finite
// Mach numbers, so that it reaches points whose coefficient is not a
// number; the coefficient's range that of the drawn points. A range with
// nothing in it has lo > hi.
struct CurveSummary {
  std::uint64_t points = 0;
  std::uint64_t negative = 0;       // drawn, drag coefficient below 0
  std::uint64_t not_finite = 0;     // Mach number or coefficient infinite or NaN: not drawn
  double negative_mach_max = 0;     // the largest Mach number of a negative point
  double mach_lo = 1, mach_hi = 0;
  double drag_lo = 1, drag_hi = 0;
  bool any_drawn() const { return points > not_finite; }
};

// Points grouped by a whole-number column; each group keeps its first,
// last, lowest and highest point.
class ColumnExtremes {
 public:
  void add(std::int64_t column, const KeptPoint& point);
  // Columns twice as wide: column c becomes floor(c / 2).
  void halve();
  std::size_t size() const { return columns_.size(); }
  // The points kept, each once, in file order.
  std::vector<KeptPoint> points() const;

 private:
  struct Extremes {
    KeptPoint first, last, low, high;
  };
  static void merge(Extremes& into, const Extremes& other);
  std::map<std::int64_t, Extremes> columns_;
};

// Takes the points in file order. The columns are 2^k wide in Mach number,
// k growing as the points spread, so that there are never more than
// kMaxColumns of them: a picture of under kMaxColumns / 2 pixels across
// then has columns narrower than half a pixel, and reducing again to its
// own pixel columns (reduce_to_pixels) loses nothing it could show.
class CurveReducer {
 public:
  static constexpr std::size_t kMaxColumns = 4096;

  void add(const CurvePoint& point);
  const CurveSummary& summary() const { return summary_; }
  std::vector<KeptPoint> points() const { return columns_.points(); }

 private:
  bool column_of(double mach, std::int64_t& column) const;

  CurveSummary summary_;
  ColumnExtremes columns_;
  int exponent_ = 0;  // columns are 2^exponent_ wide
};

// The points kept per pixel column, where pixel(mach) is the column a Mach
// number falls in.
template <typename Pixel>
std::vector<KeptPoint> reduce_to_pixels(const std::vector<KeptPoint>& points, Pixel pixel) {
  ColumnExtremes columns;
  for (const KeptPoint& p : points) columns.add(pixel(p.mach), p);
  return columns.points();
}

}  // namespace grafico
