// The run name as read into the three result names, and the lengths
// scaled by the unit code. (The whole runs pin the order of the values.)

#include <gtest/gtest.h>

#include <string>

#include "driver/Leitura_dados.hpp"
#include "driver/Nomes_resultado.hpp"
#include "driver/Unidades.hpp"

namespace {

// The three result names of a run name as written in the file: a
// Windows-1252 letter at the end is kept, and a UTF-8 character is dropped
// only where a cut (50 when read, 43 and 33 in the joins) fell inside it.
TEST(DataFile, ResultNamesKeepEveryWholeCharacter) {
  const std::string a49(49, 'a'), traj = "Curva_trajet\xC3\xB3ria_";
  std::string values = "\n1\n20\n101.325\n5e5\n5e5\n0.9\n9\n";  // then 18 lengths and codes
  for (int i = 0; i < 18; ++i) values += "1\n";
  struct Case { std::string line, report, curve, trajectory; } const cases[] = {
      {"Jos\xE9", "Jos\xC3\xA9", "Curva1_Jos\xC3\xA9", traj + "Jos\xC3\xA9"},
      {a49 + "\xC3\xA9", a49, "Curva1_" + a49.substr(0, 43), traj + a49.substr(0, 33)},
      {a49 + "\xE9\xE9", a49 + "\xC3\xA9", "Curva1_" + a49.substr(0, 43),
       traj + a49.substr(0, 33)},
      {a49.substr(0, 42) + "\xC3\xA9", a49.substr(0, 42) + "\xC3\xA9",
       "Curva1_" + a49.substr(0, 42), traj + a49.substr(0, 33)},
  };
  for (const Case& c : cases) {
    rt::ListReader leitor("dados.txt", c.line + values);
    rt::FixedText NOME, ARQCURVA, ARQTRAJ;
    std::string NOMECORTE;
    int LINHANOME, U, IT, NA, AC, MOTORLIGADO, NT;
    double TO1, PO1, RETC, RETE, MMAX, TO, PO, PI, LNA, DNA, LC, DC, N, E, RC, TC, S, SC, DT, DETB,
        ETB, LTB;
    arrasto::LERDADOS(leitor, NOME, LINHANOME, NOMECORTE, U, TO1, PO1, RETC, RETE, MMAX, IT, TO, PO,
                      PI, NA, LNA, DNA, LC, DC, N, AC, E, RC, TC, S, SC, MOTORLIGADO, DT, NT, DETB,
                      ETB, LTB);
    arrasto::NomesResultado nomes;
    arrasto::NOMESRESULTADO(NOME, NOMECORTE, ARQCURVA, ARQTRAJ, nomes);
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
