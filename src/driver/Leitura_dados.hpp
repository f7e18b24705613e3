#pragma once
// Reads the 26 values of the data file in their order and derives the air
// state in the units of the friction formulas, checking each value as it is
// read. Lengths are left in the unit U names.

#include <string>

#include "runtime/io/fixed_text.hpp"
#include "runtime/io/list_reader.hpp"

namespace arrasto {

// The data file's name in the working directory.
inline constexpr const char* kArquivoDados = "dados.txt";

// LINHANOME receives the line the run name was read from, for messages
// about the result file names built from it, LINHAIT that of IT, for the
// message about the result files' size; NOMECORTE the bytes cut off
// the run name at 50 characters (see ListReader::text_cut_off).
void LERDADOS(rt::ListReader& leitor, rt::FixedText& NOME, int& LINHANOME, std::string& NOMECORTE,
              int& U, double& TO1, double& PO1, double& RETC, double& RETE, double& MMAX, int& IT,
              int& LINHAIT, double& TO, double& PO, double& PI, int& NA, double& LNA, double& DNA, double& LC,
              double& DC, double& N, int& AC, double& E, double& RC, double& TC, double& S,
              double& SC, int& MOTORLIGADO, double& DT, int& NT, double& DETB, double& ETB,
              double& LTB);

}  // namespace arrasto
