#include "driver/Unidades.hpp"

#include <initializer_list>

namespace arrasto {
namespace {

void escalar(double factor, double& LNA, double& DNA, double& LC, double& DC, double& E,
             double& RC, double& TC, double& S, double& SC, double& DT, double& DETB,
             double& ETB, double& LTB) {
  for (double* length : {&LNA, &DNA, &LC, &DC, &E, &RC, &TC, &S, &SC, &DT, &DETB, &ETB, &LTB})
    *length = *length * factor;
}

}  // namespace

void PES(double& LNA, double& DNA, double& LC, double& DC, double& E, double& RC, double& TC,
         double& S, double& SC, double& DT, double& DETB, double& ETB, double& LTB) {
  escalar(304.8, LNA, DNA, LC, DC, E, RC, TC, S, SC, DT, DETB, ETB, LTB);
}

void POLEGADAS(double& LNA, double& DNA, double& LC, double& DC, double& E, double& RC,
               double& TC, double& S, double& SC, double& DT, double& DETB, double& ETB,
               double& LTB) {
  escalar(25.4, LNA, DNA, LC, DC, E, RC, TC, S, SC, DT, DETB, ETB, LTB);
}

}  // namespace arrasto
