#include "drag/Cd_pressao.hpp"

#include <cmath>

#include "drag/Fator_pressao.hpp"

namespace arrasto {

void CDPRESSAOE(const double& M, const double& /*TC*/, const double& S, const double& CBC,
                const double& N, const double& E, const double& SREF, double& CDPE,
                const double& SA, const int& AC) {
  const double Q = fator_pressao(M);
  double bordo_ataque;
  double bordo_fuga;
  if (AC == 1) {  // rounded: infinite at Mach 1, not a number above
    bordo_ataque = std::pow(1.0 - M * M, -0.417) - 1.0;
    bordo_fuga = CBC * 0.5;
  } else {
    bordo_ataque = Q;
    bordo_fuga = CBC;
  }
  CDPE = ((((bordo_ataque * (std::cos(SA) * std::cos(SA)) + bordo_fuga) * N) * E) * S) / SREF;
}

void CDPRESSAON(const double& /*M*/, const int& NA, const double& DNA, const double& LNA,
                double& CDPN) {
  if (NA == 3) {
    const double theta = std::atan((DNA * 0.5) / LNA);  // cone half-angle
    CDPN = 0.8 * (std::sin(theta) * std::sin(theta));
  } else {
    CDPN = 0.0;
  }
}

}  // namespace arrasto
