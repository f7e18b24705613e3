#include "grafico/curve_reduce.hpp"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace grafico {
namespace {

bool earlier(const KeptPoint& a, const KeptPoint& b) { return a.order < b.order; }

// Column numbers stay well inside 64-bit integers.
constexpr double kMaxColumnNumber = 0x1p52;

}  // namespace

void ColumnExtremes::merge(Extremes& into, const Extremes& other) {
  if (earlier(other.first, into.first)) into.first = other.first;
  if (earlier(into.last, other.last)) into.last = other.last;
  // On a tie the earlier point stays, so the result does not depend on
  // the order of merging.
  if (other.low.drag < into.low.drag || (other.low.drag == into.low.drag && earlier(other.low, into.low)))
    into.low = other.low;
  if (other.high.drag > into.high.drag || (other.high.drag == into.high.drag && earlier(other.high, into.high)))
    into.high = other.high;
}

void ColumnExtremes::add(std::int64_t column, const KeptPoint& point) {
  const Extremes single{point, point, point, point};
  const auto [at, inserted] = columns_.try_emplace(column, single);
  if (!inserted) merge(at->second, single);
}

void ColumnExtremes::halve() {
  std::map<std::int64_t, Extremes> wider;
  for (const auto& [column, extremes] : columns_) {
    const auto [at, inserted] = wider.try_emplace(column >> 1, extremes);  // floor, also below 0
    if (!inserted) merge(at->second, extremes);
  }
  columns_ = std::move(wider);
}

std::vector<KeptPoint> ColumnExtremes::points() const {
  std::vector<KeptPoint> out;
  out.reserve(columns_.size() * 4);
  for (const auto& [column, e] : columns_)
    for (const KeptPoint& p : {e.first, e.last, e.low, e.high}) out.push_back(p);
  std::sort(out.begin(), out.end(), earlier);
  out.erase(std::unique(out.begin(), out.end(), [](const auto& a, const auto& b) { return a.order == b.order; }),
            out.end());
  return out;
}

bool CurveReducer::column_of(double mach, std::int64_t& column) const {
  const double scaled = std::floor(std::ldexp(mach, -exponent_));  // exact: a power of two
  if (!(std::fabs(scaled) < kMaxColumnNumber)) return false;
  column = static_cast<std::int64_t>(scaled);
  return true;
}

void CurveReducer::add(const CurvePoint& point) {
  CurveSummary& s = summary_;
  const std::uint64_t order = s.points++;
  if (std::isfinite(point.mach)) {
    const bool first = !(s.mach_lo <= s.mach_hi);
    s.mach_lo = first ? point.mach : std::min(s.mach_lo, point.mach);
    s.mach_hi = first ? point.mach : std::max(s.mach_hi, point.mach);
  }
  if (!std::isfinite(point.mach) || !std::isfinite(point.drag)) {
    ++s.not_finite;
    return;
  }
  if (columns_.size() == 0) {
    // Columns start about 2^-30 of the first Mach number wide, or as narrow
    // as a double allows for Mach 0.
    exponent_ = point.mach == 0 ? DBL_MIN_EXP - DBL_MANT_DIG : std::ilogb(point.mach) - 30;
    s.drag_lo = s.drag_hi = point.drag;
  }
  s.drag_lo = std::min(s.drag_lo, point.drag), s.drag_hi = std::max(s.drag_hi, point.drag);
  if (point.drag < 0) {
    s.negative_mach_max = s.negative == 0 ? point.mach : std::max(s.negative_mach_max, point.mach);
    ++s.negative;
  }
  std::int64_t column = 0;
  while (!column_of(point.mach, column)) {
    columns_.halve();
    ++exponent_;
  }
  columns_.add(column, {point.mach, point.drag, order, s.not_finite});
  while (columns_.size() > kMaxColumns) {
    columns_.halve();
    ++exponent_;
  }
}

}  // namespace grafico
