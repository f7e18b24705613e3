#include "drag/Cd_interferencia.hpp"

namespace arrasto {

void CDINTERFERENCIA(const double& CFE, const double& E, const double& LE, const double& TC,
                     const double& DC, const double& N, const double& SREF, double& CDI) {
  const double t = (2.0 * E) / LE + 1.0;  // thickness factor
  CDI = ((((CFE * t) * TC) * DC) * N) / SREF;
}

}  // namespace arrasto
