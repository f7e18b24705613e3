#pragma once

namespace arrasto {

// Fin edge pressure drag on E x S per fin, the leading edge times cos^2(SA).
// AC = 1 rounded: (1 - M^2)^-0.417 - 1 (Barrowman) + CBC / 2, below Mach 1 only.
// Other AC, square: Q(M) (Hoerner) + CBC, no transonic rise. TC takes no part.
void CDPRESSAOE(const double& M, const double& TC, const double& S, const double& CBC,
                const double& N, const double& E, const double& SREF, double& CDPE,
                const double& SA, const int& AC);

// Nose pressure drag: for a cone (NA = 3) 0.8 sin^2 of its half-angle, a
// low-speed value kept at every Mach number; none for the other shapes.
// M takes no part.
void CDPRESSAON(const double& M, const int& NA, const double& DNA, const double& LNA,
                double& CDPN);

}  // namespace arrasto
