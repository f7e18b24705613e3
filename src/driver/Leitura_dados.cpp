#include "driver/Leitura_dados.hpp"

#include <string>

#include "runtime/platform/messages.hpp"

namespace arrasto {
namespace {

// Kept out of line, and cold: the message is built only when the run
// stops. This keeps the reading small enough to be inlined into the driver,
// which is what lets the optimiser see that nothing in the sweep changes the
// values read (their addresses never leave the driver), and so compute the
// sweep's invariant powers once rather than at every point.
[[noreturn, gnu::noinline, gnu::cold]] void nariz_invalido(const rt::ListReader& leitor, int NA) {
  leitor.fail_at_line("NA", rt::tr("the nose shape must be 1 (half-ellipsoid), 2 (tangent "
                                   "ogive), 3 (cone) or 4 (paraboloid), found {}",
                                   {std::to_string(NA)}));
}

}  // namespace

void LERDADOS(rt::ListReader& leitor, rt::FixedText& NOME, int& LINHANOME, std::string& NOMECORTE,
              int& U, double& TO1, double& PO1, double& RETC, double& RETE, double& MMAX, int& IT,
              double& TO, double& PO, double& PI, int& NA, double& LNA, double& DNA, double& LC,
              double& DC, double& N, int& AC, double& E, double& RC, double& TC, double& S,
              double& SC, int& MOTORLIGADO, double& DT, int& NT, double& DETB, double& ETB,
              double& LTB) {
  NOME = leitor.read_text("NOME");
  LINHANOME = leitor.line();
  NOMECORTE = leitor.text_cut_off();
  U = leitor.read_integer("U");
  TO1 = leitor.read_real("TO1");
  PO1 = leitor.read_real("PO1");
  RETC = leitor.read_real("RETC");
  RETE = leitor.read_real("RETE");
  MMAX = leitor.read_real("MMAX");
  IT = leitor.read_integer("IT");

  TO = ((TO1 + 273.15) * 9.0) / 5.0;  // degrees Rankine
  PO = PO1 * 20.885434273;            // lbf/ft^2
  PI = 3.141592653589793;

  NA = leitor.read_integer("NA");
  // Only four nose shapes have a wetted area; any other code would leave
  // every area and drag term without a value.
  if (NA < 1 || NA > 4) nariz_invalido(leitor, NA);
  LNA = leitor.read_real("LNA");
  DNA = leitor.read_real("DNA");
  LC = leitor.read_real("LC");
  DC = leitor.read_real("DC");
  N = leitor.read_real("N");
  AC = leitor.read_integer("AC");
  E = leitor.read_real("E");
  RC = leitor.read_real("RC");
  TC = leitor.read_real("TC");
  S = leitor.read_real("S");
  SC = leitor.read_real("SC");
  MOTORLIGADO = leitor.read_integer("MOTORLIGADO");
  DT = leitor.read_real("DT");
  NT = leitor.read_integer("NT");
  DETB = leitor.read_real("DETB");
  ETB = leitor.read_real("ETB");
  LTB = leitor.read_real("LTB");
}

}  // namespace arrasto
