/* The math functions the model calls, each on a million arguments from a
   fixed sequence over the ranges a run gives them, folded into one hash per
   function. Built with emscripten's musl (run under node) and with Debian's
   musl (musl-gcc -static), the two must print the same lines: then the two
   musl versions compute these functions alike. */
#include <math.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>

static uint64_t state = 0x9E3779B97F4A7C15u;
static double next(double lo, double hi) {
  state ^= state << 13, state ^= state >> 7, state ^= state << 17;
  return lo + (hi - lo) * (double)(state >> 11) / 9007199254740992.0;
}
static uint64_t fold(uint64_t hash, double x) {
  uint64_t bits;
  memcpy(&bits, &x, sizeof bits);
  return (hash ^ bits) * 0x100000001B3u;
}

int main(void) {
  const int n = 1000000;
  uint64_t h[8] = {0};
  for (int i = 0; i < n; ++i) {
    h[0] = fold(h[0], pow(next(100, 1000), -1.26));
    h[1] = fold(h[1], pow(next(-1, 60), 2.64));
    h[2] = fold(h[2], pow(next(0, 2), -0.417) + pow(next(0, 10), -0.58));
    h[3] = fold(h[3], log10(next(1, 1e9)));
    h[4] = fold(h[4], atan(next(-50, 50)));
    h[5] = fold(h[5], sin(next(-1.6, 1.6)) + cos(next(-1.6, 1.6)));
    h[6] = fold(h[6], asin(next(-1, 1)));
    h[7] = fold(h[7], cbrt(next(-1, 1)) + sqrt(next(0, 1e6)));
  }
  const char* names[] = {"pow(T,-1.26)", "pow(x,2.64)", "pow(x,-0.417/-0.58)", "log10", "atan", "sin+cos", "asin", "cbrt+sqrt"};
  for (int i = 0; i < 8; ++i) printf("%s %016llx\n", names[i], (unsigned long long)h[i]);
  return 0;
}
