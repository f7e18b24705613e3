#include "drag/Area_laminar.hpp"

namespace arrasto {

void AREALAM(const double& PI, const int& NA, const double& /*DNA*/, const double& LNA,
             const double& LNT, const double& SWETNA, double& SWETL, const double& DC) {
  if (NA < 1 || NA > 4) return;
  if (LNT < LNA)
    SWETL = SWETNA * (LNT / LNA);
  else  // also when either is not a number
    SWETL = SWETNA + (DC * PI) * (LNT - LNA);
}

}  // namespace arrasto
