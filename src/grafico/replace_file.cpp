#include "grafico/replace_file.hpp"

#include <fstream>
#include <random>
#include <stdexcept>
#include <string>
#include <system_error>

namespace grafico {
namespace {

// A hidden name in the target's directory (a rename does not cross file
// systems there), random so that two runs do not share it, and not
// beginning "Curva1_", so that a left-over one is never taken for a curve.
std::filesystem::path temporary_beside(const std::filesystem::path& target) {
  std::random_device random;
  const std::string tag = std::to_string(random()) + std::to_string(random());
  std::filesystem::path name(".");
  name += target.filename().native();
  name += "." + tag + ".tmp";
  return target.parent_path() / name;
}

}  // namespace

void replace_file(const std::filesystem::path& target, std::string_view contents) {
  const std::filesystem::path temporary = temporary_beside(target);
  std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
  if (!out) throw std::runtime_error("cannot create a temporary file beside it");
  out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
  out.close();
  std::error_code error;
  if (!out) {
    std::filesystem::remove(temporary, error);
    throw std::runtime_error("cannot write");
  }
  std::filesystem::rename(temporary, target, error);
  if (error) {
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
    throw std::runtime_error("cannot replace: " + error.message());
  }
}

}  // namespace grafico
