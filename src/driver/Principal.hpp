#pragma once
// The whole run: the data file shown in the editor, read and checked, the
// geometry derived, the Mach sweep written to both curve files, the curve
// files and then the report shown in the editor.

#include <cstdint>

namespace arrasto {

// The bytes the three result files of a run of IT points take: the curve
// files' records have fixed widths, so this is exact for them; the report
// is counted generously.
std::uint64_t BYTESRESULTADO(int IT);

// Throws rt::RunError with the one line to report when the run cannot be
// done; nothing is written to the console otherwise.
void PRINCIPAL();

}  // namespace arrasto
