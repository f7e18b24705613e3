#pragma once
// Wetted area of the nose, by shape.

namespace arrasto {

// NA: 1 half-ellipsoid, 2 tangent ogive, 3 cone, 4 paraboloid; any other
// code leaves SWETNA as it was. LNA is the nose length, DNA its base diameter.
void NARIZGEO(const double& PI, const int& NA, const double& LNA, const double& DNA,
              double& SWETNA);

}  // namespace arrasto
