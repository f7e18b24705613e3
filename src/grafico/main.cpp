// arrasto-grafico: draws first curve files ("Curva1_" + run name) as SVG
// files beside them. With no argument, every such file in the working
// directory. Prints nothing on success; one line per file it cannot draw,
// and exit status 1.

#include <exception>
#include <filesystem>
#include <string>

#include "grafico/console.hpp"
#include "grafico/plot_files.hpp"

int main(int argc, char** argv) {
  try {
    std::vector<std::filesystem::path> files = grafico::file_arguments(argc, argv);
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
