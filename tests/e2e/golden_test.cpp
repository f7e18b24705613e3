// A second whole run, byte for byte, on a rocket that takes every branch
// the example does not: lengths in feet, a half-ellipsoid nose, square fin
// edges, the motor burning, and a launch lug shorter than its diameter
// (three quarters of it: the bore partly open). At Mach 0.4 the laminar
// run ends on the body tube, at Mach 0.8 on the nose.
//
// The expected digits were computed apart from this program, by a short
// script that follows each formula of the model in the same order with
// IEEE doubles (the same libm for pow, log10, sqrt, asin, atan, cos), the
// pressure drag rounded to single precision; the same script reproduces
// the example run's digits in run_test.cpp.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "run_folder.hpp"

namespace {

using Lines = std::vector<std::string>;

std::string join(const Lines& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

Lines feet_rocket(const std::string& nome) {
  return {nome, "2 pes", "15", "95", "1.5e6", "4e5", "0.8", "2", "1 semi-elipsoide",
          "0.4", "0.15", "2", "0.15", "3", "2 bordas retas", "0.01", "0.3", "0.1", "0.2",
          "0.15", "1 motor ligado", "0.05", "1", "0.04", "0.005", "0.03"};
}

TEST(GoldenRun, FeetHalfEllipsoidSquareEdgesMotorBurningShortLug) {
  e2e::RunFolder folder;
  folder.write("dados.txt", join(feet_rocket("pes")));
  const e2e::Outcome outcome = folder.run();
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(outcome.errors, "");
  const std::string trajetoria = "Curva_trajet\xC3\xB3ria_pes";
  EXPECT_EQ(folder.files(), (Lines{"Curva1_pes", trajetoria, "dados.txt", "pes"}));
  EXPECT_EQ(folder.read("Curva1_pes"),
            join({"  # N\xFAmero de Mach            V(km/h)           Coeficiente de arrasto",
                  "   0.400000000000000        489.600000000000       0.670785457408169     ",
                  "   0.800000000000000        979.200000000000       0.783452583372781     "}));
  EXPECT_EQ(folder.read(trajetoria),
            join({"    489.600000000000       0.670785457408169     ",
                  "    979.200000000000       0.783452583372781     "}));
  EXPECT_EQ(folder.read("pes"),
            join({" COEFICIENTE DE ARRASTO PARA MACHI =  0.800000000000000     ", " ",
                  " Coeficiente de arrasto de atrito:  0.202766656529678     ", " ",
                  " Coeficiente de arrasto de base:  0.180622222222222     ", " ",
                  " Coeficiente de arrasto do tubo-guia:  6.534652666666668E-002", " ",
                  " Coeficiente de arrasto de press\xE3o:  0.2851413    ", " ",
                  " Coeficiente de arrasto de interfer\xEAncia:  1.226859712525934E-002", " ",
                  " ",
                  " COEFICIENTE DE ARRASTO TOTAL:  0.783452583372781     ", " ",
                  " COEFICIENTE DE ARRASTO M\xC9" "DIO:  0.727119020390475     "}));
}

TEST(GoldenRun, ANameThatMakesTheReportTheFirstCurveFileIsRefused) {
  // "Curva1_" followed by this name, cut at 50 characters, is the name.
  const std::string nome = "Curva1_Curva1_Curva1_Curva1_Curva1_Curva1_Curva1_C";
  Lines dados = feet_rocket(nome);
  dados[8] = "4 paraboloide";  // the highest nose code, read as any other
  e2e::RunFolder folder;
  folder.write("dados.txt", join(dados));
  const e2e::Outcome outcome = folder.run();
  EXPECT_EQ(outcome.status, 1);
  const std::string quoted =
      "\"Curva1_Curva1_Curva1_Curva1_Curva1_Curva\" (cut; 50 bytes in all)";
  EXPECT_EQ(outcome.errors, "dados.txt:1: NOME: the first curve file " + quoted +
                                " and the report file " + quoted + " would be one file\n");
  EXPECT_EQ(folder.files(), Lines{"dados.txt"});
}

}  // namespace
