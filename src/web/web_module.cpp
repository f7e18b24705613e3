// The WebAssembly module of the page: both programs, arrasto and
// arrasto-grafico, whose own main functions this build renames
// (arrasto_main, grafico_main) and runs as they are, over the page's files
// (see runtime/platform/platform_web.cpp), and what the page's form needs
// from the data file reader and the CSV export. Every call writes its
// error lines to standard error, as the programs do; the page shows them.

#include <emscripten.h>

#include <cmath>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "driver/Leitura_dados.hpp"
#include "driver/Nomes_resultado.hpp"
#include "driver/Principal.hpp"
#include "grafico/curve_csv.hpp"
#include "grafico/plot_files.hpp"
#include "grafico/run_report.hpp"
#include "runtime/io/list_reader.hpp"
#include "runtime/platform/console.hpp"
#include "runtime/platform/platform.hpp"
#include "runtime/run_error.hpp"

int arrasto_main(int argc, char** argv);
int grafico_main(int argc, char** argv);

namespace {

// The values of a data file as the run reads them, and what it reads them
// from; error is the run's one line when the file does not read cleanly.
struct DataFile {
  std::vector<rt::ListReader::ValueSpan> spans;
  std::string error;
  int IT = 0;
};

DataFile read_data_file(bool check_names) {
  DataFile data;
  rt::FixedText NOME{};
  std::string NOMECORTE;
  int LINHANOME = 0, LINHAIT = 0, U = 0, NA = 0, AC = 0, MOTORLIGADO = 0, NT = 0;
  double TO1 = 0, PO1 = 0, RETC = 0, MMAX = 0, PI = 0, LNA = 0, DNA = 0, LC = 0, DC = 0, N = 0;
  double E = 0, S = 0, SC = 0, DT = 0, DETB = 0, ETB = 0, LTB = 0;
  double RETE = 0, TO = 0, PO = 0, RC = 0, TC = 0;
  std::optional<rt::ListReader> reader;
  try {
    reader.emplace(arrasto::kArquivoDados);
    arrasto::LERDADOS(*reader, NOME, LINHANOME, NOMECORTE, U, TO1, PO1, RETC, RETE, MMAX,
                      data.IT, LINHAIT, TO, PO, PI, NA, LNA, DNA, LC, DC, N, AC, E, RC,
                      TC, S, SC, MOTORLIGADO, DT, NT, DETB, ETB, LTB);
    if (check_names) {
      rt::FixedText ARQCURVA{}, ARQTRAJ{};
      arrasto::NomesResultado names;
      arrasto::NOMESRESULTADO(NOME, NOMECORTE, ARQCURVA, ARQTRAJ, names);
      arrasto::VERIFICARNOMES(names, arrasto::kArquivoDados, LINHANOME);
    }
  } catch (const rt::RunError& error) {
    data.error = error.what();
  }
  if (reader) data.spans = reader->spans();
  return data;
}

void json_string(std::string& out, std::string_view text) {
  out += '"';
  for (const char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      constexpr char hex[] = "0123456789abcdef";
      out += "\\u00";
      out += hex[(c >> 4) & 1];
      out += hex[c & 15];
    } else {
      out += c;
    }
  }
  out += '"';
}

std::vector<std::string> lines_of(const char* text) {
  std::vector<std::string> lines;
  std::string line;
  for (const char* c = text; *c; ++c) {
    if (*c == '\n') lines.push_back(std::exchange(line, {}));
    else line += *c;
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

int run_main(int (*main_function)(int, char**), const char* program, const char* arguments) {
  std::vector<std::string> words = lines_of(arguments);
  words.insert(words.begin(), program);
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  return main_function(static_cast<int>(words.size()), argv.data());
}

}  // namespace

extern "C" {

// arrasto itself, on the page's dados.txt: 0 when the run was done, else
// its exit status, with its error line on standard error.
EMSCRIPTEN_KEEPALIVE int web_arrasto() { return run_main(arrasto_main, "arrasto", ""); }

// arrasto-grafico with the given arguments, one a line.
EMSCRIPTEN_KEEPALIVE int web_grafico(const char* arguments) {
  return run_main(grafico_main, "arrasto-grafico", arguments);
}

// What the form needs of dados.txt, as JSON: for each value read, its name,
// line and byte span; the run's error line, with the line and the value's
// name it begins with, when the file would not start a run; and the bytes
// the run will write (for its progress).
EMSCRIPTEN_KEEPALIVE const char* web_read_data() {
  static std::string out;
  const DataFile data = read_data_file(true);
  out = "{\"values\":[";
  for (const auto& span : data.spans) {
    if (out.back() == '}') out += ',';
    out += "{\"name\":";
    json_string(out, span.name);
    out += ",\"line\":" + std::to_string(span.line) + ",\"begin\":" + std::to_string(span.begin) +
           ",\"end\":" + std::to_string(span.end) + "}";
  }
  out += "],\"error\":";
  json_string(out, data.error);
  if (data.error.empty()) out += ",\"bytes\":" + std::to_string(arrasto::BYTESRESULTADO(data.IT));
  out += "}";
  return out.c_str();
}

// A run name as it must stand on line 1 so that it reads back whole:
// between apostrophes (a doubled one for each of its own) when it holds a
// blank, a comma, a slash or begins with a quote, else as it is.
EMSCRIPTEN_KEEPALIVE const char* web_name_text(const char* name) {
  static std::string out;
  const std::string_view text(name);
  if (!text.empty() && text.find_first_of(" \t,/") == std::string_view::npos &&
      text[0] != '\'' && text[0] != '"') {
    out = text;
    return out.c_str();
  }
  out = "'";
  for (const char c : text) out += c == '\'' ? std::string("''") : std::string(1, c);
  out += "'";
  return out.c_str();
}

// The curve file as CSV (see grafico::write_curve_csv); with hold, the
// drag coefficient held below M0, as the run's report beside the curve
// file gives it. 0 when written, else 1 with the error
// line on standard error.
EMSCRIPTEN_KEEPALIVE int web_curve_csv(const char* curve_name, const char* csv_name, int hold) {
  try {
    const std::string name(curve_name);
    const std::optional<double> m0 =
        hold ? grafico::model_lowest_mach(std::u8string(name.begin(), name.end())) : std::nullopt;
    grafico::write_curve_csv(name, csv_name, m0.value_or(NAN));
    return 0;
  } catch (const grafico::PlotError& error) {
    rt::print_error_line(error.what());
  }
  return 1;
}

}  // extern "C"
