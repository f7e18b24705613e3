#pragma once
// Lengths given in feet or inches, scaled to millimetres in place, in the
// order LNA, DNA, LC, DC, E, RC, TC, S, SC, DT, DETB, ETB, LTB.

namespace arrasto {

void PES(double& LNA, double& DNA, double& LC, double& DC, double& E, double& RC, double& TC,
         double& S, double& SC, double& DT, double& DETB, double& ETB, double& LTB);

void POLEGADAS(double& LNA, double& DNA, double& LC, double& DC, double& E, double& RC,
               double& TC, double& S, double& SC, double& DT, double& DETB, double& ETB,
               double& LTB);

}  // namespace arrasto
