#pragma once

namespace arrasto {

// Launch lug drag, counted only when NT = 1. SWETC takes no part.
void CDTUBO(const double& PI, const double& DETB, const double& DITB, const double& LTB,
            const double& SREF, double& CDTB, const int& NT, const double& M,
            const double& SWETC);

}  // namespace arrasto
