#pragma once
// What must hold for any bytes at all given as the data file: the reading
// and the result-name checks either take all 26 values, or end with exactly
// one RunError whose message is a single printable line of the form
// "dados.txt:LINE: NAME: ..." or "dados.txt: NAME: ...", NAME one of the
// 26 value names. Shared by the fuzz target and the regression tests.

#include <string>
#include <string_view>

namespace arrasto_fuzz {

struct Outcome {
  bool read_all = false;  // all 26 values read and the result names accepted
  std::string values;     // then the 26 values, bit for bit, as text
  std::string message;    // the RunError's message when not
  std::string fault;      // what broke the rules above; empty when nothing did
};

// Reads bytes as the data file (LERDADOS), then builds and checks the result
// file names (NOMESRESULTADO, VERIFICARNOMES). The name checks ask the file
// system about names in the working directory, so call it from a scratch
// directory.
Outcome check_data_file(std::string_view bytes);

// check_data_file, and for bytes without a carriage return the same bytes
// with CR LF and with CR line ends as well: all must give the same values
// or the same message. The first fault found is in the outcome returned.
Outcome check_data_file_both_line_ends(std::string_view bytes);

// Why an error message for the data file bytes is not in the reader's form;
// empty when it is.
std::string message_fault(std::string_view message, std::string_view bytes);

}  // namespace arrasto_fuzz
