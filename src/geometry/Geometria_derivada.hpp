#pragma once
// The areas, lengths and angle derived once per run from the dimensions in
// millimetres, after the nose wetted area SWETNA. SREF, the tube's section, is
// every coefficient's reference area. Trapezoidal fins: S the span from the
// tube's surface, SC the axial offset of the tip's leading edge from the root's.

namespace arrasto {

void GEOMETRIA(const double& PI, const double& LNA, const double& LC, const double& DC,
               const double& RC, const double& TC, const double& S, const double& SC,
               const double& DT, const double& DETB, const double& ETB,
               const double& SWETNA, double& SWETC, double& L, double& SWET, double& SREF,
               double& SA, double& SWETE, double& LE, double& ST, double& DITB);

}  // namespace arrasto
