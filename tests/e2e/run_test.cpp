// Whole runs of arrasto in a scratch folder: the files it writes; the editor
// calls, in order, with what exists at each; and the errors, each one line
// with exit status 1 and no file touched.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <string>
#include <vector>

#include "run_folder.hpp"

namespace {

using e2e::RunFolder;
using Lines = std::vector<std::string>;

// The example rocket; line 1 is the run name, line 8 IT.
Lines example_lines() {
  return {"foguete  nome da corrida", "1   unidade mm", "20  temperatura C",
          "101.325 pressao kPa", "500000 RETC", "500000 RETE", "0.9  MMAX", "9    IT",
          "2    nariz ogiva", "120  LNA", "40   DNA", "600  LC", "40   DC", "4    N", "1    AC",
          "2    E", "80   RC", "40   TC", "50   S", "30   SC", "0    motor", "10   DT",
          "1    NT", "8    DETB", "1    ETB", "30   LTB"};
}

std::string join(const Lines& lines, const std::string& end = "\n") {
  std::string text;
  for (const std::string& line : lines) text += line + end;
  return text;
}

// The example with some lines replaced (line numbers from 1).
std::string data_with(std::initializer_list<std::pair<int, std::string>> changes) {
  Lines lines = example_lines();
  for (const auto& [line, text] : changes) lines[line - 1] = text;
  return join(lines);
}

const std::string kCabecalho =
    "  # N\xFAmero de Mach            V(km/h)           Coeficiente de arrasto\n";
const std::string kMach09 = "1101.60000000000       0.828571617328029     \n";  // V, Cd

const std::string kTrajetoria = "Curva_trajet\xC3\xB3ria_";  // as UTF-8 on disk

TEST(Run, TheExampleTotalsAndTheEditorCallsInOrder) {
  RunFolder folder;
  folder.write("dados.txt", join(example_lines()));
  const e2e::Outcome outcome = folder.run();
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(outcome.errors, "");
  EXPECT_EQ(outcome.output, "");

  // The second whole run pins the layout of every file. Here the last point
  // pins the sum of the drag terms on this rocket, the mean all nine points.
  const std::string curva = folder.read("Curva1_foguete");
  EXPECT_EQ(std::count(curva.begin(), curva.end(), '\n'), 10);
  EXPECT_TRUE(curva.starts_with(kCabecalho));
  EXPECT_TRUE(curva.ends_with("   0.900000000000000        " + kMach09));
  EXPECT_TRUE(folder.read("foguete").ends_with(
      " COEFICIENTE DE ARRASTO TOTAL:  0.828571617328029     \n \n"
      " COEFICIENTE DE ARRASTO M\xC9" "DIO:  0.529402445893906     \n"));

  const std::string curves = "Curva1_foguete " + kTrajetoria + "foguete";
  EXPECT_EQ(folder.editor_calls(),
            (Lines{"1 [dados.txt] | dados.txt",
                   "1 [Curva1_foguete] | " + curves + " dados.txt",
                   "1 [" + kTrajetoria + "foguete] | " + curves + " dados.txt",
                   "1 [foguete] | " + curves + " dados.txt foguete"}));
}

TEST(Run, WhatTheUserSavesInTheFirstEditorRunIsWhatIsRead) {
  RunFolder folder;
  folder.write("dados.txt", join(example_lines(), "\r\n"));
  folder.editor_script(
      "[ \"$1\" = dados.txt ] && sed -i 's/^9    IT/3 IT/; s/^0.9  MMAX/0.6/' dados.txt");
  ASSERT_EQ(folder.run().status, 0);
  const std::string curva = folder.read("Curva1_foguete");
  EXPECT_EQ(std::count(curva.begin(), curva.end(), '\n'), 4);
  EXPECT_NE(curva.find("\n   0.600000000000000 "), std::string::npos);
}

// Each run name gives its three files, and each file reaches the editor as a
// path: never through a command interpreter, never as an option.
TEST(Run, RunNamesGiveTheirFilesAndReachTheEditorAsPaths) {
  const std::string sh = "a;touch P1;$(touch P2) `touch P3`|x";
  const std::string c = "\xC3\xA7";  // a cedilla in UTF-8
  struct Case {
    std::string line, report, curve, trajectory;
  } const cases[] = {
      {"'" + sh + "'", sh, "Curva1_" + sh, kTrajetoria + sh.substr(0, 33)},
      {"-n", "-n", "Curva1_-n", kTrajetoria + "-n"},
      {"a\xE7o", "a" + c + "o", "Curva1_a" + c + "o", kTrajetoria + "a" + c + "o"},
  };
  for (const Case& name : cases) {
    SCOPED_TRACE(name.line);
    RunFolder folder;
    folder.write("dados.txt", data_with({{1, name.line}}));
    ASSERT_EQ(folder.run().status, 0);
    Lines files{name.report, name.curve, name.trajectory, "dados.txt"};
    std::sort(files.begin(), files.end());
    EXPECT_EQ(folder.files(), files);
    const Lines calls = folder.editor_calls();
    ASSERT_EQ(calls.size(), 4u);
    const std::string report = name.report[0] == '-' ? "./" + name.report : name.report;
    for (const auto& [call, shown] : {std::pair{1, name.curve}, {2, name.trajectory}, {3, report}})
      EXPECT_EQ(calls[call].substr(0, shown.size() + 6), "1 [" + shown + "] |");
  }
}

// No points, then one point over it: the second run replaces all three files,
// keeping their permissions but not the set-ID bits.
TEST(Run, NoPointsThenOnePointOverThem) {
  RunFolder folder;
  folder.write("dados.txt", data_with({{8, "0 IT"}}));
  ASSERT_EQ(folder.run().status, 0);
  EXPECT_EQ(folder.read("Curva1_foguete"), kCabecalho);
  EXPECT_EQ(folder.read(kTrajetoria + "foguete"), "");
  EXPECT_NE(folder.read("foguete").find("press\xE3o:            NaN\n"), std::string::npos);

  const std::string curva = (folder.dir() / "Curva1_foguete").string();
  ASSERT_EQ(::chmod(curva.c_str(), 06754), 0);
  folder.write("dados.txt", data_with({{8, "1 IT"}}));
  ASSERT_EQ(folder.run().status, 0);
  EXPECT_EQ(folder.read("Curva1_foguete"), kCabecalho + "   0.900000000000000        " + kMach09);
  EXPECT_EQ(folder.read(kTrajetoria + "foguete"), "    " + kMach09);
  EXPECT_NE(folder.read("foguete").find("M\xC9" "DIO:  0.828571617328029"), std::string::npos);
  struct stat st {};
  ASSERT_EQ(::stat(curva.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0754u);
}

struct BadInput {
  const char* what;
  std::string data;
  std::string message;
  std::string lang = "C";
};

TEST(Run, EveryInputErrorIsOneLineAndTouchesNoFile) {
  const Lines all = example_lines();
  const std::vector<BadInput> cases = {
      {"the last value missing, in Portuguese", join(Lines(all.begin(), all.end() - 1)),
       "dados.txt: LTB: falta o valor, o arquivo termina ap\xC3\xB3s 25 valores", "pt_BR.UTF-8"},
      {"unknown nose", data_with({{9, "7 nariz"}}),
       "dados.txt:9: NA: the nose shape must be 1 (half-ellipsoid), 2 (tangent ogive), 3 "
       "(cone) or 4 (paraboloid), found 7"},
      {"backslash in the name", data_with({{1, "a\\b"}}),
       "dados.txt:1: NOME: the run name cannot name a file: the first curve file "
       "\"Curva1_a\\\\b\" holds a '\\'"},
      {"blank name", data_with({{1, "'   '"}}),
       "dados.txt:1: NOME: the run name is blank, and it names the report file"},
      {"name of a folder", data_with({{1, ".."}}),
       "dados.txt:1: NOME: the run name cannot name a file: the report file \"..\" names a "
       "folder, not a file"},
      {"a folder of the run name", data_with({{1, "pasta"}}),
       "dados.txt:1: NOME: the report file \"pasta\" is a folder here, and no file can replace "
       "it"},
      {"a link to the data file", data_with({{1, "link"}}),
       "dados.txt:1: NOME: the report file \"link\" would overwrite the data file"},
  };
  for (const BadInput& bad : cases) {
    SCOPED_TRACE(bad.what);
    RunFolder folder;
    folder.write("dados.txt", bad.data);
    folder.write("Curva1_foguete", "older curve\n");
    std::filesystem::create_symlink("dados.txt", folder.dir() / "link");
    std::filesystem::create_directory(folder.dir() / "pasta");
    const e2e::Outcome outcome = folder.run({}, {"LANG=" + bad.lang});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.errors, bad.message + "\n");
    EXPECT_EQ(folder.files(), (Lines{"Curva1_foguete", "dados.txt", "link", "pasta"}));
    EXPECT_EQ(folder.read("Curva1_foguete"), "older curve\n");
    EXPECT_EQ(folder.read("dados.txt"), bad.data);
    EXPECT_EQ(folder.editor_calls().size(), 1u);  // only the data file was shown
  }
}

TEST(Run, AMissingDataFileIsAnErrorAndIsNotCreated) {
  RunFolder folder;
  const e2e::Outcome outcome = folder.run();
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.errors, "dados.txt: cannot open: No such file or directory\n");
  EXPECT_TRUE(folder.files().empty());
}

struct EndedEarly {
  const char* what;
  const char* points;
  long file_size_limit;
  const char* read_only;
  std::string editor;  // run at every editor call, $1 the file
  int status;
  std::string errors;
  std::size_t editor_calls;
  bool new_results;
};

// A write that fails, or a key at the editor, leaves the older results whole
// or replaces all three. The run and its editor share the keys of a terminal:
// "kill -INT 0" is a Ctrl-C reaching both.
TEST(Run, ARunEndedEarlyLeavesTheOlderResultsWhole) {
  const std::string trajetoria = kTrajetoria + "foguete";
  const std::vector<EndedEarly> cases = {
      {"the curves fit but the report does not", "1 IT", 400, nullptr, "", 1,
       "foguete: cannot write: File too large\n", 1, false},
      {"the second curve file is read-only", "9 IT", 0, trajetoria.c_str(), "", 1,
       trajetoria + ": cannot replace: the file is read-only\n", 1, false},
      {"an editor that handles Ctrl-C itself", "9 IT", 0, nullptr,
       "[ \"$1\" = dados.txt ] && { trap '' INT; kill -INT 0; }; exit 0", 0, "", 4, true},
      {"Ctrl-C ends the editor of the data", "9 IT", 0, nullptr,
       "[ \"$1\" = dados.txt ] && kill -INT 0", 128 + SIGINT, "", 1, false},
      {"the quit key ends the first curve's editor", "9 IT", 0, nullptr,
       "case \"$1\" in Curva1_*) kill -QUIT 0;; esac", 128 + SIGQUIT, "", 2, true},
  };
  const Lines older = {"Curva1_foguete", trajetoria, "dados.txt", "foguete"};
  for (const EndedEarly& run : cases) {
    SCOPED_TRACE(run.what);
    RunFolder folder;
    folder.write("dados.txt", data_with({{8, run.points}}));
    for (const std::string& name : {older[0], older[1], older[3]}) folder.write(name, "older\n");
    if (run.read_only)
      std::filesystem::permissions(folder.dir() / run.read_only, std::filesystem::perms::owner_read);
    folder.editor_script(run.editor);
    const e2e::Outcome outcome = folder.run(run.file_size_limit);
    EXPECT_EQ(outcome.status, run.status);
    EXPECT_EQ(outcome.errors, run.errors);
    EXPECT_EQ(folder.files(), older);
    EXPECT_EQ(folder.editor_calls().size(), run.editor_calls);
    for (const std::string& name : {older[0], older[1], older[3]})
      EXPECT_EQ(folder.read(name) == "older\n", !run.new_results) << name;
  }
}

TEST(Run, ARunStoppedWhileWritingLeavesNoTemporaryFile) {
  for (const int signal_number : {SIGINT, SIGTERM, SIGKILL}) {
    RunFolder folder;
    folder.write("dados.txt", data_with({{8, "2000000000 IT"}}));
    EXPECT_EQ(folder.stop_when_writing(signal_number), signal_number);
    EXPECT_EQ(folder.files(), Lines{"dados.txt"});
  }
}

TEST(Run, OnlyTheTemporariesOfRunsNoLongerAliveAreRemoved) {
  const pid_t gone = ::fork();
  if (gone == 0) ::_exit(0);
  ::waitpid(gone, nullptr, 0);
  const std::string dead = ".arrasto-" + std::to_string(gone) + "-3.tmp";
  const std::string alive = ".arrasto-" + std::to_string(::getpid()) + "-3.tmp";
  RunFolder folder;
  folder.write("dados.txt", join(example_lines()));
  for (const std::string& name : {dead, alive, std::string(".arrasto-x-3.tmp")})
    folder.write(name, "left over\n");
  ASSERT_EQ(folder.run().status, 0);
  EXPECT_EQ(folder.files(), (Lines{alive, ".arrasto-x-3.tmp", "Curva1_foguete",
                                   kTrajetoria + "foguete", "dados.txt", "foguete"}));
}

}  // namespace
