// arrasto-grafico: draws first curve files ("Curva1_" + run name) as SVG
// files beside them. With no file argument, every such file in the working
// directory; "-o FILE.svg" draws all the given files in one picture.
// Prints nothing on success; one line per file it cannot draw, and exit
// status 1.

#include <exception>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "grafico/plot_files.hpp"
#include "runtime/platform/command_line.hpp"
#include "runtime/platform/console.hpp"
#include "runtime/platform/messages.hpp"

namespace {

std::string usage() {
  return rt::tr(
      "Usage: arrasto-grafico [FILE...]\n"
      "       arrasto-grafico -o PICTURE.svg FILE...\n"
      "       arrasto-grafico --help | --version\n"
      "\n"
      "Draws each first curve file (\"Curva1_\" followed by the run name) as an\n"
      "SVG picture beside it, named as the file with \".svg\" added. With no\n"
      "FILE, draws every such file in the working folder. With -o, draws all\n"
      "the FILEs in one picture, to compare designs.\n") +
         rt::tr("\n"
                "-m MEASURED (before the FILEs, once per file) draws the measured points\n"
                "of a text or CSV file, a Mach number and a drag coefficient a line, as\n"
                "marks over the curves.\n");
}

// What the command line asks for.
struct Request {
  rt::CommonOption option = rt::CommonOption::none;
  std::vector<std::filesystem::path> files;
  std::optional<std::filesystem::path> comparison;  // -o: one picture of all the files
  std::vector<std::filesystem::path> measured;      // -m: measured points over the curves
  std::string unknown;  // an option not understood, if any
};

Request parsed(const std::vector<std::string>& arguments) {
  Request request;
  bool options = true;  // until "--", after which every argument is a file
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (options && argument == "--") {
      options = false;
    } else if (options && rt::common_option(argument) != rt::CommonOption::none) {
      request.option = rt::common_option(argument);
    } else if (options && argument == "-o") {
      // The picture's name is the next argument; none leaves it empty, an error.
      const std::string picture = i + 1 < arguments.size() ? arguments[++i] : std::string();
      request.comparison = std::filesystem::path(std::u8string(picture.begin(), picture.end()));
    } else if (options && argument == "-m") {
      // The points' file is the next argument; none leaves it empty, an error.
      const std::string points = i + 1 < arguments.size() ? arguments[++i] : std::string();
      request.measured.emplace_back(std::u8string(points.begin(), points.end()));
    } else if (options && argument.size() > 1 && argument[0] == '-') {
      request.unknown = argument;
      return request;
    } else {
      // The arguments are UTF-8; a path made from a plain string would read
      // them in the ANSI code page on Windows.
      request.files.emplace_back(std::u8string(argument.begin(), argument.end()));
    }
  }
  return request;
}

int plot(std::vector<std::filesystem::path> files,
         const std::optional<std::filesystem::path>& comparison,
         const std::vector<std::filesystem::path>& measured_files) {
  std::vector<grafico::MeasuredSet> measured;
  try {
    for (const auto& file : measured_files) {
      if (file.empty()) throw grafico::PlotError(rt::tr("-m needs the name of a file of measured points"));
      measured.push_back(grafico::read_measured_file(file));
    }
  } catch (const grafico::PlotError& error) {
    rt::print_error_line(error.what());
    return 1;
  }
  if (comparison) {
    try {
      if (files.empty() || comparison->empty())
        throw grafico::PlotError(
            rt::tr("-o needs the picture's file name and at least one curve file"));
      grafico::plot_comparison(*comparison, files, measured);
      return 0;
    } catch (const grafico::PlotError& error) {
      rt::print_error_line(error.what());
      return 1;
    }
  }
  if (files.empty()) {
    files = grafico::curve_file_names(".");
    if (files.empty()) {
      rt::print_error_line("arrasto-grafico: " + rt::tr("no Curva1_ file in the working folder"));
      return 1;
    }
  }
  int status = 0;
  for (const auto& file : files) {
    try {
      grafico::plot_curve_file(file, measured);
    } catch (const grafico::PlotError& error) {
      rt::print_error_line(error.what());
      status = 1;
    }
  }
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  const Request request = parsed(rt::command_arguments(argc, argv));
  if (!request.unknown.empty()) {
    rt::print_error_line("arrasto-grafico: " +
                         rt::tr("unknown option \"{}\" (see \"arrasto-grafico --help\")",
                                {request.unknown}));
    rt::hold_console_window();
    return 2;
  }
  if (request.option == rt::CommonOption::help) {
    rt::print_output_text(usage());
    return 0;
  }
  if (request.option == rt::CommonOption::version) {
    rt::print_output_text(rt::version_text("arrasto-grafico"));
    return 0;
  }
  int status = 1;
  try {
    status = plot(request.files, request.comparison, request.measured);
  } catch (const std::exception& error) {
    rt::print_error_line(std::string("arrasto-grafico: ") + error.what());
  }
  if (status != 0) rt::hold_console_window();  // a file dropped on the .exe
  return status;
}
