// arrasto-grafico: draws first curve files ("Curva1_" + run name) as SVG
// files beside them. With no file argument, every such file in the working
// directory; "-o FILE.svg" draws all the given files in one picture.
// Prints nothing on success; one line per file it cannot draw, and exit
// status 1; one line for a command line it refuses, and exit status 2.
//
// Started from the Windows desktop (a double-click, or files dropped on the
// .exe), it also opens the picture in the system's viewer, and files
// dropped together make one comparison.

#include <exception>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "grafico/plot_files.hpp"
#include "runtime/io/list_reader.hpp"
#include "runtime/platform/command_line.hpp"
#include "runtime/platform/console.hpp"
#include "runtime/platform/desktop.hpp"
#include "runtime/platform/messages.hpp"

namespace {

namespace fs = std::filesystem;

// The picture of curve files dropped together on the .exe, beside the first.
constexpr char8_t kDroppedComparison[] = u8"comparacao.svg";

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
  std::vector<fs::path> files;
  std::optional<fs::path> comparison;  // -o: one picture of all the files
  std::string refusal;  // why the command line is refused, when it is
  std::vector<fs::path> measured;  // -m: measured points over the curves
};

// The arguments are UTF-8; a path made from a plain string would read them
// in the ANSI code page on Windows.
fs::path path_of(const std::string& argument) { return fs::path(std::u8string(argument.begin(), argument.end())); }

Request parsed(const std::vector<std::string>& arguments) {
  Request request;
  bool options = true;  // until "--", after which every argument is a file
  for (std::size_t i = 0; i < arguments.size() && request.refusal.empty(); ++i) {
    const std::string& argument = arguments[i];
    if (options && argument == "--") {
      options = false;
    } else if (options && rt::common_option(argument) != rt::CommonOption::none) {
      request.option = rt::common_option(argument);
    } else if (options && argument == "-o") {
      if (i + 1 == arguments.size() || arguments[i + 1].empty()) {
        request.refusal = rt::tr("-o needs the picture's file name and at least one curve file");
      } else if (request.comparison) {
        request.refusal = rt::tr("-o appears twice ({} and {}); all the curves go into one picture",
                                 {grafico::shown_name(*request.comparison),
                                  grafico::shown_name(path_of(arguments[i + 1]))});
      } else if (arguments[i + 1] == "-") {
        request.refusal = rt::tr("-o -: the picture cannot go to standard output; give it a file name");
      } else {
        request.comparison = path_of(arguments[++i]);
      }
    } else if (options && argument == "-m") {
      if (i + 1 == arguments.size() || arguments[i + 1].empty())
        request.refusal = rt::tr("-m needs the name of a file of measured points");
      else
        request.measured.push_back(path_of(arguments[++i]));
    } else if (options && argument.size() > 1 && argument[0] == '-') {
      request.refusal = rt::tr("unknown option {} (see \"arrasto-grafico --help\")", {rt::quoted(argument)});
    } else if (argument.empty()) {
      request.refusal = rt::tr("a curve file's name is empty");
    } else {
      request.files.push_back(path_of(argument));
    }
  }
  if (request.refusal.empty() && request.option == rt::CommonOption::none && request.comparison &&
      request.files.empty())
    request.refusal = rt::tr("-o needs the picture's file name and at least one curve file");
  return request;
}

// What a run drew: its exit status, and the picture to show a desktop user.
struct Drawn {
  int status = 0;
  std::optional<fs::path> picture;
};

Drawn plot(std::vector<fs::path> files, const std::optional<fs::path>& comparison,
           const std::vector<fs::path>& measured_files) {
  std::vector<grafico::MeasuredSet> measured;
  try {
    for (const auto& file : measured_files) measured.push_back(grafico::read_measured_file(file));
  } catch (const grafico::PlotError& error) {
    rt::print_error_line(error.what());
    return {1, {}};
  }
  if (comparison) {
    try {
      grafico::plot_comparison(*comparison, files, measured);
      return {0, *comparison};
    } catch (const grafico::PlotError& error) {
      rt::print_error_line(error.what());
      return {1, {}};
    }
  }
  Drawn drawn;
  if (files.empty()) {
    try {
      files = grafico::curve_file_names();
    } catch (const grafico::PlotError& error) {
      rt::print_error_line(error.what());
      return {1, {}};
    }
    if (files.empty()) {
      rt::print_error_line("arrasto-grafico: " + rt::tr("no Curva1_ file in the working folder"));
      return {1, {}};
    }
  }
  // Of several pictures, the one of the newest curve file: the last run's.
  fs::file_time_type newest = fs::file_time_type::min();
  for (const auto& file : files) {
    try {
      grafico::plot_curve_file(file, measured);
      std::error_code error;
      const fs::file_time_type written = fs::last_write_time(file, error);
      if (!drawn.picture || (!error && written > newest)) {
        drawn.picture = grafico::svg_name_for(file);
        if (!error) newest = written;
      }
    } catch (const grafico::PlotError& error) {
      rt::print_error_line(error.what());
      drawn.status = 1;
    }
  }
  return drawn;
}

bool opened(const fs::path& picture) {
  std::error_code error;
  const std::u8string name = fs::absolute(picture, error).u8string();
  return !error && rt::open_in_viewer(std::string(name.begin(), name.end()));
}

}  // namespace

int main(int argc, char** argv) {
  Request request = parsed(rt::command_arguments(argc, argv));
  if (!request.refusal.empty()) {
    rt::print_error_line("arrasto-grafico: " + request.refusal);
    rt::hold_console_window();
    return 2;
  }
  if (request.option == rt::CommonOption::help) return rt::print_output_text(usage()) ? 0 : 1;
  if (request.option == rt::CommonOption::version)
    return rt::print_output_text(rt::version_text("arrasto-grafico")) ? 0 : 1;
  // Files dropped together on the .exe: one picture that compares them.
  const bool desktop = rt::started_from_desktop();
  if (desktop && !request.comparison && request.files.size() > 1)
    request.comparison = request.files.front().parent_path() / kDroppedComparison;
  Drawn drawn{1, {}};
  try {
    drawn = plot(request.files, request.comparison, request.measured);
  } catch (const std::exception& error) {
    rt::print_error_line(std::string("arrasto-grafico: ") + error.what());
  }
  // A desktop user sees the picture; from a prompt the user opens it.
  bool hold = drawn.status != 0;  // the window open until the errors are read
  if (desktop && drawn.picture && !opened(*drawn.picture)) {
    rt::print_error_line(rt::tr("{}: drawn, but no program could open it; open it in a browser",
                                {grafico::shown_name(*drawn.picture)}));
    hold = true;
  }
  if (hold) rt::hold_console_window();
  return drawn.status;
}
