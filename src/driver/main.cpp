// arrasto: the drag coefficient of a small rocket over a range of Mach
// numbers. No arguments; the data file "dados.txt" in the working directory.

#include <cstdio>
#include <exception>

#include "driver/Principal.hpp"
#include "runtime/run_error.hpp"

int main() {
  try {
    arrasto::PRINCIPAL();
    return 0;
  } catch (const rt::RunError& error) {
    std::fprintf(stderr, "%s\n", error.what());
  } catch (const std::exception& error) {
    std::fprintf(stderr, "arrasto: %s\n", error.what());
  }
  return 1;
}
