// arrasto: the drag coefficient of a small rocket over a range of Mach
// numbers. No arguments; the data file "dados.txt" in the working directory.

#include <exception>
#include <string>

#include "driver/Principal.hpp"
#include "runtime/platform/platform.hpp"
#include "runtime/run_error.hpp"

int main() {
  try {
    arrasto::PRINCIPAL();
    return 0;
  } catch (const rt::RunError& error) {
    rt::print_error_line(error.what());
  } catch (const std::exception& error) {
    rt::print_error_line(std::string("arrasto: ") + error.what());
  }
  return 1;
}
