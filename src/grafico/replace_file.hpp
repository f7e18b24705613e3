#pragma once
// Writing a file so that it is never seen half written: the contents go to
// a hidden temporary file beside it, which is then renamed over it.

#include <filesystem>
#include <string_view>

namespace grafico {

// Replaces (or creates) target with contents. On failure the temporary
// file is removed, an older target is left as it was, and the error is
// thrown as std::runtime_error whose message names the reason.
void replace_file(const std::filesystem::path& target, std::string_view contents);

}  // namespace grafico
