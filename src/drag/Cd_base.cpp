#include "drag/Cd_base.hpp"

namespace arrasto {

void CDBASEC(const double& SREF, const double& PI, const double& DC, double& CDBC,
             const double& ST, const double& M, const int& MOTORLIGADO, double& CBC,
             const double& /*CDA*/, const double& /*CF*/) {
  CBC = 0.13 * (M * M) + 0.12;
  // The base's share of SREF: computed, so that a zero DC gives a NaN.
  const double k = (PI * (DC * DC)) / (4.0 * SREF);
  if (MOTORLIGADO == 0)
    CDBC = CBC * k;
  else
    CDBC = (CBC * k) * (1.0 - ST / SREF);
}

}  // namespace arrasto
