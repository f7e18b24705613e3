#pragma once

namespace arrasto {

// Fin-body interference drag: fin friction CFE times the thickness factor
// 1 + 2 E / LE, over TC x DC per fin. The tip chord TC (not the root chord) and
// CFE's sign (negative at low Mach numbers) are kept on purpose.
void CDINTERFERENCIA(const double& CFE, const double& E, const double& LE, const double& TC,
                     const double& DC, const double& N, const double& SREF, double& CDI);

}  // namespace arrasto
