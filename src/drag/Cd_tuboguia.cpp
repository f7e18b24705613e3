#include "drag/Cd_tuboguia.hpp"

#include "drag/Fator_pressao.hpp"

namespace arrasto {

void CDTUBO(const double& PI, const double& DETB, const double& DITB, const double& LTB,
            const double& SREF, double& CDTB, const int& NT, const double& M,
            const double& /*SWETC*/) {
  if (NT != 1) {
    CDTB = 0.0;
    return;
  }
  const double Q = fator_pressao(M);
  // Written as comparisons, not std::max, so that a NaN ratio (a lug of
  // outer diameter 0) counts as the bound instead of flowing on.
  const double k = 1.3 - 0.3 * (LTB / DETB);
  const double fator_comprimento = k > 1.0 ? k : 1.0;
  const double f = 1.0 - LTB / DETB;
  const double fracao_aberta = f > 0.0 ? f : 0.0;
  CDTB = ((fator_comprimento * Q) *
          ((PI * (DETB * DETB)) * 0.25 - ((PI * (DITB * DITB)) * 0.25) * fracao_aberta)) /
         SREF;
}

}  // namespace arrasto
