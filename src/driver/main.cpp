// arrasto: the drag coefficient of a small rocket over a range of Mach
// numbers. No arguments; the data file "dados.txt" in the working directory.

#include <exception>
#include <string>
#include <vector>

#include "driver/Principal.hpp"
#include "runtime/platform/command_line.hpp"
#include "runtime/platform/console.hpp"
#include "runtime/platform/messages.hpp"
#include "runtime/run_error.hpp"

namespace {

std::string usage() {
  return rt::tr(
      "Usage: arrasto\n"
      "       arrasto --help | --version\n"
      "\n"
      "Estimates the drag coefficient of a small rocket over a range of Mach\n"
      "numbers. Run it with no arguments in the folder that holds \"dados.txt\":\n"
      "it opens that file in Notepad, reads it when Notepad is closed, then\n"
      "writes two curve files and a report beside it and opens each in Notepad.\n");
}

// Arguments never start a run, so that a mistyped command line cannot
// replace the result files of the folder it was typed in: --help and
// --version are answered, anything else refused.
int answer_arguments(const std::vector<std::string>& arguments) {
  const rt::CommonOption option =
      arguments.size() == 1 ? rt::common_option(arguments[0]) : rt::CommonOption::none;
  switch (option) {
    case rt::CommonOption::help:
      rt::print_output_text(usage());
      return 0;
    case rt::CommonOption::version:
      rt::print_output_text(rt::version_text("arrasto"));
      return 0;
    case rt::CommonOption::none:
      break;
  }
  rt::print_error_line(
      "arrasto: " +
      rt::tr("the program takes no arguments; it works on \"dados.txt\" in the working "
             "folder (see \"arrasto --help\")"));
  rt::hold_console_window();  // a file dropped on the .exe
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> arguments = rt::command_arguments(argc, argv);
  if (!arguments.empty()) return answer_arguments(arguments);
  try {
    arrasto::PRINCIPAL();
    return 0;
  } catch (const rt::RunError& error) {
    rt::print_error_line(error.what());
  } catch (const std::exception& error) {
    rt::print_error_line(std::string("arrasto: ") + error.what());
  }
  rt::hold_console_window();
  return 1;
}
