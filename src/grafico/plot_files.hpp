#pragma once
// From curve files on disk to SVG files.

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "grafico/measured_points.hpp"

namespace grafico {

// A file that could not be drawn; what() is the whole one-line message,
// beginning with the file name (and line number when a line is at fault).
class PlotError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The names of the first curve files in the working folder: beginning
// "Curva1_", not ending ".svg", regular files; sorted by their bytes.
// Throws PlotError when the folder cannot be read.
std::vector<std::filesystem::path> curve_file_names();

// The run name a curve file's name carries (what follows "Curva1_"), UTF-8;
// the whole file name when it does not begin so.
std::string run_name_of(const std::filesystem::path& file);

// The SVG file drawn from file: its name with ".svg" added.
std::filesystem::path svg_name_for(const std::filesystem::path& file);

// A file's name as error lines show it: as given, or its last part when
// the whole is too long to be shown whole (a path dropped on the .exe).
std::string shown_name(const std::filesystem::path& file);

// Whether text, the beginning of a file, is that of an SVG picture: after
// the XML declaration, comments and document type, an <svg> element.
bool is_svg_picture(std::string_view text);

// Reads file and writes its drawing to svg_name_for(file), with the
// measured points over it. Throws PlotError; nothing is then written and
// an older drawing stays.
void plot_curve_file(const std::filesystem::path& file, const std::vector<MeasuredSet>& measured = {});

// Draws every file's curve in one picture, written to output, with the
// measured points over them. Throws PlotError when any file cannot be
// read; nothing is then written.
void plot_comparison(const std::filesystem::path& output, const std::vector<std::filesystem::path>& files,
                     const std::vector<MeasuredSet>& measured = {});

// A picture replaces only an older SVG picture: plot_curve_file and
// plot_comparison refuse, before reading anything, a picture name that is
// a folder, anything but a regular file, one of the curve files, or a file
// that is not an SVG picture.

}  // namespace grafico
