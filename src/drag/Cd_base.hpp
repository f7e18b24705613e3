#pragma once

namespace arrasto {

// Base pressure coefficient CBC and body base drag CDBC at Mach M; while the
// motor burns (MOTORLIGADO not 0) the nozzle area ST is taken off the base.
// CDA and CF take no part.
void CDBASEC(const double& SREF, const double& PI, const double& DC, double& CDBC,
             const double& ST, const double& M, const int& MOTORLIGADO, double& CBC,
             const double& CDA, const double& CF);

}  // namespace arrasto
