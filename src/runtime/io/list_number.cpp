#include "runtime/io/list_number.hpp"

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "runtime/io/list_number_reference.hpp"

// How the fast writer works. A finite non-zero value a = m * 2^e2 is scaled
// by a power of ten so that a * 10^p lands in [10^17, 10^19): the power is
// held as a 128-bit truncated mantissa, and the 53 x 128-bit product gives
// the integer part Q (17 to 19 digits) and 64 bits F of the fraction, with
// the true fraction in [F, F + kError) units of 2^-64. Rounding Q to 15 or
// 16 digits (7 or 8 for a float) then needs only Q itself, except when the
// dropped digits are within kError of a half: there the value is an exact
// tie or too close to call, and the plain writer, which works from the
// exact binary value, writes it. The choice between fixed and exponent form
// is made on the same rounded digits as the plain writer makes it.

namespace rt {
namespace {

// ---- Wide integer arithmetic -------------------------------------------

struct U128 {
  std::uint64_t hi;
  std::uint64_t lo;
};

// WebAssembly multiplies 64-bit integers at most: there __int128 is a
// library call that works out all 128 bits of a 128 x 128-bit product,
// slower than the four 32 x 32-bit products below.
inline U128 multiply(std::uint64_t a, std::uint64_t b) {
#if defined(__SIZEOF_INT128__) && !defined(__wasm__)
  __extension__ typedef unsigned __int128 u128;
  const u128 p = static_cast<u128>(a) * b;
  return {static_cast<std::uint64_t>(p >> 64), static_cast<std::uint64_t>(p)};
#else
  const std::uint64_t a0 = a & 0xFFFFFFFFu, a1 = a >> 32;
  const std::uint64_t b0 = b & 0xFFFFFFFFu, b1 = b >> 32;
  const std::uint64_t p00 = a0 * b0, p01 = a0 * b1, p10 = a1 * b0, p11 = a1 * b1;
  const std::uint64_t mid = (p00 >> 32) + (p01 & 0xFFFFFFFFu) + (p10 & 0xFFFFFFFFu);
  return {p11 + (p01 >> 32) + (p10 >> 32) + (mid >> 32), (mid << 32) | (p00 & 0xFFFFFFFFu)};
#endif
}

// floor(b * log10(2)) for |b| <= 2620 and floor(p * log2(10)) for
// |p| <= 1233, in integer arithmetic.
constexpr int floor_log10_pow2(int b) { return (b * 315653) >> 20; }
constexpr int floor_log2_pow10(int p) { return (p * 1741647) >> 19; }

// ---- Powers of ten -------------------------------------------------------

// A double's binary exponent of its leading bit runs from -1074 to 1023;
// p = 17 - floor_log10_pow2(that) then runs over this range.
constexpr int kMinPower = 17 - floor_log10_pow2(1023);
constexpr int kMaxPower = 17 - floor_log10_pow2(-1074);

// 10^p = (hi * 2^64 + lo) * 2^t, truncated, with the mantissa in
// [2^127, 2^128) and t = floor(p * log2(10)) - 127.
struct Power {
  std::uint64_t hi;
  std::uint64_t lo;
};

// An unsigned integer of 40 32-bit limbs (1280 bits), just enough to build
// the table at compile time.
struct Big {
  static constexpr int kLimbs = 40;
  std::array<std::uint32_t, kLimbs> limb{};

  constexpr void multiply_by(std::uint32_t k) {
    std::uint64_t carry = 0;
    for (auto& l : limb) {
      const std::uint64_t v = std::uint64_t{l} * k + carry;
      l = static_cast<std::uint32_t>(v);
      carry = v >> 32;
    }
    if (carry != 0) throw "table: overflow";
  }
  constexpr void divide_by(std::uint32_t k) {
    std::uint64_t rest = 0;
    for (int i = kLimbs - 1; i >= 0; --i) {
      const std::uint64_t v = (rest << 32) | limb[i];
      limb[i] = static_cast<std::uint32_t>(v / k);
      rest = v % k;
    }
  }
  constexpr int bit_length() const {
    for (int i = kLimbs - 1; i >= 0; --i)
      if (limb[i] != 0) return 32 * i + 32 - std::countl_zero(limb[i]);
    return 0;
  }
  // The 32 bits from bit position pos upward; bits below 0 are zero.
  constexpr std::uint32_t bits_at(int pos) const {
    const int q = pos >= 0 ? pos / 32 : -((-pos + 31) / 32);
    const int r = pos - 32 * q;
    const auto at = [&](int i) -> std::uint64_t {
      return i >= 0 && i < kLimbs ? limb[i] : 0;
    };
    return static_cast<std::uint32_t>(((at(q + 1) << 32) | at(q)) >> r);
  }
  // The 128 bits below the leading one, whose position is returned.
  constexpr Power top(int& length) const {
    length = bit_length();
    const int low = length - 128;
    return {(std::uint64_t{bits_at(low + 96)} << 32) | bits_at(low + 64),
            (std::uint64_t{bits_at(low + 32)} << 32) | bits_at(low)};
  }
};

constexpr std::array<Power, kMaxPower - kMinPower + 1> make_powers() {
  std::array<Power, kMaxPower - kMinPower + 1> table{};
  int length = 0;
  // Non-negative powers, exact as integers.
  Big big;
  big.limb[0] = 1;
  for (int p = 0; p <= kMaxPower; ++p) {
    table[p - kMinPower] = big.top(length);
    if (length - 128 != floor_log2_pow10(p) - 127) throw "table: exponent";
    big.multiply_by(10);
  }
  // Negative powers as floor(2^K / 10^-p); a floor of a floor is the floor,
  // so each one is the truncation of the exact power.
  constexpr int kBits = 32 * (Big::kLimbs - 1);
  Big inverse;
  inverse.limb[Big::kLimbs - 1] = 1;
  for (int p = -1; p >= kMinPower; --p) {
    inverse.divide_by(10);
    table[p - kMinPower] = inverse.top(length);
    if (length - 128 - kBits != floor_log2_pow10(p) - 127) throw "table: exponent";
  }
  return table;
}

constexpr auto kPowers = make_powers();

constexpr std::uint64_t kTen[] = {1,
                                  10,
                                  100,
                                  1000,
                                  10000,
                                  100000,
                                  1000000,
                                  10000000,
                                  100000000,
                                  1000000000,
                                  10000000000,
                                  100000000000,
                                  1000000000000,
                                  10000000000000,
                                  100000000000000,
                                  1000000000000000,
                                  10000000000000000,
                                  100000000000000000,
                                  1000000000000000000};

// ---- Scaling and rounding -----------------------------------------------

// The true fraction lies below F + kError units: under 2 from the truncated
// power (m < 2^53 and at least 116 bits dropped), under 1 from F's own cut.
constexpr std::uint64_t kError = 4;

// a * 10^-k = Q + f with f in [F, F + kError) * 2^-64 and Q in
// [10^17 - 1, 10^19).
struct Scaled {
  std::uint64_t q;
  std::uint64_t f;
  int k;
};

// a = m * 2^e2 with m in [2^52, 2^53).
inline Scaled scale(std::uint64_t m, int e2) {
  const int p = 17 - floor_log10_pow2(e2 + 52);
  const Power& t = kPowers[static_cast<std::size_t>(p - kMinPower)];
  const U128 lo = multiply(m, t.lo);
  const U128 hi = multiply(m, t.hi);
  const std::uint64_t w0 = lo.lo;
  const std::uint64_t w1 = lo.hi + hi.lo;
  const std::uint64_t w2 = hi.hi + (w1 < lo.hi ? 1 : 0);
  // The product is m * mantissa * 2^-(s), s = -(e2 + t), from 116 to 124.
  const int r = -(e2 + floor_log2_pow10(p) - 127) - 64;
  return {(w2 << (64 - r)) | (w1 >> r), (w1 << (64 - r)) | (w0 >> r), -p};
}

// Q divided by 10^Drop, rounded to nearest; false where the dropped part is
// within kError of a half (an exact tie or too close to call).
template <int Drop>
inline bool round_off(std::uint64_t q, std::uint64_t f, std::uint64_t& kept) {
  constexpr std::uint64_t unit = kTen[Drop];
  constexpr std::uint64_t half = unit / 2;
  kept = q / unit;
  const std::uint64_t rest = q % unit;
  if (rest > half) {
    ++kept;
  } else if (rest == half) {
    if (f == 0) return false;
    ++kept;
  } else if (rest == half - 1 && f > ~std::uint64_t{0} - kError) {
    return false;
  }
  return true;
}

// The value rounded to Digits significant digits: digits in
// [10^(Digits-1), 10^Digits) and the decimal exponent x10 of the first.
template <int Digits>
inline bool round_to(const Scaled& s, std::uint64_t& digits, int& x10) {
  bool decided;
  int length;
  if (s.q >= kTen[18]) {
    length = 19;
    decided = round_off<19 - Digits>(s.q, s.f, digits);
  } else if (s.q >= kTen[17]) {
    length = 18;
    decided = round_off<18 - Digits>(s.q, s.f, digits);
  } else {
    length = 17;
    decided = round_off<17 - Digits>(s.q, s.f, digits);
  }
  x10 = length - 1 + s.k;
  if (digits == kTen[Digits]) {
    digits = kTen[Digits - 1];
    ++x10;
  }
  return decided;
}

// ---- Characters ----------------------------------------------------------

constexpr std::array<char, 200> make_pairs() {
  std::array<char, 200> pairs{};
  for (int i = 0; i < 100; ++i) {
    pairs[2 * i] = static_cast<char>('0' + i / 10);
    pairs[2 * i + 1] = static_cast<char>('0' + i % 10);
  }
  return pairs;
}
constexpr auto kPairs = make_pairs();

inline void put_pair(std::uint32_t v, char* out) { std::memcpy(out, &kPairs[2 * v], 2); }

// v < 10^8 as exactly 8 digits.
inline void put8(std::uint32_t v, char* out) {
  const std::uint32_t a = v / 10000, b = v % 10000;
  put_pair(a / 100, out);
  put_pair(a % 100, out + 2);
  put_pair(b / 100, out + 4);
  put_pair(b % 100, out + 6);
}

// v < 10^16 as exactly 16 digits.
inline void put16(std::uint64_t v, char* out) {
  put8(static_cast<std::uint32_t>(v / 100000000), out);
  put8(static_cast<std::uint32_t>(v % 100000000), out + 8);
}

// Field layout of one type: w characters, d significant digits in the fixed
// form (d + 1 in the exponent form), e exponent digits.
template <int W, int D, int E>
struct Layout {
  static constexpr int w = W;
  static constexpr int d = D;
  static constexpr int e = E;
};
using DoubleLayout = Layout<24, 15, 3>;
using FloatLayout = Layout<15, 7, 2>;
static_assert(std::size_t{DoubleLayout::w} == kDoubleField &&
              std::size_t{FloatLayout::w} == kFloatField);

// The rounded value's digits straight into the field, d + 1 of them from
// out on: the exponent form's d + 1 digits, or the fixed form's d after a
// leading zero, which the caller then writes over.
template <class F>
inline void put_digit_run(std::uint64_t digits, char* out) {
  if constexpr (F::d + 1 == 16)
    put16(digits, out);
  else
    put8(static_cast<std::uint32_t>(digits), out);
}

// Fixed form: the d digits with the point placed, right-justified in
// w - (e + 2) characters; the field's last e + 2 stay blank.
template <class F>
inline void put_fixed(bool negative, std::uint64_t digits, int x10, char* out) {
  constexpr int end = F::w - (F::e + 2);
  if (x10 == -1) {
    char* at = out + end - (F::d + 2);
    if (negative) at[-1] = '-';
    put_digit_run<F>(digits, at + 1);
    at[0] = '0';
    at[1] = '.';
    return;
  }
  // The digits go one place to the right of the integer part's place, which
  // it then takes, and the point fills the gap.
  char* at = out + end - (F::d + 1);
  if (negative) at[-1] = '-';
  put_digit_run<F>(digits, at);
  for (int i = 0; i <= x10; ++i) at[i] = at[i + 1];
  at[x10 + 1] = '.';
}

// Exponent form: one digit, the point, d digits, E, the sign and e digits,
// right-justified in w.
template <class F>
inline void put_exponent(bool negative, std::uint64_t digits, int x10, char* out) {
  char* at = out + F::w - (F::d + F::e + 4);
  if (negative) at[-1] = '-';
  put_digit_run<F>(digits, at + 1);
  at[0] = at[1];
  at[1] = '.';
  char* x = at + F::d + 2;
  x[0] = 'E';
  x[1] = x10 < 0 ? '-' : '+';
  unsigned v = static_cast<unsigned>(x10 < 0 ? -x10 : x10);
  for (int i = F::e + 1; i >= 2; --i) {
    x[i] = static_cast<char>('0' + v % 10);
    v /= 10;
  }
}

template <class F>
inline void put_special(bool negative, bool not_a_number, char* out) {
  if (not_a_number)
    std::memcpy(out + F::w - 3, "NaN", 3);
  else if (negative)
    std::memcpy(out + F::w - 9, "-Infinity", 9);
  else
    std::memcpy(out + F::w - 8, "Infinity", 8);
}

// A finite non-zero value m * 2^e2 (m in [2^52, 2^53)) in its field, or
// false, with the field left undefined, where the rounding is too close to
// call.
template <class F>
inline bool put_finite(bool negative, std::uint64_t m, int e2, char* out) {
  const Scaled s = scale(m, e2);
  std::uint64_t digits;
  int x10;
  if (!round_to<F::d>(s, digits, x10)) return false;
  if (x10 >= -1 && x10 <= F::d - 1) {
    put_fixed<F>(negative, digits, x10, out);
    return true;
  }
  if (!round_to<F::d + 1>(s, digits, x10)) return false;
  put_exponent<F>(negative, digits, x10, out);
  return true;
}

// ---- The shortest form -----------------------------------------------------

// Q with its last drop digits (0 to 18) rounded off to nearest, as
// round_off does; up tells which way it went. False where too close to a
// half to call.
inline bool round_off_at(int drop, std::uint64_t q, std::uint64_t f, std::uint64_t& kept, bool& up) {
  kept = q;
  up = false;
  if (drop == 0) {
    constexpr std::uint64_t half = std::uint64_t{1} << 63;
    if (f > half) return up = true, ++kept, true;
    return f <= half - kError;
  }
  const std::uint64_t unit = kTen[drop];
  const std::uint64_t half = unit / 2;
  kept = q / unit;
  const std::uint64_t rest = q % unit;
  if (rest > half || (rest == half && f != 0)) return up = true, ++kept, true;
  if (rest == half) return false;
  return !(rest == half - 1 && f > ~std::uint64_t{0} - kError);
}

constexpr double kExactPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                   1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// digits x 10^e read as a double, correctly rounded: one exact operation
// when both factors are doubles exactly (Clinger's fast path), else the C++
// library's from_chars (not the C library's strtod, which MinGW's rounds
// wrongly now and then).
double decimal_value(std::uint64_t digits, int e) {
  if (digits <= std::uint64_t{1} << 53 && e >= -22 && e <= 22) {
    const double w = static_cast<double>(digits);
    return e >= 0 ? w * kExactPowers[e] : w / kExactPowers[-e];
  }
  char text[48];
  char* const mark = std::to_chars(text, text + 24, digits).ptr;  // 20 digits at most
  *mark = 'e';
  const char* const end = std::to_chars(mark + 1, text + sizeof text, e).ptr;
  double value = 0;
  if (std::from_chars(text, end, value).ec == std::errc::result_out_of_range)
    return e > 0 ? HUGE_VAL : 0.0;
  return value;
}

}  // namespace

// The nearest decimal of d digits is tried for d = 1, 2, ... until one
// reads back as the value. Of two decimals of d digits around the value
// only the nearer can read back, but for a power of two, whose gap to the
// double below is half the gap above: there the other one is tried too.
// The rounding to d digits comes from the writer's scaling; where that is
// too close to a half to call, no decimal of up to 15 digits can read back
// (the value is a half-unit of such a decimal away, more than the double's
// half-gap), and at 16 digits the library's to_chars, which is exact,
// rounds instead.
// 17 digits always read back.
std::to_chars_result shortest_chars(char* first, char* last, double x) {
  char text[40];
  std::size_t n = 0;
  const auto bits = std::bit_cast<std::uint64_t>(x);
  if ((bits >> 63) != 0) text[n++] = '-';
  const int biased = static_cast<int>((bits >> 52) & 0x7FF);
  std::uint64_t m = bits & ((std::uint64_t{1} << 52) - 1);
  const auto put = [&](const char* word) {
    for (; *word; ++word) text[n++] = *word;
  };
  if (biased == 0x7FF) {
    put(m != 0 ? "nan" : "inf");
  } else if (biased == 0 && m == 0) {
    put("0");
  } else {
    const bool uneven = m == 0 && biased > 1;
    int e2;
    if (biased != 0) {
      m |= std::uint64_t{1} << 52;
      e2 = biased - 1075;
    } else {
      const int shift = std::countl_zero(m) - 11;
      m <<= shift;
      e2 = -1074 - shift;
    }
    const double a = std::fabs(x);
    const Scaled s = scale(m, e2);
    const int length = s.q >= kTen[18] ? 19 : s.q >= kTen[17] ? 18 : 17;
    std::uint64_t digits = 0;
    int d = 1, x10 = 0;
    for (;; ++d) {
      bool up = false;
      x10 = length - 1 + s.k;
      if (!round_off_at(length - d, s.q, s.f, digits, up)) {
        if (d <= 15) continue;
        char exact[40];
        const char* end = std::to_chars(exact, exact + sizeof exact, a, std::chars_format::scientific, d - 1).ptr;
        const char* e = exact;
        for (digits = 0; *e != 'e'; ++e)
          if (*e != '.') digits = digits * 10 + static_cast<std::uint64_t>(*e - '0');
        std::from_chars(e + 1 + (e[1] == '+'), end, x10);
      } else if (digits == kTen[d]) {
        digits = kTen[d - 1];
        ++x10;
      }
      if (d == 17) break;
      const double read = decimal_value(digits, x10 - d + 1);
      if (read == a) break;
      if (uneven) {
        const std::uint64_t other = read < a ? digits + 1 : digits - 1;
        if (other >= kTen[d - 1] && other < kTen[d] && decimal_value(other, x10 - d + 1) == a) {
          digits = other;
          break;
        }
      }
    }
    while (d > 1 && digits % 10 == 0) digits /= 10, --d;
    char run[20];
    for (int i = d - 1; i >= 0; --i, digits /= 10) run[i] = static_cast<char>('0' + digits % 10);
    // Fixed form unless the exponent form is shorter.
    const int magnitude = x10 < 0 ? -x10 : x10;
    const int exponent_length = d + (d > 1 ? 1 : 0) + 2 + (magnitude >= 100 ? 3 : 2);
    const int fixed = x10 >= 0 ? (d > x10 + 1 ? d + 1 : x10 + 1) : 2 + (-x10 - 1) + d;
    if (exponent_length < fixed) {
      text[n++] = run[0];
      if (d > 1) {
        text[n++] = '.';
        for (int i = 1; i < d; ++i) text[n++] = run[i];
      }
      text[n++] = 'e';
      text[n++] = x10 < 0 ? '-' : '+';
      if (magnitude >= 100) text[n++] = static_cast<char>('0' + magnitude / 100);
      text[n++] = static_cast<char>('0' + magnitude / 10 % 10);
      text[n++] = static_cast<char>('0' + magnitude % 10);
    } else if (x10 < 0) {
      put("0.");
      for (int i = 0; i < -x10 - 1; ++i) text[n++] = '0';
      for (int i = 0; i < d; ++i) text[n++] = run[i];
    } else if (x10 + 1 > d && a >= 0x1p53) {
      // A whole number whose digits go on past the shortest ones: written
      // as the exact integer it is (below 10^23 here).
      n = static_cast<std::size_t>(
          std::to_chars(text + n, text + sizeof text, a, std::chars_format::fixed, 0).ptr - text);
    } else {
      for (int i = 0; i <= x10 || i < d; ++i) {
        if (i == x10 + 1) text[n++] = '.';
        text[n++] = i < d ? run[i] : '0';
      }
    }
  }
  if (n > static_cast<std::size_t>(last - first)) return {last, std::errc::value_too_large};
  std::memcpy(first, text, n);
  return {first + n, std::errc{}};
}

void format_double(double x, char* out) {
  using F = DoubleLayout;
  const auto bits = std::bit_cast<std::uint64_t>(x);
  const bool negative = (bits >> 63) != 0;
  const int biased = static_cast<int>((bits >> 52) & 0x7FF);
  std::uint64_t m = bits & ((std::uint64_t{1} << 52) - 1);
  std::memset(out, ' ', F::w);
  if (biased == 0x7FF) {
    put_special<F>(negative, m != 0, out);
    return;
  }
  int e2;
  if (biased != 0) {
    m |= std::uint64_t{1} << 52;
    e2 = biased - 1075;
  } else if (m != 0) {  // subnormal: bring the leading bit to bit 52
    const int shift = std::countl_zero(m) - 11;
    m <<= shift;
    e2 = -1074 - shift;
  } else {
    put_exponent<F>(negative, 0, 0, out);
    return;
  }
  if (!put_finite<F>(negative, m, e2, out)) format_double_reference(x, out);
}

void format_float(float x, char* out) {
  using F = FloatLayout;
  const auto bits = std::bit_cast<std::uint32_t>(x);
  const bool negative = (bits >> 31) != 0;
  const int biased = static_cast<int>((bits >> 23) & 0xFF);
  std::uint64_t m = bits & ((std::uint32_t{1} << 23) - 1);
  std::memset(out, ' ', F::w);
  if (biased == 0xFF) {
    put_special<F>(negative, m != 0, out);
    return;
  }
  // The float's value, exactly, as m * 2^e2 with m in [2^52, 2^53).
  int e2;
  if (biased != 0) {
    m = (m | (std::uint64_t{1} << 23)) << 29;
    e2 = biased - 150 - 29;
  } else if (m != 0) {
    const int shift = std::countl_zero(m) - 11;
    m <<= shift;
    e2 = -149 - shift;
  } else {
    put_exponent<F>(negative, 0, 0, out);
    return;
  }
  if (!put_finite<F>(negative, m, e2, out)) format_float_reference(x, out);
}

void format_integer(std::int32_t x, char* out) {
  char digits[kIntegerField];  // "-2147483648" is 11 characters
  const auto end = std::to_chars(digits, digits + kIntegerField, x).ptr;
  const auto size = static_cast<std::size_t>(end - digits);
  std::memset(out, ' ', kIntegerField - size);
  std::memcpy(out + (kIntegerField - size), digits, size);
}

}  // namespace rt
