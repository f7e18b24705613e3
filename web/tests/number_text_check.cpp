// The WebAssembly build's number reading, run under node: rt::read_double
// gives musl's strtod's double on the numbers the program's files hold and
// around its fast path's limits. (The native suite compares it, and the
// shortest writing, with libstdc++'s own: tests/unit/number_text_test.cpp.)

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "runtime/library_gaps.hpp"

namespace {

int failures = 0;

void check_read(const std::string& text) {
  double ours = 0;
  rt::read_double(text.data(), text.data() + text.size(), ours);
  const double musl = std::strtod(text.c_str(), nullptr);
  if (std::bit_cast<std::uint64_t>(ours) != std::bit_cast<std::uint64_t>(musl) && ++failures <= 20)
    std::fprintf(stderr, "\"%s\": %.17g against %.17g\n", text.c_str(), ours, musl);
}

std::string printed(const char* format, int digits, double x) {
  char text[64];
  std::snprintf(text, sizeof text, format, digits, x);
  return text;
}

}  // namespace

int main() {
  for (const char* text : {"9007199254740992", "9007199254740993", "1e22", "1e23", "4.9e-324",
                           "2.4703282292062328e-324", "18446744073709551616e-3", "0.1e-22"})
    check_read(text);
  std::mt19937_64 random(20261207);
  for (int i = 0; i < 50000; ++i) {
    const double any = std::bit_cast<double>(random());
    if (std::isfinite(any))
      for (const int digits : {15, 16, 17}) check_read(printed("%.*g", digits, any));
    // arrasto's fixed form: 15 digits, the point placed.
    const double curve = std::ldexp(static_cast<double>(random() >> 11), -53) *
                         std::pow(10.0, static_cast<double>(random() % 16) - 1);
    check_read(printed("%.*f", 14 - static_cast<int>(std::floor(std::log10(curve))), curve));
    const std::string digits = std::to_string(random() >> (random() % 64));
    const std::size_t point = random() % (digits.size() + 1);
    check_read(digits.substr(0, point) + "." + digits.substr(point) + "e" +
               std::to_string(static_cast<int>(random() % 61) - 30));
  }
  std::printf("%d failures\n", failures);
  return failures == 0 ? 0 : 1;
}
