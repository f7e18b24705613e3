#include "geometry/Geometria_derivada.hpp"

#include <cmath>

namespace arrasto {

void GEOMETRIA(const double& PI, const double& LNA, const double& LC, const double& DC,
               const double& RC, const double& TC, const double& S, const double& SC,
               const double& DT, const double& DETB, const double& ETB,
               const double& SWETNA, double& SWETC, double& L, double& SWET, double& SREF,
               double& SA, double& SWETE, double& LE, double& ST, double& DITB) {
  SWETC = (PI * DC) * LC;           // body tube, lateral surface only
  L = LNA + LC;                     // nose plus body tube
  SWET = SWETNA + SWETC;            // nose and body together
  SREF = (PI * (DC * DC)) * 0.25;   // body cross-section
  SA = std::atan(SC / S);           // fin leading-edge sweep angle
  SWETE = (RC + TC) * S;            // one fin, both faces
  LE = (RC + TC) * 0.5;             // fin mean chord
  ST = (PI * (DT * DT)) * 0.25;     // nozzle exit
  DITB = DETB - (ETB + ETB);        // launch lug bore
}

}  // namespace arrasto
