#include "geometry/Nariz_geometria.hpp"

#include <cmath>

namespace arrasto {

void NARIZGEO(const double& PI, const int& NA, const double& LNA, const double& DNA,
              double& SWETNA) {
  const double r = DNA * 0.5;
  const double l = LNA;
  switch (NA) {
    case 1: {  // half-ellipsoid
      const double e = std::sqrt(1.0 - (r * r) / (l * l));
      SWETNA = PI * (r * r + ((r * l) * std::asin(e)) / e);
      break;
    }
    case 2: {  // tangent ogive
      const double theta = std::asin(((2.0 * r) * l) / (l * l + r * r));
      SWETNA = (PI * ((l * l + r * r) / r)) * (((r * r - l * l) * theta) / (2.0 * r) + l);
      break;
    }
    case 3:  // cone
      SWETNA = (PI * r) * std::sqrt(l * l + r * r);
      break;
    case 4: {  // paraboloid
      const double q = r * r + 4.0 * (l * l);
      SWETNA = ((PI * r) / (6.0 * (l * l))) * (std::sqrt(q) * q - std::sqrt(r * r) * (r * r));
      break;
    }
    default:
      break;
  }
}

}  // namespace arrasto
