#include "runtime/io/list_number_reference.hpp"

#include <charconv>
#include <cmath>
#include <cstring>

namespace rt {
namespace {

// Field layout of one type: w characters, d significant digits in the fixed
// form (d + 1 in the exponent form), e exponent digits.
struct Layout {
  int w;
  int d;
  int e;
};
constexpr Layout kDouble{24, 15, 3};
constexpr Layout kFloat{15, 7, 2};

// Puts text right-justified into the first width characters of out (which
// are blanks already).
void right_justify(const char* text, std::size_t n, std::size_t width, char* out) {
  std::memcpy(out + (width - n), text, n);
}

// Decimal exponent of a to_chars scientific result "D.DDDe+XX".
int exponent_of(const char* first, const char* last) {
  const char* p = static_cast<const char*>(std::memchr(first, 'e', last - first));
  const bool negative = p[1] == '-';
  int x = 0;
  for (const char* q = p + 2; q < last; ++q) x = x * 10 + (*q - '0');
  return negative ? -x : x;
}

template <typename T>
void format(T x, const Layout& f, char* out) {
  std::memset(out, ' ', f.w);
  if (std::isnan(x)) {
    right_justify("NaN", 3, f.w, out);
    return;
  }
  const bool negative = std::signbit(x);
  if (std::isinf(x)) {
    if (negative)
      right_justify("-Infinity", 9, f.w, out);
    else
      right_justify("Infinity", 8, f.w, out);
    return;
  }
  const T a = std::fabs(x);
  char digits[64];
  char text[64];
  std::size_t n = 0;
  if (negative) text[n++] = '-';

  if (a != 0) {
    // Fixed form when the value rounded to d significant digits has a
    // decimal exponent from -1 to d-1: the same d digits with the point
    // placed, right-justified in w-(e+2) and followed by e+2 blanks.
    const auto r = std::to_chars(digits, digits + sizeof digits, a,
                                 std::chars_format::scientific, f.d - 1);
    const int x10 = exponent_of(digits, r.ptr);
    if (x10 >= -1 && x10 <= f.d - 1) {
      // digits holds "D.DDDD...e..": the significant digits are digits[0]
      // and digits[2 .. d].
      char sig[32];
      sig[0] = digits[0];
      std::memcpy(sig + 1, digits + 2, f.d - 1);
      if (x10 == -1) {
        text[n++] = '0';
        text[n++] = '.';
        std::memcpy(text + n, sig, f.d);
        n += f.d;
      } else {
        const int before = x10 + 1;
        std::memcpy(text + n, sig, before);
        n += before;
        text[n++] = '.';
        std::memcpy(text + n, sig + before, f.d - before);
        n += f.d - before;
      }
      right_justify(text, n, f.w - (f.e + 2), out);
      return;
    }
  }

  // Exponent form: one digit, the point, d digits, E, sign, e digits.
  const auto r = std::to_chars(digits, digits + sizeof digits, a,
                               std::chars_format::scientific, f.d);
  const char* e_at = static_cast<const char*>(std::memchr(digits, 'e', r.ptr - digits));
  const std::size_t mantissa = e_at - digits;
  std::memcpy(text + n, digits, mantissa);
  n += mantissa;
  int x10 = exponent_of(digits, r.ptr);
  text[n++] = 'E';
  text[n++] = x10 < 0 ? '-' : '+';
  if (x10 < 0) x10 = -x10;
  for (int i = f.e - 1; i >= 0; --i) {
    text[n + i] = static_cast<char>('0' + x10 % 10);
    x10 /= 10;
  }
  n += f.e;
  right_justify(text, n, f.w, out);
}

}  // namespace

void format_double_reference(double x, char* out) { format(x, kDouble, out); }

void format_float_reference(float x, char* out) { format(x, kFloat, out); }

}  // namespace rt
