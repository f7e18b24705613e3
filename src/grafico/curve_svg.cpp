#include "grafico/curve_svg.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "grafico/axis_ticks.hpp"
#include "grafico/svg_text.hpp"

namespace grafico {
namespace {

// Speed of a Mach number, as arrasto computes the speed column.
constexpr double kKmhPerMach = 1224.0;

// Page and plot area, in SVG user units (pixels). The page grows downwards
// by a line per note and per legend entry.
constexpr double kWidth = 800, kHeight = 560;
constexpr double kLeft = 90, kRight = 770, kTop = 110, kBottom = 480;
constexpr double kLineStep = 22;
constexpr double kTickLength = 6;
constexpr int kMaxIntervals = 10;

// A curve's look. The colours are Okabe and Ito's, told apart by
// colour-blind readers (their yellow left out: too pale on white); the dash
// patterns and markers tell the curves apart in a grey print.
enum class Marker { circle, square, triangle, diamond, triangle_down };
struct Style {
  const char* colour;
  const char* dashes;  // empty: a solid line
  Marker marker;
};
constexpr Style kStyles[] = {
    {"#0072B2", "", Marker::circle},       {"#D55E00", "9 4", Marker::square},
    {"#009E73", "2 3", Marker::triangle},  {"#CC79A7", "9 3 2 3", Marker::diamond},
    {"#E69F00", "5 5", Marker::triangle_down}, {"#56B4E9", "12 3 2 3 2 3", Marker::circle},
    {"#000000", "1 2", Marker::square},
};
constexpr std::size_t kStyleCount = sizeof kStyles / sizeof kStyles[0];

// A curve of up to this many points has every point marked; a denser one
// a mark every kMarkSpacing pixels or more, so that the line stays visible.
constexpr std::size_t kMarkEveryPointUpTo = 60;
constexpr double kMarkSpacing = 40;

// Measured points: black marks, none of them a curve's marker, each set
// its own shape.
enum class Mark { cross, plus, star, ring };
constexpr Mark kMarks[] = {Mark::cross, Mark::plus, Mark::star, Mark::ring};
constexpr std::size_t kMarkCount = sizeof kMarks / sizeof kMarks[0];

// The range below M0, shaded apart from the grey beyond Mach 1.
constexpr const char* kBelowFill = "#f6ead5";
constexpr const char* kBelowLine = "#a8792e";

// A number in the picture's Portuguese: a decimal comma.
std::string with_comma(std::string number) {
  std::replace(number.begin(), number.end(), '.', ',');
  return number;
}

// M0 in a text: three significant digits, a decimal comma.
std::string lowest_mach_text(double m0) {
  char buffer[32];
  const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, m0, std::chars_format::general, 3);
  return with_comma(error == std::errc{} ? std::string(buffer, end) : std::string("?"));
}

// Where v lies between lo and hi, 0 to 1; halves only where the span
// overflows.
double fraction(double v, double lo, double hi) {
  if (std::isfinite(hi - lo)) return (v - lo) / (hi - lo);
  return (v / 2 - lo / 2) / (hi / 2 - lo / 2);
}

struct Frame {
  Axis mach;
  Axis drag;
  Axis speed;
  double x(double mach_number) const { return kLeft + fraction(mach_number, mach.lo, mach.hi) * (kRight - kLeft); }
  double y(double drag_coefficient) const {
    return kBottom - fraction(drag_coefficient, drag.lo, drag.hi) * (kBottom - kTop);
  }
};

Frame frame_for(const std::vector<Curve>& curves, const std::vector<MeasuredSet>& measured) {
  double mach_lo = 0, mach_hi = 0, drag_lo = 0, drag_hi = 0;
  for (const Curve& c : curves) {
    const CurveSummary& s = c.summary;
    if (s.mach_lo <= s.mach_hi) mach_lo = std::min(mach_lo, s.mach_lo), mach_hi = std::max(mach_hi, s.mach_hi);
    if (s.drag_lo <= s.drag_hi) drag_lo = std::min(drag_lo, s.drag_lo), drag_hi = std::max(drag_hi, s.drag_hi);
  }
  for (const MeasuredSet& set : measured)
    for (const MeasuredPoint& p : set.points) {
      mach_hi = std::max(mach_hi, p.mach);
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

// The range from Mach 1 up, when the axis reaches it: the rounded-edge fin
// term is infinite at Mach 1, and nothing in the model is transonic.
void draw_beyond_subsonic(std::string& out, const Frame& f, double mach_hi) {
  if (!(mach_hi >= 1)) return;
  const double x1 = f.x(1);
  out += "<rect x=\"" + svg_number(x1) + "\" y=\"" + svg_number(kTop) + "\" width=\"" +
         svg_number(kRight - x1) + "\" height=\"" + svg_number(kBottom - kTop) + "\" fill=\"#ececec\"/>\n";
  out += "<g stroke=\"#777777\" stroke-width=\"1\" stroke-dasharray=\"4 3\">\n";
  line(out, x1, kTop, x1, kBottom);
  out += "</g>\n";
  const bool room = kRight - x1 >= 170;  // else the label goes left of the line
  text(out, room ? x1 + 6 : x1 - 6, kTop + 18, room ? "start" : "end", "além do modelo subsônico",
       " font-size=\"12\" fill=\"#555555\"");
}

// The range below M0, when the run's report gives it: there the fins'
// laminar run is longer than their chord (or the body's than the body), and
// the friction terms are outside their model.
void draw_below_lowest_mach(std::string& out, const Frame& f, double m0) {
  if (!(m0 > f.mach.lo)) return;
  const bool inside = m0 < f.mach.hi;
  const double x0 = inside ? f.x(m0) : kRight;
  out += "<rect x=\"" + svg_number(kLeft) + "\" y=\"" + svg_number(kTop) + "\" width=\"" +
         svg_number(x0 - kLeft) + "\" height=\"" + svg_number(kBottom - kTop) + "\" fill=\"" + kBelowFill + "\"/>\n";
  if (inside) {
    out += std::string("<g stroke=\"") + kBelowLine + "\" stroke-width=\"1\" stroke-dasharray=\"4 3\">\n";
    line(out, x0, kTop, x0, kBottom);
    out += "</g>\n";
  }
  const std::string label = std::isfinite(m0) ? "abaixo de M₀ = " + lowest_mach_text(m0) + ": atrito fora do modelo"
                                              : "nenhum número de Mach dentro do modelo de atrito";
  // Left of the line when the shaded range has room for the label, else
  // right of it, a line lower than the label of Mach 1.
  const bool room = x0 - kLeft >= 260;
  text(out, room ? x0 - 6 : x0 + 6, kTop + (room ? 18 : 36), room ? "end" : "start", label,
       std::string(" font-size=\"12\" fill=\"") + kBelowLine + "\"");
}

void draw_grid(std::string& out, const Frame& f) {
  out += "<g stroke=\"#dddddd\" stroke-width=\"1\">\n";
  for (const Tick& t : f.mach.ticks) line(out, f.x(t.value), kTop, f.x(t.value), kBottom);
  for (const Tick& t : f.drag.ticks) line(out, kLeft, f.y(t.value), kRight, f.y(t.value));
  out += "</g>\n";
  if (f.drag.lo < 0) {  // the zero line, which negative coefficients fall below
    out += "<g stroke=\"#888888\" stroke-width=\"1\">\n";
    line(out, kLeft, f.y(0), kRight, f.y(0));
    out += "</g>\n";
  }
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
  for (const Tick& t : f.mach.ticks) text(out, f.x(t.value), kBottom + 22, "middle", with_comma(t.label));
  for (const Tick& t : f.drag.ticks) text(out, kLeft - 10, f.y(t.value) + 4.5, "end", with_comma(t.label));
  for (const Tick& t : f.speed.ticks)
    text(out, f.x(t.value / kKmhPerMach), kTop - 12, "middle", with_comma(t.label));
  out += "</g>\n<g font-size=\"15\" fill=\"black\">\n";
  const double middle_x = (kLeft + kRight) / 2, middle_y = (kTop + kBottom) / 2;
  text(out, middle_x, kBottom + 50, "middle", "Número de Mach");
  text(out, middle_x, kTop - 36, "middle", "Velocidade (km/h)");
  text(out, 28, middle_y, "middle", "Coeficiente de arrasto",
       " transform=\"rotate(-90 28 " + svg_number(middle_y) + ")\"");
  out += "</g>\n";
}

// One marker centred on (x, y); hollow ones are white inside.
void marker(std::string& out, Marker shape, double x, double y, bool hollow) {
  const std::string fill = hollow ? " fill=\"white\"" : "";
  const auto at = [](double dx, double dy, double px, double py) {
    return svg_number(px + dx) + "," + svg_number(py + dy);
  };
  switch (shape) {
    case Marker::circle:
      out += "<circle cx=\"" + svg_number(x) + "\" cy=\"" + svg_number(y) + "\" r=\"3.5\"" + fill + "/>\n";
      return;
    case Marker::square:
      out += "<rect x=\"" + svg_number(x - 3.2) + "\" y=\"" + svg_number(y - 3.2) +
             "\" width=\"6.4\" height=\"6.4\"" + fill + "/>\n";
      return;
    case Marker::triangle:
      out += "<polygon points=\"" + at(0, -4.5, x, y) + " " + at(4, 3, x, y) + " " + at(-4, 3, x, y) + "\"" + fill + "/>\n";
      return;
    case Marker::diamond:
      out += "<polygon points=\"" + at(0, -4.5, x, y) + " " + at(4.5, 0, x, y) + " " + at(0, 4.5, x, y) + " " +
             at(-4.5, 0, x, y) + "\"" + fill + "/>\n";
      return;
    case Marker::triangle_down:
      out += "<polygon points=\"" + at(0, 4.5, x, y) + " " + at(4, -3, x, y) + " " + at(-4, -3, x, y) + "\"" + fill + "/>\n";
      return;
  }
}

// A measured point's mark centred on (x, y), in a group that strokes black.
void mark(std::string& out, Mark shape, double x, double y) {
  const auto segment = [&](double dx1, double dy1, double dx2, double dy2) {
    line(out, x + dx1, y + dy1, x + dx2, y + dy2);
  };
  switch (shape) {
    case Mark::cross:
      segment(-4.5, -4.5, 4.5, 4.5), segment(-4.5, 4.5, 4.5, -4.5);
      return;
    case Mark::plus:
      segment(-5.5, 0, 5.5, 0), segment(0, -5.5, 0, 5.5);
      return;
    case Mark::star:
      segment(-5.5, 0, 5.5, 0), segment(0, -5.5, 0, 5.5);
      segment(-4, -4, 4, 4), segment(-4, 4, 4, -4);
      return;
    case Mark::ring:
      out += "<circle cx=\"" + svg_number(x) + "\" cy=\"" + svg_number(y) + "\" r=\"4.5\" fill=\"white\"/>\n";
      return;
  }
}

void draw_measured(std::string& out, const Frame& f, const std::vector<MeasuredSet>& measured) {
  if (measured.empty()) return;
  out += "<g stroke=\"black\" stroke-width=\"2\">\n";
  for (std::size_t i = 0; i < measured.size(); ++i)
    for (const MeasuredPoint& p : measured[i].points) mark(out, kMarks[i % kMarkCount], f.x(p.mach), f.y(p.drag));
  out += "</g>\n";
}

// The curve's points reduced to the plot's pixel columns, joined in file
// order, one polyline per run of points without a gap; marks on the points
// with a negative coefficient (hollow) and on the others as kMarkEveryPointUpTo says.
void draw_curve_lines(std::string& out, const Frame& f, const Curve& curve, const Style& style) {
  const std::vector<KeptPoint> points =
      reduce_to_pixels(curve.points, [&](double mach) { return static_cast<std::int64_t>(std::floor(f.x(mach))); });
  out += std::string("<g fill=\"none\" stroke=\"") + style.colour + "\" stroke-width=\"2\" stroke-linejoin=\"round\"";
  if (*style.dashes != '\0') out += std::string(" stroke-dasharray=\"") + style.dashes + "\"";
  out += ">\n";
  for (std::size_t i = 0; i < points.size();) {
    std::size_t end = i + 1;
    while (end < points.size() && !gap_between(points[end - 1], points[end])) ++end;
    if (end - i >= 2) {
      out += "<polyline points=\"";
      for (std::size_t k = i; k < end; ++k) {
        if (k > i) out += ' ';
        out += svg_number(f.x(points[k].mach)) + "," + svg_number(f.y(points[k].drag));
      }
      out += "\"/>\n";
    }
    i = end;
  }
  out += std::string("</g>\n<g fill=\"") + style.colour + "\" stroke=\"" + style.colour + "\" stroke-width=\"1.5\">\n";
  const bool every = points.size() <= kMarkEveryPointUpTo;
  double last_mark = -1e9;
  for (const KeptPoint& p : points) {
    const double x = f.x(p.mach);
    const bool negative = p.drag < 0;
    if (!negative && !every && x - last_mark < kMarkSpacing) continue;
    if (!negative) last_mark = x;
    marker(out, style.marker, x, f.y(p.drag), negative);
  }
  out += "</g>\n";
}

// The curve; in a comparison, its stretch below its own M0 pale (drawn
// twice, each copy clipped to its side of M0) and M0 marked on the Mach
// axis in its colour.
void draw_curve(std::string& out, const Frame& f, const Curve& curve, const Style& style, std::size_t index,
                bool pale_below_lowest_mach) {
  const double m0 = curve.lowest_mach.value_or(0);
  if (!pale_below_lowest_mach || !(m0 > f.mach.lo)) {
    draw_curve_lines(out, f, curve, style);
    return;
  }
  const bool inside = m0 < f.mach.hi;
  const double x0 = inside ? f.x(m0) : kRight;
  const std::string id = "m0-" + std::to_string(index);
  const auto clip = [&](const char* side, double x1, double x2) {
    out += "<clipPath id=\"" + id + side + "\"><rect x=\"" + svg_number(x1) + "\" y=\"0\" width=\"" +
           svg_number(x2 - x1) + "\" height=\"100000\"/></clipPath>\n";
  };
  out += "<defs>\n";
  clip("-abaixo", 0, x0);
  clip("-acima", x0, kWidth);
  out += "</defs>\n";
  std::string lines;
  draw_curve_lines(lines, f, curve, style);
  out += "<g clip-path=\"url(#" + id + "-acima)\">\n" + lines + "</g>\n";
  out += "<g clip-path=\"url(#" + id + "-abaixo)\" opacity=\"0.3\">\n" + lines + "</g>\n";
  if (inside)
    out += std::string("<polygon points=\"") + svg_number(x0) + "," + svg_number(kBottom - 9) + " " +
           svg_number(x0 + 5) + "," + svg_number(kBottom) + " " + svg_number(x0 - 5) + "," + svg_number(kBottom) +
           "\" fill=\"" + style.colour + "\"/>\n";
}

std::string count_of(std::uint64_t n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

// The note on the points outside the model's range, a line per kind of
// point so that it fits under the plot; none when there are none. X in
// "abaixo de Mach X" is the largest Mach number of a negative point rounded
// up to one significant digit, strictly above it: a plain number that every
// negative point lies below (with arrasto's even sweep often the first Mach
// number whose coefficient is positive again). The model's range does not
// begin at X but at M0, higher up, which a last line says.
std::vector<std::string> note_of(const Curve& c) {
  const CurveSummary& s = c.summary;
  std::vector<std::string> lines;
  if (s.negative > 0)
    lines.push_back(count_of(s.negative, "ponto", "pontos") + " com coeficiente negativo, " +
                    (s.negative_mach_max > 0 ? "abaixo de Mach " + with_comma(one_digit_above(s.negative_mach_max))
                                             : "até Mach " + with_comma(svg_number(s.negative_mach_max))));
  if (s.not_finite > 0) {
    if (!lines.empty()) lines.back() += ", e";
    lines.push_back(count_of(s.not_finite, "ponto não finito", "pontos não finitos") + " (lacunas na curva)");
  }
  if (!lines.empty()) lines.back() += ": fora da validade do modelo";
  if (s.negative > 0) {
    if (c.lowest_mach && std::isfinite(*c.lowest_mach))
      lines.push_back("(o modelo vale só a partir de M₀ = " + lowest_mach_text(*c.lowest_mach) + ")");
    else if (!c.lowest_mach)
      lines.push_back("(o modelo vale só a partir de M₀, mais acima: veja o relatório da rodada)");
  }
  return lines;
}

// The legend's text of a curve: its run name and its M0.
std::string legend_of(const Curve& c) {
  if (!c.lowest_mach) return c.name;
  return c.name + (std::isfinite(*c.lowest_mach) ? " (M₀ = " + lowest_mach_text(*c.lowest_mach) + ")"
                                                 : " (nenhum ponto dentro do modelo)");
}

std::string svg_document(const std::vector<Curve>& curves, const std::vector<MeasuredSet>& measured,
                         const std::string& title, bool legend) {
  std::vector<std::string> notes;
  for (const Curve& c : curves) {
    std::vector<std::string> lines = note_of(c);
    if (legend && !lines.empty()) lines.front().insert(0, c.name + ": ");
    for (const std::string& l : lines) notes.push_back(xml_escaped(l));
  }
  const bool pale = legend && std::any_of(curves.begin(), curves.end(), [](const Curve& c) { return c.lowest_mach; });
  if (pale) notes.push_back("Traço claro: abaixo do M₀ da curva (marcado no eixo de Mach), onde o atrito sai do seu modelo");
  const std::size_t lines = notes.size() + (legend ? curves.size() : 0) + measured.size();
  const double height = kHeight + (lines > 0 ? 10 + kLineStep * static_cast<double>(lines) : 0);
  const Frame f = frame_for(curves, measured);
  std::string out =
      "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n"
      "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" + svg_number(kWidth) +
      "\" height=\"" + svg_number(height) + "\" viewBox=\"0 0 " + svg_number(kWidth) + " " +
      svg_number(height) + "\" font-family=\"sans-serif\">\n<title>" + xml_escaped(title) + "</title>\n" +
      "<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n";
  double mach_hi = f.mach.lo;
  for (const Curve& c : curves)
    if (c.summary.mach_lo <= c.summary.mach_hi) mach_hi = std::max(mach_hi, c.summary.mach_hi);
  for (const MeasuredSet& set : measured)
    for (const MeasuredPoint& p : set.points) mach_hi = std::max(mach_hi, p.mach);
  if (!legend && curves.size() == 1 && curves[0].lowest_mach) draw_below_lowest_mach(out, f, *curves[0].lowest_mach);
  draw_beyond_subsonic(out, f, mach_hi);
  draw_grid(out, f);
  draw_axes(out, f);
  text(out, kWidth / 2, 34, "middle", xml_escaped(title), " font-size=\"20\" font-weight=\"bold\"");
  const bool any = std::any_of(curves.begin(), curves.end(), [](const Curve& c) { return c.summary.any_drawn(); });
  if (!any) {
    const bool none = std::all_of(curves.begin(), curves.end(), [](const Curve& c) { return c.summary.points == 0; });
    text(out, (kLeft + kRight) / 2, (kTop + kBottom) / 2, "middle", none ? "sem pontos" : "sem pontos finitos",
         " font-size=\"18\" fill=\"#777777\"");
  }
  for (std::size_t i = 0; i < curves.size(); ++i) draw_curve(out, f, curves[i], kStyles[i % kStyleCount], i, legend);
  draw_measured(out, f, measured);

  double y = kHeight + 10;
  out += "<g font-size=\"13\" fill=\"black\">\n";
  for (const std::string& note : notes) text(out, kLeft, y, "start", note), y += kLineStep;
  out += "</g>\n";
  if (legend) {
    for (std::size_t i = 0; i < curves.size(); ++i, y += kLineStep) {
      const Style& style = kStyles[i % kStyleCount];
      out += std::string("<g stroke=\"") + style.colour + "\" fill=\"" + style.colour + "\" stroke-width=\"2\"";
      if (*style.dashes != '\0') out += std::string(" stroke-dasharray=\"") + style.dashes + "\"";
      out += ">\n";
      line(out, kLeft, y - 4.5, kLeft + 44, y - 4.5);
      out += "</g>\n<g fill=\"" + std::string(style.colour) + "\" stroke=\"" + style.colour + "\" stroke-width=\"1.5\">\n";
      marker(out, style.marker, kLeft + 22, y - 4.5, false);
      out += "</g>\n";
      text(out, kLeft + 54, y, "start", xml_escaped(legend_of(curves[i])), " font-size=\"13\"");
    }
  }
  for (std::size_t i = 0; i < measured.size(); ++i, y += kLineStep) {
    out += "<g stroke=\"black\" stroke-width=\"2\">\n";
    mark(out, kMarks[i % kMarkCount], kLeft + 22, y - 4.5);
    out += "</g>\n";
    text(out, kLeft + 54, y, "start", xml_escaped(measured[i].label), " font-size=\"13\"");
  }
  out += "</svg>\n";
  return out;
}

}  // namespace

std::string curve_svg(const Curve& curve, const std::vector<MeasuredSet>& measured) {
  return svg_document({curve}, measured, curve.name, false);
}

std::string comparison_svg(const std::vector<Curve>& curves, const std::vector<MeasuredSet>& measured) {
  return svg_document(curves, measured, "Comparação de coeficientes de arrasto", true);
}

}  // namespace grafico
