#pragma once
// The three result files' names, built from the run name, and the checks
// that make a run safe for the user's files: each name must land as a plain
// file in the working directory, none may be the data file, and no two may
// be one file.

#include <cstdint>
#include <string>

#include "runtime/io/fixed_text.hpp"

namespace arrasto {

// On-disk names (UTF-8) of the result files.
struct NomesResultado {
  std::string curva;       // first curve file
  std::string trajetoria;  // second curve file
  std::string relatorio;   // report
};

// ARQCURVA and ARQTRAJ as the run has always joined them ("Curva1_" and
// "Curva_trajetória_" with NOME, cut at 50), and the on-disk names.
// NOMECORTE: the bytes cut off the run name when it was read.
void NOMESRESULTADO(const rt::FixedText& NOME, const std::string& NOMECORTE,
                    rt::FixedText& ARQCURVA, rt::FixedText& ARQTRAJ, NomesResultado& nomes);

// Throws RunError ("FILE:LINE: NOME: ...") when a result file could not be
// written safely; data_file is the data file's name, line the run name's.
void VERIFICARNOMES(const NomesResultado& nomes, const std::string& data_file, int line);

// Throws RunError ("FILE: IT: ...", saying how much the files need and how
// much there is) when the result files of IT points, `bytes` in all, cannot
// fit in the free space of the working folder; a file system that cannot
// say its free space lets the run go on.
void VERIFICARESPACO(int IT, std::uint64_t bytes, const std::string& data_file, int line);

}  // namespace arrasto
