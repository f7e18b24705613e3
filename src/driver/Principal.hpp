#pragma once
// The whole run: the data file shown in the editor, read and checked, the
// geometry derived, the Mach sweep written to both curve files, the curve
// files and then the report shown in the editor.

namespace arrasto {

// Throws rt::RunError with the one line to report when the run cannot be
// done; nothing is written to the console otherwise.
void PRINCIPAL();

}  // namespace arrasto
