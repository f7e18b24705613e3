#pragma once

namespace arrasto {

// Pressure drag of the fin edges: AC = 1 rounded edges, any other value
// square edges. TC takes no part.
void CDPRESSAOE(const double& M, const double& TC, const double& S, const double& CBC,
                const double& N, const double& E, const double& SREF, double& CDPE,
                const double& SA, const int& AC);

// Pressure drag of the nose: the cone (NA = 3) only. M takes no part.
void CDPRESSAON(const double& M, const int& NA, const double& DNA, const double& LNA,
                double& CDPN);

}  // namespace arrasto
