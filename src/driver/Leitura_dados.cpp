#include "driver/Leitura_dados.hpp"

#include <array>
#include <cmath>
#include <string>
#include <string_view>

#include "runtime/platform/messages.hpp"

namespace arrasto {
namespace {

// The messages are kept out of line, and cold: each is built only when the
// run stops. This keeps the reading small enough to be inlined into the driver,
// which is what lets the optimiser see that nothing in the sweep changes the
// values read (their addresses never leave the driver), and so compute the
// sweep's invariant powers once rather than at every point.
[[noreturn, gnu::noinline, gnu::cold]] void nariz_invalido(const rt::ListReader& leitor, int NA) {
  leitor.fail_at_line("NA", rt::tr("the nose shape must be 1 (half-ellipsoid), 2 (tangent "
                                   "ogive), 3 (cone) or 4 (paraboloid), found {}",
                                   {std::to_string(NA)}));
}

[[noreturn, gnu::noinline, gnu::cold]] void temperatura_invalida(const rt::ListReader& leitor) {
  leitor.fail_at_line("TO1", rt::tr("the air temperature must be a finite number above -273.15 "
                                    "(absolute zero), found {}",
                                    {leitor.quoted_value()}));
}

[[noreturn, gnu::noinline, gnu::cold]] void pressao_invalida(const rt::ListReader& leitor) {
  leitor.fail_at_line("PO1",
                      rt::tr("the air pressure must be a finite number above 0 kPa, found {}",
                             {leitor.quoted_value()}));
}

[[noreturn, gnu::noinline, gnu::cold]] void aletas_invalidas(const rt::ListReader& leitor) {
  leitor.fail_at_line("N", rt::tr("the number of fins must be a finite number of 0 or more, "
                                  "found {}",
                                  {leitor.quoted_value()}));
}

// What a length may be besides finite: any sign (the fins' sweep, negative
// when they sweep forward), 0 or more, or above 0.
enum class Faixa { qualquer, zero_ou_mais, acima_de_zero };

bool na_faixa(double valor, Faixa faixa) {
  return std::isfinite(valor) &&
         (faixa == Faixa::qualquer || (faixa == Faixa::zero_ou_mais ? valor >= 0.0 : valor > 0.0));
}

[[noreturn, gnu::noinline, gnu::cold]] void comprimento_invalido(const rt::ListReader& leitor,
                                                                 const char* nome, double valor,
                                                                 Faixa faixa) {
  const std::string lido = leitor.quoted_value();
  if (na_faixa(valor, faixa))
    leitor.fail_at_line(nome, rt::tr("{} is too large once converted to millimetres", {lido}));
  if (faixa == Faixa::qualquer)
    leitor.fail_at_line(nome, rt::tr("the fin sweep must be a finite number (negative for fins "
                                     "swept forward), found {}",
                                     {lido}));
  if (faixa == Faixa::acima_de_zero)
    leitor.fail_at_line(
        nome, rt::tr("the body tube diameter must be a finite number above 0, found {}", {lido}));
  leitor.fail_at_line(nome,
                      rt::tr("a length must be a finite number of 0 or more, found {}", {lido}));
}

// A length, in the unit U names: a finite number that stays finite once
// scaled to millimetres, and not negative. A negative length gives plausible
// wrong numbers, not NaN. Zero means "none" for most (no nozzle, no lug,
// pointed fins); the body tube's diameter sets the reference area every
// coefficient is divided by, and must be above 0.
inline double comprimento(rt::ListReader& leitor, const char* nome, double escala,
                          Faixa faixa = Faixa::zero_ou_mais) {
  // Only in millimetres is a length (of a body tube, say) written in thousands.
  using Milhares = rt::ListReader::Thousands;
  const double valor =
      leitor.read_real(nome, escala == 1.0 ? Milhares::possible : Milhares::unlikely);
  if (!na_faixa(valor, faixa) || !std::isfinite(valor * escala))
    comprimento_invalido(leitor, nome, valor, faixa);
  return valor;
}

// The 26 values in the order of the file.
constexpr std::array<std::string_view, 26> kNomes = {
    "NOME", "U",  "TO1", "PO1", "RETC", "RETE", "MMAX",        "IT", "NA",
    "LNA",  "DNA", "LC",  "DC",  "N",    "AC",   "E",           "RC", "TC",
    "S",    "SC",  "MOTORLIGADO",       "DT",   "NT",          "DETB", "ETB",
    "LTB"};

}  // namespace

void LERDADOS(rt::ListReader& leitor, rt::FixedText& NOME, int& LINHANOME, std::string& NOMECORTE,
              int& U, double& TO1, double& PO1, double& RETC, double& RETE, double& MMAX, int& IT,
              int& LINHAIT, double& TO, double& PO, double& PI, int& NA, double& LNA, double& DNA, double& LC,
              double& DC, double& N, int& AC, double& E, double& RC, double& TC, double& S,
              double& SC, int& MOTORLIGADO, double& DT, int& NT, double& DETB, double& ETB,
              double& LTB) {
  leitor.expect_names(kNomes);
  NOME = leitor.read_text("NOME");
  LINHANOME = leitor.line();
  NOMECORTE = leitor.text_cut_off();
  U = leitor.read_integer("U");
  // The factor by which PES or POLEGADAS will scale the lengths.
  const double escala = U == 2 ? 304.8 : U == 3 ? 25.4 : 1.0;
  // Checked as read, each before the next value is read (a value's message
  // names its own line), against what no real air or rocket can have.
  TO1 = leitor.read_real("TO1");
  if (!(std::isfinite(TO1) && TO1 > -273.15)) temperatura_invalida(leitor);
  PO1 = leitor.read_real("PO1");
  if (!(std::isfinite(PO1) && PO1 > 0.0)) pressao_invalida(leitor);
  RETC = leitor.read_real("RETC", rt::ListReader::Thousands::possible);
  RETE = leitor.read_real("RETE", rt::ListReader::Thousands::possible);
  MMAX = leitor.read_real("MMAX");
  IT = leitor.read_integer("IT");
  LINHAIT = leitor.line();

  TO = ((TO1 + 273.15) * 9.0) / 5.0;  // degrees Rankine
  PO = PO1 * 20.885434273;            // lbf/ft^2
  PI = 3.141592653589793;

  NA = leitor.read_integer("NA");
  // Only four nose shapes have a wetted area; any other code would leave
  // every area and drag term without a value.
  if (NA < 1 || NA > 4) nariz_invalido(leitor, NA);
  LNA = comprimento(leitor, "LNA", escala);
  DNA = comprimento(leitor, "DNA", escala);
  LC = comprimento(leitor, "LC", escala);
  DC = comprimento(leitor, "DC", escala, Faixa::acima_de_zero);
  N = leitor.read_real("N");
  if (!(std::isfinite(N) && N >= 0.0)) aletas_invalidas(leitor);
  AC = leitor.read_integer("AC");
  E = comprimento(leitor, "E", escala);
  RC = comprimento(leitor, "RC", escala);
  TC = comprimento(leitor, "TC", escala);
  S = comprimento(leitor, "S", escala);
  SC = comprimento(leitor, "SC", escala, Faixa::qualquer);
  MOTORLIGADO = leitor.read_integer("MOTORLIGADO");
  DT = comprimento(leitor, "DT", escala);
  NT = leitor.read_integer("NT");
  DETB = comprimento(leitor, "DETB", escala);
  ETB = comprimento(leitor, "ETB", escala);
  LTB = comprimento(leitor, "LTB", escala);
}

}  // namespace arrasto
