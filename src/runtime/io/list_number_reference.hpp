#pragma once
// The plain writer of list-directed numbers, built on std::to_chars: the
// digits are the correctly rounded decimal value of the binary number. It
// is the yardstick the fast writer of list_number.hpp is checked against,
// and the fast writer hands it the rare value it cannot settle itself.

namespace rt {

// Writes exactly kDoubleField (24) characters at out.
void format_double_reference(double x, char* out);

// Writes exactly kFloatField (15) characters at out.
void format_float_reference(float x, char* out);

}  // namespace rt
