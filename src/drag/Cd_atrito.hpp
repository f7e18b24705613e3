#pragma once
// Skin friction drag of the body and of the fins at Mach M, referred to SREF,
// from flat-plate friction coefficients: laminar 1.328 / sqrt(Re) (Blasius) up
// to the transition Reynolds number, turbulent 0.427 / (log10 Re - 0.407)^2.64
// (Schultz-Grunow) beyond it, the turbulent part scaled by the compressibility
// factor (1 + 0.15 M^2)^-0.58, and the drag by 1 - 0.09 M^2. Subsonic.
// TO is in degrees Rankine, PO in lbf/ft^2, lengths in millimetres.

namespace arrasto {

// Nose and body tube: laminar over the wetted area ahead of the transition,
// turbulent over the rest at the Reynolds number of the whole length L; a
// turbulent part of zero or below (body laminar to its end) becomes 0.0148.
void CDATRITOC(const double& TO, const double& PO, const double& RETC, const double& M,
               double& CF, const double& SWET, double& CFL, double& CFT, double& C,
               const double& L, const double& SREF, double& CDAC, const double& PI,
               const double& LNA, const double& DNA, const int& NA, const double& SWETNA,
               const double& DC);

// Fins: laminar at RETE plus turbulent over the mean chord LE less turbulent
// over the laminar run; holds while that run is shorter than LE. Below, at low
// Mach numbers, it goes negative with no lower limit: kept on purpose.
void CDATRITOE(const double& TO, const double& PO, const double& RETE, const double& M,
               double& CFE, const double& SWETE, double& CFLE, double& CFTE, double& C,
               const double& LE, const double& SREF, double& CDAE, const double& N);

// M0: the lowest Mach number at which both friction terms are inside their
// model, so that a run can say which of its points are not. The body's
// laminar run RETC / (M RN) must end before the body does (beyond L the
// turbulent share is zero or less and CFT becomes 0.0148), and the fins'
// laminar run RETE / (M RN) within the mean chord LE (beyond it CFTE goes
// negative): M0 = max(RETC / (RN L), RETE / (RN LE)), with the Reynolds
// scale RN of the friction routines. With N = 0 the fin terms are zero and
// only the body counts, down to where the chord's Reynolds number falls to
// 10^0.407, below which the fin coefficient, times N, is NaN. A transition
// number at or below 10^0.407, where Schultz-Grunow's logarithm is no longer
// positive, a length that is not positive and finite, or an air state
// without a positive finite RN, leaves no Mach number inside the model:
// M0 is then infinite. Never NaN.
void MACHMINIMO(const double& TO, const double& PO, const double& RETC, const double& RETE,
                const double& L, const double& LE, const double& N, double& M0);

}  // namespace arrasto
