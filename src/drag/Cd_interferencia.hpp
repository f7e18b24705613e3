#pragma once

namespace arrasto {

// Fin-body interference drag from the fin friction coefficient CFE; the
// junction length is the tip chord TC.
void CDINTERFERENCIA(const double& CFE, const double& E, const double& LE, const double& TC,
                     const double& DC, const double& N, const double& SREF, double& CDI);

}  // namespace arrasto
