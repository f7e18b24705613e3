// The 26 values read in their order, the air state derived from them, and
// the lengths scaled by the unit code.

#include <gtest/gtest.h>

#include <string>

#include "driver/Leitura_dados.hpp"
#include "driver/Nomes_resultado.hpp"
#include "driver/Unidades.hpp"

namespace {

struct Dados {
  rt::FixedText NOME{};
  std::string NOMECORTE;
  int LINHANOME = 0, U = 0, IT = 0, NA = 0, AC = 0, MOTORLIGADO = 0, NT = 0;
  double TO1, PO1, RETC, RETE, MMAX, TO, PO, PI, LNA, DNA, LC, DC, N, E, RC, TC, S, SC, DT,
      DETB, ETB, LTB;
};

// The 25 values after the run name.
const std::string kValues = "\n2\n-273.15\n1\n5e5\n6D5\n0.9\n9\n3\n1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n11\n12\n"
                            "13\n14\n15\n16\n17\n";

Dados ler(const std::string& bytes) {
  rt::ListReader leitor("dados.txt", bytes);
  Dados d;
  arrasto::LERDADOS(leitor, d.NOME, d.LINHANOME, d.NOMECORTE, d.U, d.TO1, d.PO1, d.RETC, d.RETE,
                    d.MMAX, d.IT, d.TO, d.PO, d.PI, d.NA, d.LNA, d.DNA, d.LC, d.DC, d.N, d.AC, d.E,
                    d.RC, d.TC, d.S, d.SC, d.MOTORLIGADO, d.DT, d.NT, d.DETB, d.ETB, d.LTB);
  return d;
}

TEST(DataFile, ValuesInOrderWithRemarksAndTheAirState) {
  // Remarks after some values, a blank line, a quoted name on line 2.
  const Dados d = ler("\n'meu foguete' nome" + kValues);
  EXPECT_EQ(std::string(rt::trimmed(d.NOME)), "meu foguete");
  EXPECT_EQ(d.LINHANOME, 2);
  EXPECT_EQ(d.TO, 0.0);
  EXPECT_EQ(d.PO, 20.885434273);
  EXPECT_EQ(d.RETE, 600000.0);
  EXPECT_EQ(d.LTB, 17.0);
}

// The three result names of a run name as written in the file: a
// Windows-1252 letter at the end is kept, and a UTF-8 character is dropped
// only where a cut (50 when read, 43 and 33 in the joins) fell inside it.
TEST(DataFile, ResultNamesKeepEveryWholeCharacter) {
  const std::string a49(49, 'a'), traj = "Curva_trajet\xC3\xB3ria_";
  struct Case {
    std::string line, report, curve, trajectory;
  } const cases[] = {
      {"Jos\xE9", "Jos\xC3\xA9", "Curva1_Jos\xC3\xA9", traj + "Jos\xC3\xA9"},
      {a49 + "\xC3\xA9", a49, "Curva1_" + a49.substr(0, 43), traj + a49.substr(0, 33)},
      {a49 + "\xE9\xE9", a49 + "\xC3\xA9", "Curva1_" + a49.substr(0, 43),
       traj + a49.substr(0, 33)},
      {a49.substr(0, 42) + "\xC3\xA9", a49.substr(0, 42) + "\xC3\xA9",
       "Curva1_" + a49.substr(0, 42), traj + a49.substr(0, 33)},
  };
  for (const Case& c : cases) {
    Dados d = ler(c.line + kValues);
    rt::FixedText ARQCURVA, ARQTRAJ;
    arrasto::NomesResultado nomes;
    arrasto::NOMESRESULTADO(d.NOME, d.NOMECORTE, ARQCURVA, ARQTRAJ, nomes);
    EXPECT_EQ(nomes.relatorio, c.report) << c.line;
    EXPECT_EQ(nomes.curva, c.curve) << c.line;
    EXPECT_EQ(nomes.trajetoria, c.trajectory) << c.line;
  }
}

TEST(DataFile, InchesToMillimetres) {  // feet: the second whole run
  double v[13] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 2};
  arrasto::POLEGADAS(v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9], v[10], v[11],
                     v[12]);
  EXPECT_EQ(v[0], 25.4);
  EXPECT_EQ(v[12], 50.8);
}

}  // namespace
