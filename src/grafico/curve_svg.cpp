#include "grafico/curve_svg.hpp"

#include <algorithm>
#include <cmath>

#include "grafico/axis_ticks.hpp"
#include "grafico/svg_text.hpp"

namespace grafico {
namespace {

// Speed of a Mach number, as arrasto computes the speed column.
constexpr double kKmhPerMach = 1224.0;

// Page and plot area, in SVG user units (pixels).
constexpr double kWidth = 800, kHeight = 560;
constexpr double kLeft = 90, kRight = 770, kTop = 110, kBottom = 480;
constexpr double kTickLength = 6;
constexpr int kMaxIntervals = 10;
constexpr const char* kCurveColour = "#1f5fbf";

bool drawable(const CurvePoint& p) { return std::isfinite(p.mach) && std::isfinite(p.drag); }

// Where v lies between lo and hi, 0 to 1; halves keep wide ranges finite.
double fraction(double v, double lo, double hi) { return (v / 2 - lo / 2) / (hi / 2 - lo / 2); }

struct Frame {
  Axis mach;
  Axis drag;
  Axis speed;
  double x(double mach_number) const { return kLeft + fraction(mach_number, mach.lo, mach.hi) * (kRight - kLeft); }
  double y(double drag_coefficient) const {
    return kBottom - fraction(drag_coefficient, drag.lo, drag.hi) * (kBottom - kTop);
  }
};

Frame frame_for(const std::vector<CurvePoint>& points) {
  double mach_lo = 0, mach_hi = 0, drag_lo = 0, drag_hi = 0;
  for (const CurvePoint& p : points) {
    if (!drawable(p)) continue;
    mach_lo = std::min(mach_lo, p.mach), mach_hi = std::max(mach_hi, p.mach);
    drag_lo = std::min(drag_lo, p.drag), drag_hi = std::max(drag_hi, p.drag);
  }
  Frame f;
  f.mach = axis_from_zero(mach_lo, mach_hi, kMaxIntervals);
  f.drag = axis_from_zero(drag_lo, drag_hi, kMaxIntervals);
  // The top scale shows the same range in km/h; its labels are wider, so
  // fewer of them.
  f.speed = ticks_within(f.mach.lo * kKmhPerMach, f.mach.hi * kKmhPerMach, kMaxIntervals / 2 + 2);
  return f;
}

void text(std::string& out, double x, double y, const char* anchor, const std::string& escaped,
          const std::string& extra = "") {
  out += "<text x=\"" + svg_number(x) + "\" y=\"" + svg_number(y) + "\" text-anchor=\"" + anchor +
         "\"" + extra + ">" + escaped + "</text>\n";
}

void line(std::string& out, double x1, double y1, double x2, double y2) {
  out += "<line x1=\"" + svg_number(x1) + "\" y1=\"" + svg_number(y1) + "\" x2=\"" +
         svg_number(x2) + "\" y2=\"" + svg_number(y2) + "\"/>\n";
}

void draw_grid(std::string& out, const Frame& f) {
  out += "<g stroke=\"#dddddd\" stroke-width=\"1\">\n";
  for (const Tick& t : f.mach.ticks) line(out, f.x(t.value), kTop, f.x(t.value), kBottom);
  for (const Tick& t : f.drag.ticks) line(out, kLeft, f.y(t.value), kRight, f.y(t.value));
  out += "</g>\n";
}

void draw_axes(std::string& out, const Frame& f) {
  out += "<rect x=\"" + svg_number(kLeft) + "\" y=\"" + svg_number(kTop) + "\" width=\"" +
         svg_number(kRight - kLeft) + "\" height=\"" + svg_number(kBottom - kTop) +
         "\" fill=\"none\" stroke=\"black\" stroke-width=\"1\"/>\n";
  out += "<g stroke=\"black\" stroke-width=\"1\">\n";
  for (const Tick& t : f.mach.ticks) line(out, f.x(t.value), kBottom, f.x(t.value), kBottom + kTickLength);
  for (const Tick& t : f.drag.ticks) line(out, kLeft - kTickLength, f.y(t.value), kLeft, f.y(t.value));
  for (const Tick& t : f.speed.ticks) {
    const double x = f.x(t.value / kKmhPerMach);
    line(out, x, kTop - kTickLength, x, kTop);
  }
  out += "</g>\n<g font-size=\"13\" fill=\"black\">\n";
  for (const Tick& t : f.mach.ticks) text(out, f.x(t.value), kBottom + 22, "middle", t.label);
  for (const Tick& t : f.drag.ticks) text(out, kLeft - 10, f.y(t.value) + 4.5, "end", t.label);
  for (const Tick& t : f.speed.ticks) text(out, f.x(t.value / kKmhPerMach), kTop - 12, "middle", t.label);
  out += "</g>\n<g font-size=\"15\" fill=\"black\">\n";
  const double middle_x = (kLeft + kRight) / 2, middle_y = (kTop + kBottom) / 2;
  text(out, middle_x, kBottom + 50, "middle", "Número de Mach");
  text(out, middle_x, kTop - 36, "middle", "Velocidade (km/h)");
  text(out, 28, middle_y, "middle", "Coeficiente de arrasto",
       " transform=\"rotate(-90 28 " + svg_number(middle_y) + ")\"");
  out += "</g>\n";
}

// One polyline per run of drawable points, so that a point that is not
// drawn leaves a gap; a mark on every drawable point.
void draw_curve(std::string& out, const Frame& f, const std::vector<CurvePoint>& points) {
  out += std::string("<g fill=\"none\" stroke=\"") + kCurveColour +
         "\" stroke-width=\"2\" stroke-linejoin=\"round\">\n";
  for (std::size_t i = 0; i < points.size();) {
    std::size_t end = i;
    while (end < points.size() && drawable(points[end])) ++end;
    if (end - i >= 2) {
      out += "<polyline points=\"";
      for (std::size_t k = i; k < end; ++k) {
        if (k > i) out += ' ';
        out += svg_number(f.x(points[k].mach)) + "," + svg_number(f.y(points[k].drag));
      }
      out += "\"/>\n";
    }
    i = std::max(end, i + 1);
  }
  out += std::string("</g>\n<g fill=\"") + kCurveColour + "\">\n";
  for (const CurvePoint& p : points)
    if (drawable(p))
      out += "<circle cx=\"" + svg_number(f.x(p.mach)) + "\" cy=\"" + svg_number(f.y(p.drag)) + "\" r=\"3.5\"/>\n";
  out += "</g>\n";
}

}  // namespace

std::string curve_svg(const std::vector<CurvePoint>& points, std::string_view run_name) {
  const Frame f = frame_for(points);
  const std::string title = xml_escaped(run_name);
  std::string out =
      "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n"
      "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" + svg_number(kWidth) +
      "\" height=\"" + svg_number(kHeight) + "\" viewBox=\"0 0 " + svg_number(kWidth) + " " +
      svg_number(kHeight) + "\" font-family=\"sans-serif\">\n<title>" + title + "</title>\n" +
      "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
  draw_grid(out, f);
  draw_axes(out, f);
  text(out, kWidth / 2, 34, "middle", title, " font-size=\"20\" font-weight=\"bold\"");
  const bool any = std::any_of(points.begin(), points.end(), drawable);
  if (any)
    draw_curve(out, f, points);
  else
    text(out, (kLeft + kRight) / 2, (kTop + kBottom) / 2, "middle",
         points.empty() ? "sem pontos" : "sem pontos finitos", " font-size=\"18\" fill=\"#777777\"");
  out += "</svg>\n";
  return out;
}

}  // namespace grafico
