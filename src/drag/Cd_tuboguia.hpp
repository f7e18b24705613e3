#pragma once

namespace arrasto {

// Launch lug drag (Hoerner): the outer disc at the stagnation pressure Q(M);
// a lug shorter than its outer diameter is charged up to 1.3 times, with that
// share of its bore open. Only when NT = 1. SWETC takes no part.
void CDTUBO(const double& PI, const double& DETB, const double& DITB, const double& LTB,
            const double& SREF, double& CDTB, const int& NT, const double& M,
            const double& SWETC);

}  // namespace arrasto
