#pragma once
// Numbers in the classic list-directed form the result files have always
// used: a double in a field of 24 characters (as 1PG24.15E3 writes it), a
// single-precision value in a field of 15 (as 1PG15.7E2), a 32-bit integer
// in a field of 12 (as I12). The digits are
// the correctly rounded decimal value of the binary number; these writers
// give exactly the characters of the plain ones in list_number_reference.hpp,
// several times faster.

#include <charconv>
#include <cstddef>
#include <cstdint>

namespace rt {

inline constexpr std::size_t kDoubleField = 24;
inline constexpr std::size_t kFloatField = 15;
inline constexpr std::size_t kIntegerField = 12;

// Writes exactly kDoubleField characters at out.
void format_double(double x, char* out);

// Writes exactly kFloatField characters at out.
void format_float(float x, char* out);

// Writes exactly kIntegerField characters at out: the digits, with a '-'
// before them when negative, against the right end of the field.
void format_integer(std::int32_t x, char* out);

// A double's field, written once for a value that goes to more than one
// file (the sweep writes its speed and drag coefficient to both curves).
struct DoubleField {
  explicit DoubleField(double x) { format_double(x, text); }
  char text[kDoubleField];
};

// x as std::to_chars(first, last, x) writes it: the fewest significant
// digits that read back as x (of two such, the nearer), in the fixed form
// unless the exponent form ("1.5e+20") is shorter; "inf", "nan", "-0".
// For C++ libraries that lack the floating-point to_chars (see
// runtime/library_gaps.hpp), with the scaling of the writers above.
std::to_chars_result shortest_chars(char* first, char* last, double x);

}  // namespace rt
