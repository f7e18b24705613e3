#include "data_file_check.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>

#include "driver/Leitura_dados.hpp"
#include "driver/Nomes_resultado.hpp"
#include "runtime/run_error.hpp"

namespace arrasto_fuzz {
namespace {

// The 26 values in file order.
constexpr std::array<std::string_view, 26> kNomes = {
    "NOME", "U",  "TO1", "PO1", "RETC", "RETE", "MMAX",        "IT", "NA",
    "LNA",  "DNA", "LC",  "DC",  "N",    "AC",   "E",           "RC", "TC",
    "S",    "SC",  "MOTORLIGADO",       "DT",   "NT",          "DETB", "ETB",
    "LTB"};

// A message is for a user's terminal: a bounded line, not an echo of the
// input (long values are shown cut).
constexpr std::size_t kLongestMessage = 1000;

bool is_blank(char c) { return c == ' ' || c == '\t'; }

// Line number (from 1) of the bytes, without its end; LF, CR LF and a lone
// CR each end a line. next is set to where the line after it begins, npos
// when there is none.
std::string_view line_of(std::string_view bytes, long number, std::size_t& next) {
  std::size_t begin = 0;
  for (long n = 1; n < number; ++n) {
    const std::size_t end = bytes.find_first_of("\r\n", begin);
    if (end == std::string_view::npos) {
      next = std::string_view::npos;
      return {};
    }
    begin = end + (bytes.substr(end, 2) == "\r\n" ? 2 : 1);
  }
  std::size_t end = bytes.find_first_of("\r\n", begin);
  next = end == std::string_view::npos ? end : end + (bytes.substr(end, 2) == "\r\n" ? 2 : 1);
  if (end == std::string_view::npos) end = bytes.size();
  return bytes.substr(begin, end - begin);
}

bool holds_something(std::string_view text) {
  return std::any_of(text.begin(), text.end(), [](char c) { return !is_blank(c); });
}

bool line_holds_something(std::string_view bytes, long number) {
  std::size_t next;
  return holds_something(line_of(bytes, number, next));
}

// What keeps a message from being one line of printable UTF-8 that reads
// as its bytes are: a byte that is not UTF-8, a line end or other control
// character, DEL, or a character that reorders or hides text (bidirectional
// formatting, zero-width characters, the byte-order mark).
std::string unprintable(std::string_view message) {
  for (std::size_t i = 0; i < message.size();) {
    const auto byte = static_cast<unsigned char>(message[i]);
    const std::size_t n = byte < 0x80   ? 1
                          : byte < 0xC2 ? 0
                          : byte < 0xE0 ? 2
                          : byte < 0xF0 ? 3
                          : byte < 0xF5 ? 4
                                        : 0;
    if (n == 0 || i + n > message.size())
      return "the message holds the byte " + std::to_string(byte);
    char32_t c = n == 1 ? byte : byte & (0x7F >> n);
    for (std::size_t k = 1; k < n; ++k) {
      const auto next = static_cast<unsigned char>(message[i + k]);
      if ((next & 0xC0) != 0x80) return "the message holds the byte " + std::to_string(byte);
      c = (c << 6) | (next & 0x3F);
    }
    const char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < least[n] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
      return "the message holds an ill-formed character at byte " + std::to_string(i);
    if (c == '\n' || c == '\r') return "the message holds a line end";
    if (c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x061C || (c >= 0x200B && c <= 0x200F) ||
        (c >= 0x2028 && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069) || c == 0xFEFF) {
      char code[16];
      std::snprintf(code, sizeof code, "U+%04lX", static_cast<unsigned long>(c));
      return std::string("the message holds the character ") + code;
    }
    i += n;
  }
  return {};
}

void add(std::string& out, int value) { out += std::to_string(value) + ' '; }

void add(std::string& out, double value) {
  std::uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  out += std::to_string(bits) + ' ';
}

}  // namespace

std::string message_fault(std::string_view message, std::string_view bytes) {
  if (message.empty()) return "the message is empty";
  if (message.size() > kLongestMessage)
    return "the message is " + std::to_string(message.size()) + " bytes long";
  if (const std::string fault = unprintable(message); !fault.empty()) return fault;
  constexpr std::string_view kFile = "dados.txt:";
  // A file saved as UTF-16 is refused whole, before any value.
  if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
    constexpr std::string_view kUtf16 =
        "dados.txt: the file is saved as UTF-16 (\"Unicode\"); save it as UTF-8 or ANSI";
    return message == kUtf16 ? std::string() : "a UTF-16 file not refused as such";
  }
  if (!message.starts_with(kFile)) return "the message does not begin with \"dados.txt:\"";
  std::string_view rest = message.substr(kFile.size());

  long line = 0;
  if (rest.starts_with(' ')) {
    rest.remove_prefix(1);
  } else {
    std::size_t digits = 0;
    while (digits < rest.size() && rest[digits] >= '0' && rest[digits] <= '9') ++digits;
    if (digits == 0 || rest[0] == '0' || digits > 9)
      return "the message has neither a line number nor a blank after \"dados.txt:\"";
    for (std::size_t i = 0; i < digits; ++i) line = line * 10 + (rest[i] - '0');
    rest.remove_prefix(digits);
    if (!rest.starts_with(": ")) return "the line number is not followed by \": \"";
    rest.remove_prefix(2);
    if (!line_holds_something(bytes, line))
      return "the message names line " + std::to_string(line) + ", which holds no value";
  }

  const std::size_t colon = rest.find(": ");
  if (colon == std::string_view::npos) return "the message names no value";
  const std::string_view name = rest.substr(0, colon);
  const auto at = std::find(kNomes.begin(), kNomes.end(), name);
  if (at == kNomes.end()) return "the message names \"" + std::string(name) + "\", not a value";
  const std::string_view what = rest.substr(colon + 2);
  if (what.empty()) return "the message does not say what is wrong";

  // A file that ends early names its last value, on its line, and nothing
  // but blanks follows that line; one with no value at all names the first.
  const auto place = at - kNomes.begin();
  if (what.starts_with("missing, the file")) {
    if (line != 0) return "a value missing at the end of the file is given a line";
    if (place != 0 || what != "missing, the file holds no value")
      return "\"" + std::string(what) + "\" for " + std::string(name);
  }
  if (what.starts_with("the file holds")) {
    if (line == 0 || place == 25) return "an early end given no line, or after the last value";
    const std::string expected = "the file holds " + std::to_string(place + 1) +
                                 " of the 26 values and ends after this one; " +
                                 std::string(kNomes[place + 1]) + ", or a line above, is missing";
    if (what != expected) return "\"" + std::string(what) + "\", expected \"" + expected + "\"";
    std::size_t next;
    line_of(bytes, line, next);
    if (next != std::string_view::npos &&
        bytes.substr(next).find_first_not_of(" \t\r\n") != std::string_view::npos)
      return "an early end at line " + std::to_string(line) + ", with more after it";
  }
  // A line labelled with another value's name holds that name.
  constexpr std::string_view kLabelled = "the line is labelled ";
  if (what.starts_with(kLabelled)) {
    const std::string_view label = what.substr(kLabelled.size(), what.find(':') - kLabelled.size());
    if (label == name || std::find(kNomes.begin(), kNomes.end(), label) == kNomes.end())
      return "the line is said to be labelled \"" + std::string(label) + "\"";
    std::size_t next;
    if (line_of(bytes, line, next).find(label) == std::string_view::npos)
      return "line " + std::to_string(line) + " does not hold its label " + std::string(label);
  }
  return {};
}

Outcome check_data_file(std::string_view bytes) {
  rt::FixedText NOME{};
  std::string NOMECORTE;
  int LINHANOME = 0, LINHAIT = 0, U = 0, IT = 0, NA = 0, AC = 0, MOTORLIGADO = 0, NT = 0;
  double TO1 = 0, PO1 = 0, RETC = 0, RETE = 0, MMAX = 0, TO = 0, PO = 0, PI = 0;
  double LNA = 0, DNA = 0, LC = 0, DC = 0, N = 0, E = 0, RC = 0, TC = 0, S = 0, SC = 0;
  double DT = 0, DETB = 0, ETB = 0, LTB = 0;
  rt::FixedText ARQCURVA{}, ARQTRAJ{};
  arrasto::NomesResultado nomes;

  Outcome outcome;
  try {
    rt::ListReader leitor(arrasto::kArquivoDados, std::string(bytes));
    arrasto::LERDADOS(leitor, NOME, LINHANOME, NOMECORTE, U, TO1, PO1, RETC, RETE, MMAX, IT, LINHAIT,
                      TO, PO, PI, NA, LNA, DNA, LC, DC, N, AC, E, RC, TC, S, SC, MOTORLIGADO, DT, NT,
                      DETB, ETB, LTB);
    // One value a line: the last of 26 cannot sit before line 26.
    if (leitor.line() < 26)
      outcome.fault = "26 values read by line " + std::to_string(leitor.line());
    else if (LINHANOME < 1 || LINHANOME >= leitor.line())
      outcome.fault = "the run name's line " + std::to_string(LINHANOME) + " is out of place";
    else if (NA < 1 || NA > 4)
      outcome.fault = "NA = " + std::to_string(NA) + " accepted";
    // What no real air or rocket can have; every length finite in millimetres.
    const double escala = U == 2 ? 304.8 : U == 3 ? 25.4 : 1.0;
    for (const double comprimento : {LNA, DNA, LC, DC, E, RC, TC, S, SC, DT, DETB, ETB, LTB})
      if (!std::isfinite(comprimento * escala)) outcome.fault = "a length not finite accepted";
    for (const double comprimento : {LNA, DNA, LC, E, RC, TC, S, DT, DETB, ETB, LTB})
      if (comprimento < 0) outcome.fault = "a negative length accepted";
    if (!(DC > 0 && N >= 0 && TO1 > -273.15 && PO1 > 0 && std::isfinite(N) &&
          std::isfinite(TO1) && std::isfinite(PO1)))
      outcome.fault = "an impossible DC, N, TO1 or PO1 accepted";
    arrasto::NOMESRESULTADO(NOME, NOMECORTE, ARQCURVA, ARQTRAJ, nomes);
    arrasto::VERIFICARNOMES(nomes, arrasto::kArquivoDados, LINHANOME);
    outcome.read_all = true;
    outcome.values.assign(NOME.begin(), NOME.end());
    outcome.values += ' ';
    for (const int v : {LINHANOME, U, IT, NA, AC, MOTORLIGADO, NT}) add(outcome.values, v);
    for (const double v : {TO1, PO1, RETC, RETE, MMAX, TO, PO, PI, LNA, DNA, LC, DC, N, E, RC,
                           TC, S, SC, DT, DETB, ETB, LTB})
      add(outcome.values, v);
  } catch (const rt::RunError& error) {
    outcome.message = error.what();
    if (outcome.fault.empty()) outcome.fault = message_fault(outcome.message, bytes);
  } catch (const std::exception& error) {
    outcome.fault = std::string("an exception other than RunError: ") + error.what();
  } catch (...) {
    outcome.fault = "an exception of unknown type";
  }
  return outcome;
}

Outcome check_data_file_both_line_ends(std::string_view bytes) {
  Outcome lf = check_data_file(bytes);
  if (!lf.fault.empty() || bytes.find('\r') != std::string_view::npos) return lf;
  for (const std::string_view line_end : {"\r\n", "\r"}) {
    std::string changed;
    changed.reserve(bytes.size() + bytes.size() / 8);
    for (const char c : bytes) {
      if (c == '\n') changed += line_end;
      else changed += c;
    }
    const std::string what = line_end.size() == 2 ? "CR LF line ends" : "CR line ends";
    Outcome other = check_data_file(changed);
    if (!other.fault.empty()) {
      other.fault = "with " + what + ": " + other.fault;
      return other;
    }
    if (other.read_all != lf.read_all || other.values != lf.values ||
        other.message != lf.message) {
      lf.fault = what + " change the outcome: " +
                 (other.read_all ? std::string("all values read") : "\"" + other.message + "\"") +
                 (other.read_all && lf.read_all ? " but other values" : "");
      return lf;
    }
  }
  return lf;
}

}  // namespace arrasto_fuzz
