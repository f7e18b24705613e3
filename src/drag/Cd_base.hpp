#pragma once

namespace arrasto {

// Base drag: CBC = 0.12 + 0.13 M^2 on the base area (Fleeman, subsonic coast),
// referred to SREF; while the motor burns (MOTORLIGADO not 0) only the nozzle
// area ST is taken off. CBC also serves the fins' trailing edges. CDA, CF unused.
void CDBASEC(const double& SREF, const double& PI, const double& DC, double& CDBC,
             const double& ST, const double& M, const int& MOTORLIGADO, double& CBC,
             const double& CDA, const double& CF);

}  // namespace arrasto
