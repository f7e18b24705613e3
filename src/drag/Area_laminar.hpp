#pragma once

namespace arrasto {

// Laminar wetted area of the body for a laminar run LNT from the nose tip:
// a share of the nose in proportion to length while the run ends on it, else
// the whole nose plus the tube up to the run's end. Not limited to the body's
// area (at very low Mach numbers): kept on purpose, as it always was.
// DNA takes no part; a nose code outside 1 to 4 leaves SWETL as it was.
void AREALAM(const double& PI, const int& NA, const double& DNA, const double& LNA,
             const double& LNT, const double& SWETNA, double& SWETL, const double& DC);

}  // namespace arrasto
