// arrasto-grafico: draws first curve files ("Curva1_" + run name) as SVG
// files beside them. With no argument, every such file in the working
// directory; "-o FILE.svg" before the files draws them all in one picture.
// Prints nothing on success; one line per file it cannot draw, and exit
// status 1.

#include <exception>
#include <filesystem>
#include <string>

#include "grafico/console.hpp"
#include "grafico/plot_files.hpp"
#include "runtime/platform/messages.hpp"

int main(int argc, char** argv) {
  try {
    std::vector<std::filesystem::path> files = grafico::file_arguments(argc, argv);
    if (!files.empty() && files.front() == "-o") {
      try {
        if (files.size() < 3)
          throw grafico::PlotError(rt::tr("-o needs the picture's file name and at least one curve file"));
        grafico::plot_comparison(files[1], {files.begin() + 2, files.end()});
        return 0;
      } catch (const grafico::PlotError& error) {
        grafico::print_error(error.what());
        grafico::hold_console_after_errors();
        return 1;
      }
    }
    if (files.empty()) {
      files = grafico::curve_file_names(".");
      if (files.empty()) {
        grafico::print_error("no Curva1_ file in the working directory");
        grafico::hold_console_after_errors();
        return 1;
      }
    }
    int status = 0;
    for (const auto& file : files) {
      try {
        grafico::plot_curve_file(file);
      } catch (const grafico::PlotError& error) {
        grafico::print_error(error.what());
        status = 1;
      }
    }
    if (status != 0) grafico::hold_console_after_errors();
    return status;
  } catch (const std::exception& error) {
    grafico::print_error(std::string("arrasto-grafico: ") + error.what());
    return 1;
  }
}
