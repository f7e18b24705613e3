#include "runtime/platform/command_line.hpp"

namespace rt {

CommonOption common_option(std::string_view argument) {
  if (argument == "--help" || argument == "-h") return CommonOption::help;
#ifdef _WIN32
  if (argument == "/?") return CommonOption::help;
#endif
  if (argument == "--version") return CommonOption::version;
  return CommonOption::none;
}

std::string version_text(std::string_view program) {
  // ARRASTO_VERSION comes from the project's version in CMake, set once.
  return std::string(program) + " " ARRASTO_VERSION "\n";
}

}  // namespace rt
