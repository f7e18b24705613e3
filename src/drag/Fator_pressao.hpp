#pragma once
// Stagnation pressure factor shared by the fin edge and launch lug drag.
// M^4 is formed as (M*M)*(M*M).

namespace arrasto {

inline double fator_pressao(const double& M) {
  const double M2 = M * M;
  return 0.85 * ((M2 * 0.25 + 1.0) + (M2 * M2) / 40.0);
}

}  // namespace arrasto
