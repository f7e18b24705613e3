#pragma once
// Wetted area of the nose, by shape: the closed form of each solid's lateral
// surface, without the base disc.

namespace arrasto {

// NA: 1 half-ellipsoid, 2 tangent ogive, 3 cone, 4 paraboloid; any other
// code leaves SWETNA as it was. LNA is the nose length, DNA its base diameter.
// The half-ellipsoid holds for LNA > DNA / 2 (shorter gives a NaN), the tangent
// ogive for LNA >= DNA / 2.
void NARIZGEO(const double& PI, const int& NA, const double& LNA, const double& DNA,
              double& SWETNA);

}  // namespace arrasto
