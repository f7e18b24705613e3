#pragma once
// The options both programs take, whatever else they take: --help and
// --version.

#include <string>
#include <string_view>

namespace rt {

enum class CommonOption { none, help, version };

// --help or -h (and /?, the Windows custom) ask for the usage; --version
// for the version. Anything else is none.
CommonOption common_option(std::string_view argument);

// What --version prints: the program's name and the version the build was
// given, "arrasto 1.1.0", and a line end.
std::string version_text(std::string_view program);

}  // namespace rt
