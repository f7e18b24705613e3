// The WebAssembly build's number reading and shortest writing, run under
// node: rt::read_double gives musl's strtod's double on the numbers the
// program's files hold and on numbers around its fast path's limits, and
// rt::shortest_chars reads back through strtod in no more digits than the
// first precision at which snprintf's "%.*e" reads back (a whole number
// from 2^53 on written as the exact integer it is). (The native suite
// compares both with libstdc++'s own, tests/unit/number_text_test.cpp.)

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include "runtime/io/list_number.hpp"
#include "runtime/library_gaps.hpp"

namespace {

int failures = 0;

void fail(const std::string& what) {
  if (++failures <= 20) std::fprintf(stderr, "%s\n", what.c_str());
}

void check_read(const std::string& text) {
  double ours = 0;
  rt::read_double(text.data(), text.data() + text.size(), ours);
  const double musl = std::strtod(text.c_str(), nullptr);
  if (std::bit_cast<std::uint64_t>(ours) != std::bit_cast<std::uint64_t>(musl))
    fail("read \"" + text + "\": " + std::to_string(ours) + " against " + std::to_string(musl));
}

int significant_digits(const char* text) {
  int count = 0, zeros = 0;
  bool started = false;
  for (const char* c = text; *c != '\0' && *c != 'e'; ++c) {
    if (*c < '0' || *c > '9') continue;
    if (*c != '0') started = true, count += zeros + 1, zeros = 0;
    else if (started) ++zeros;
  }
  return count;
}

void check_shortest(double x) {
  char text[64];
  *rt::shortest_chars(text, text + sizeof text - 1, x).ptr = '\0';
  if (std::strtod(text, nullptr) != x) return fail(std::string("shortest ") + text + " does not read back");
  int digits = 1;
  for (char e[64]; digits < 17; ++digits) {
    std::snprintf(e, sizeof e, "%.*e", digits - 1, x);
    if (std::strtod(e, nullptr) == x) break;
  }
  // A whole number from 2^53 on is written as the exact integer it is.
  const bool exact_integer = std::fabs(x) >= 0x1p53 && std::strpbrk(text, ".e") == nullptr;
  if (!exact_integer && significant_digits(text) > digits)
    fail(std::string("shortest ") + text + " has more than " + std::to_string(digits) + " digits");
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
  for (int i = 0; i < 20000; ++i) {
    const double any = std::bit_cast<double>(random());
    if (!std::isfinite(any) || any == 0) continue;
    for (const int digits : {15, 16, 17}) check_read(printed("%.*g", digits, any));
    check_shortest(any);
    // arrasto's fixed form: 15 digits, the point placed.
    const double curve = std::ldexp(static_cast<double>(random() >> 11), -53) *
                         std::pow(10.0, static_cast<double>(random() % 16) - 1);
    const std::string fixed = printed("%.*f", 14 - static_cast<int>(std::floor(std::log10(curve))), curve);
    check_read(fixed);
    check_shortest(std::strtod(fixed.c_str(), nullptr));
    const std::string digits = std::to_string(random() >> (random() % 64));
    const std::size_t point = random() % (digits.size() + 1);
    check_read(digits.substr(0, point) + "." + digits.substr(point) + "e" +
               std::to_string(static_cast<int>(random() % 61) - 30));
  }
  std::printf("%d failures\n", failures);
  return failures == 0 ? 0 : 1;
}
