#pragma once
// Stagnation pressure on a blunt face (Hoerner), for the fin edges and the lug:
// 0.85 times the subsonic series 1 + M^2/4 + M^4/40 of the isentropic
// stagnation pressure over q; no shock past Mach 1. M^4 is (M*M)*(M*M).

namespace arrasto {

inline double fator_pressao(const double& M) {
  const double M2 = M * M;
  return 0.85 * ((M2 * 0.25 + 1.0) + (M2 * M2) / 40.0);
}

}  // namespace arrasto
