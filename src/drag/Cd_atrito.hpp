#pragma once
// Skin friction drag of the body and of the fins at Mach M, referred to SREF.
// TO is in degrees Rankine, PO in lbf/ft^2, lengths in millimetres.

namespace arrasto {

void CDATRITOC(const double& TO, const double& PO, const double& RETC, const double& M,
               double& CF, const double& SWET, double& CFL, double& CFT, double& C,
               const double& L, const double& SREF, double& CDAC, const double& PI,
               const double& LNA, const double& DNA, const int& NA, const double& SWETNA,
               const double& DC);

void CDATRITOE(const double& TO, const double& PO, const double& RETE, const double& M,
               double& CFE, const double& SWETE, double& CFLE, double& CFTE, double& C,
               const double& LE, const double& SREF, double& CDAE, const double& N);

}  // namespace arrasto
