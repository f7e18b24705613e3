#pragma once
// Measured drag coefficients (a wind tunnel's, a flight's, the student's
// own) to draw as marks over the computed curves. A small text file: one
// point a line, its Mach number and drag coefficient separated by blanks,
// a tab, a comma or a semicolon. With a semicolon or a tab between them, a
// comma inside a number is its decimal mark, as a spreadsheet set to
// Portuguese writes CSV ("0,6;0,2987"). Blank lines and lines beginning with
// '#' are passed over; the first '#' line's text is the points' label. A
// first line that begins with a letter ("Mach,Cd") is a header.

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace grafico {

struct MeasuredPoint {
  double mach;
  double drag;
};

struct MeasuredSet {
  std::string label;  // UTF-8
  std::vector<MeasuredPoint> points;
};

// A file of measured points is a short list; a longer file is some other file.
inline constexpr std::size_t kMaxMeasuredBytes = std::size_t{1} << 20;

// The points of a file's text; default_label when it has no '#' line with
// text. Throws CurveError (its line, what is wrong) for a line that is not
// a point, and for a file without points (line 0).
MeasuredSet parse_measured_points(std::string_view text, const std::string& default_label);

// The file read and parsed, labelled by its name by default. Throws
// PlotError with the whole line: "FILE:LINE: what".
MeasuredSet read_measured_file(const std::filesystem::path& file);

// At most limit + 1 bytes of a regular file, so that a caller can tell a
// file longer than limit. Throws rt::RunError.
std::string read_whole_file(const std::string& utf8_name, std::size_t limit);

}  // namespace grafico
