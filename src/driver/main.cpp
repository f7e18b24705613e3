// arrasto: the drag coefficient of a small rocket over a range of Mach
// numbers. No arguments; the data file "dados.txt" in the working directory.

#include <exception>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "driver/Leitura_dados.hpp"
#include "driver/Principal.hpp"
#include "runtime/io/list_reader.hpp"
#include "runtime/platform/command_line.hpp"
#include "runtime/platform/console.hpp"
#include "runtime/platform/messages.hpp"
#include "runtime/run_error.hpp"

namespace {

std::string usage() {
#ifdef _WIN32
  return rt::tr(
      "Usage: arrasto\n"
      "       arrasto --help | --version\n"
      "\n"
      "Estimates the drag coefficient of a small rocket over a range of Mach\n"
      "numbers. Run it with no arguments in the folder that holds \"dados.txt\":\n"
      "it opens that file in Notepad, reads it when Notepad is closed, then\n"
      "writes two curve files and a report beside it and opens each in Notepad.\n");
#else
  return rt::tr(
      "Usage: arrasto\n"
      "       arrasto --help | --version\n"
      "\n"
      "Estimates the drag coefficient of a small rocket over a range of Mach\n"
      "numbers. Run it with no arguments in the folder that holds \"dados.txt\":\n"
      "it reads that file, then writes two curve files and a report beside it.\n"
      "With a program named Notepad on the PATH, it first opens \"dados.txt\" in\n"
      "it and each result file after, waiting each time until it is closed.\n"
      "The Notepad helper that comes with arrasto (in /usr/libexec/arrasto in\n"
      "the Debian package) starts $VISUAL, else $EDITOR, else vi.\n");
#endif
}

// The working folder, for a message.
std::string working_folder() {
  std::error_code error;
  const std::u8string path = std::filesystem::current_path(error).u8string();
  return error ? std::string(".") : rt::printable_text(std::string(path.begin(), path.end()));
}

// Arguments never start a run, so that a mistyped command line cannot
// replace the result files of the folder it was typed in: --help and
// --version are answered, anything else refused.
int answer_arguments(const std::vector<std::string>& arguments) {
  const rt::CommonOption option =
      arguments.size() == 1 ? rt::common_option(arguments[0]) : rt::CommonOption::none;
  switch (option) {
    case rt::CommonOption::help:
      return rt::print_output_text(usage()) ? 0 : 1;
    case rt::CommonOption::version:
      return rt::print_output_text(rt::version_text("arrasto")) ? 0 : 1;
    case rt::CommonOption::none:
      break;
  }
  if (rt::started_from_desktop()) {
    // A file dropped on arrasto.exe: no command line to type "--help" in.
    rt::print_error_line(
        "arrasto: " +
        rt::tr("arrasto reads only the file dados.txt in its own folder, not a file dropped on "
               "it: put your data in that dados.txt and double-click arrasto.exe"));
  } else {
    // The first argument that is not --help or --version, which only
    // count alone.
    const std::string& shown = rt::common_option(arguments[0]) == rt::CommonOption::none
                                   ? arguments[0]
                                   : arguments[1];
    rt::print_error_line(
        "arrasto: " +
        rt::tr("unexpected argument {}: the program takes no arguments; it works on "
               "\"dados.txt\" in the working folder (see \"arrasto --help\")",
               {rt::quoted(shown)}));
  }
  rt::hold_console_window();
  return 2;
}

// No data file where the run looks for it: say where that is, and what to do.
std::string no_data_file() {
  const std::string file = arrasto::kArquivoDados;
  if (rt::started_from_desktop())
    return file + ": " +
           rt::tr("there is no dados.txt in this folder ({}). Copy here the dados.txt that came "
                  "with arrasto, or create one (LEIAME.txt says what each line holds), then "
                  "double-click arrasto.exe again",
                  {working_folder()});
  return file + ": " +
         rt::tr("no such file in the working folder ({}): create it there (the example's "
                "dados.txt is a start) or run arrasto in the folder that holds it",
                {working_folder()});
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> arguments = rt::command_arguments(argc, argv);
  if (!arguments.empty()) return answer_arguments(arguments);
  try {
    arrasto::PRINCIPAL();
    return 0;
  } catch (const rt::MissingFile& error) {
    rt::print_error_line(error.name() == arrasto::kArquivoDados ? no_data_file() : error.what());
  } catch (const rt::RunError& error) {
    rt::print_error_line(error.what());
  } catch (const std::exception& error) {
    rt::print_error_line(std::string("arrasto: ") + error.what());
  }
  rt::hold_console_window();
  return 1;
}
