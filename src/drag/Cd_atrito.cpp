#include "drag/Cd_atrito.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

#include "drag/Area_laminar.hpp"

namespace arrasto {
namespace {

// Reynolds number per millimetre at Mach 1: 8816603 P T^-1.26 per foot, from
// the density, the speed of sound (both by P and T) and a viscosity growing as
// T^0.76. It uses the real speed of sound at TO, unlike the 1224 km/h of V.
double escala_reynolds(const double& TO, const double& PO) {
  return ((8816603.0 * PO) * std::pow(TO, -1.26)) / 304.8;
}

// Compressibility correction of the turbulent coefficients, an empirical fit:
// 1 at Mach 0, about 0.92 at Mach 1.
double compressibilidade(const double& M) { return std::pow(0.15 * (M * M) + 1.0, -0.58); }

}  // namespace

void CDATRITOC(const double& TO, const double& PO, const double& RETC, const double& M,
               double& CF, const double& SWET, double& CFL, double& CFT, double& C,
               const double& L, const double& SREF, double& CDAC, const double& PI,
               const double& LNA, const double& DNA, const int& NA, const double& SWETNA,
               const double& DC) {
  const double RN = escala_reynolds(TO, PO);
  const double LNT = RETC / (M * RN);  // where the boundary layer turns turbulent
  double SWETL = 0.0;
  AREALAM(PI, NA, DNA, LNA, LNT, SWETNA, SWETL, DC);
  C = compressibilidade(M);
  CFL = (1.328 * (SWETL / SWET)) / std::sqrt(RETC);
  CFT = ((0.427 * (1.0 - SWETL / SWET)) * C) / std::pow(std::log10((M * RN) * L) - 0.407, 2.64);
  if (CFT <= 0.0) CFT = 0.0148;  // a not-a-number stays
  CF = CFL + CFT;
  CDAC = ((CF * SWET) * (1.0 - 0.09 * (M * M))) / SREF;
}

void CDATRITOE(const double& TO, const double& PO, const double& RETE, const double& M,
               double& CFE, const double& SWETE, double& CFLE, double& CFTE, double& C,
               const double& LE, const double& SREF, double& CDAE, const double& N) {
  const double RN = escala_reynolds(TO, PO);
  const double LNTE = RETE / (M * RN);
  C = compressibilidade(M);
  CFLE = 1.328 / std::sqrt(RETE);
  const double A = std::pow(std::log10((M * RN) * LE) - 0.407, 2.64);
  const double B = std::pow(std::log10(RETE) - 0.407, 2.64);
  CFTE = (0.427 * C) * ((1.0 / A) - ((LNTE / LE) / B));
  CFE = CFLE + CFTE;  // no lower limit
  CDAE = (((CFE * SWETE) * (1.0 - 0.09 * (M * M))) / SREF) * N;
}

void MACHMINIMO(const double& TO, const double& PO, const double& RETC, const double& RETE,
                const double& L, const double& LE, const double& N, double& M0) {
  constexpr double kNenhum = std::numeric_limits<double>::infinity();
  const double RN = escala_reynolds(TO, PO);
  // The Reynolds number where log10(Re) - 0.407 reaches zero.
  const double piso = std::pow(10.0, 0.407);
  const auto positivo = [&](const double& x) { return x > 0.0 && x < kNenhum; };
  const auto tem_modelo = [&](const double& RE, const double& comprimento) {
    return positivo(RN) && positivo(comprimento) && RE > piso && RE < kNenhum;
  };
  const double corpo = tem_modelo(RETC, L) ? RETC / (RN * L) : kNenhum;
  double aletas = kNenhum;
  if (tem_modelo(RETE, LE)) aletas = (N == 0.0 ? piso : RETE) / (RN * LE);
  M0 = std::max(corpo, aletas);
}

}  // namespace arrasto
