// Whole runs in a scratch folder: the files written, the editor calls in
// order with what exists at each, and the runs that fail, are stopped or
// only answer their command line, each leaving the older files whole.

#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statvfs.h>

#include <regex>

#include "run_folder.hpp"

namespace e2e {
namespace {

// The example rocket as shipped; line 1 is the run name, line 8 IT.
Lines example() { return lines_of(slurp(ARRASTO_SOURCE_DIR "/example/dados.txt")); }

// The example with one line replaced (numbered from 1).
std::string data_with(int line, const std::string& text) {
  Lines lines = example();
  lines[line - 1] = text;
  return join(lines);
}

// A rocket taking each branch the example does not: feet, a half-ellipsoid nose, square
// fin edges, the motor burning, a launch lug shorter than its diameter (bore partly open).
Lines feet_rocket(const std::string& nome, const std::string& nariz = "1 semi-elipsoide") {
  return {nome, "2 pes", "15", "95", "1.5e6", "4e5", "0.8", "2", nariz, "0.4", "0.15", "2",
          "0.15", "3", "2 bordas retas", "0.01", "0.3", "0.1", "0.2", "0.15", "1 motor ligado",
          "0.05", "1", "0.04", "0.005", "0.03"};
}

// Each example labels its values: the remark after each value begins with
// that line's name, so that a line lost or repeated while editing shows.
TEST(Example, EachRemarkBeginsWithItsLinesName) {
  const Lines names = {"NOME", "U",  "TO1", "PO1", "RETC", "RETE", "MMAX", "IT", "NA",
                       "LNA",  "DNA", "LC",  "DC",  "N",    "AC",   "E",    "RC", "TC",
                       "S",    "SC",  "MOTORLIGADO", "DT",  "NT",   "DETB", "ETB", "LTB"};
  for (const char* file : {"dados.txt", "dados-aletas.txt"}) {
    const Lines lines = lines_of(slurp(std::string(ARRASTO_SOURCE_DIR "/example/") + file));
    ASSERT_EQ(lines.size(), names.size()) << file;
    for (std::size_t i = 0; i < names.size(); ++i) {
      std::istringstream words(lines[i]);
      std::string value, name;
      words >> value >> name;
      EXPECT_EQ(name, names[i]) << file << ":" << i + 1;
    }
  }
}

const std::string kCabecalho =
    "  # N\xFAmero de Mach            V(km/h)           Coeficiente de arrasto\n";
const std::string kTrajetoria = "Curva_trajet\xC3\xB3ria_";  // as UTF-8 on disk

TEST(Run, TheExampleThenWhatTheUserSavedOverIt) {
  RunFolder folder;
  folder.write("dados.txt", join(example()));
  const Outcome outcome = folder.run();
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(outcome.errors + outcome.output, "");
  // The golden run pins the layout of every file. Here the last point pins
  // the sum of the drag terms on this rocket, the mean all nine points, and
  // the model's lowest Mach number the three points below it.
  EXPECT_EQ(lines_of(folder.read("Curva1_foguete")).size(), 10u);
  EXPECT_TRUE(folder.read("Curva1_foguete").ends_with(
      "   0.900000000000000        1101.60000000000       0.828571617328029     \n"));
  EXPECT_TRUE(folder.read("foguete").ends_with(
      " COEFICIENTE DE ARRASTO TOTAL:  0.828571617328029     \n \n"
      " COEFICIENTE DE ARRASTO M\xC9" "DIO:  0.529402445893906     \n \n"
      " Menor n\xFAmero de Mach v\xE1lido (M0):  0.366563262530292     \n \n"
      " Pontos da varredura abaixo de M0:           3\n"));
  // All three are in place before the first is shown.
  const std::string all = "Curva1_foguete " + kTrajetoria + "foguete dados.txt foguete";
  EXPECT_EQ(folder.editor_calls(),
            (Lines{"1 [dados.txt] | dados.txt", "1 [Curva1_foguete] | " + all,
                   "1 [" + kTrajetoria + "foguete] | " + all, "1 [foguete] | " + all}));
  // A new file's mode is as the umask leaves a created file's.
  const mode_t umask = ::umask(0);
  ::umask(umask);
  EXPECT_EQ(fs::status(folder.dir() / "foguete").permissions(), fs::perms(0666 & ~umask));

  // The user saves no points in the first editor: the values no point sets
  // read NaN (all the report's but MMAX), a replaced file keeps its mode but
  // not set-ID, and no hidden file of the user's is touched, whatever its
  // name: what looks like an older version's temporary, a link, a journal
  // that is not one.
  folder.write("dados.txt", join(example(), "\r\n"));
  folder.editor_script("[ \"$1\" = dados.txt ] && sed -i '8s/^9 /0 /' dados.txt");
  fs::permissions(folder.dir() / "Curva1_foguete", fs::perms(06754));
  Lines kept{".arrasto-99999-0.tmp", ".arrasto-2147483647-3.tmp",
             ".arrasto-0123456789abcdef.journal", ".arrasto-x-3.tmp"};
  for (const std::string& name : kept) folder.write(name, "data\n");
  fs::create_symlink("foguete", folder.dir() / ".arrasto-99998-0.tmp");
  kept.push_back(".arrasto-99998-0.tmp");
  ASSERT_EQ(folder.run().status, 0);
  EXPECT_EQ(folder.read("Curva1_foguete"), kCabecalho);
  EXPECT_EQ(folder.read(kTrajetoria + "foguete"), "");
  int nan = 0;
  for (const std::string& line : lines_of(folder.read("foguete"))) nan += line.ends_with(" NaN");
  EXPECT_EQ(nan, 7);
  EXPECT_EQ(fs::status(folder.dir() / "Curva1_foguete").permissions(), fs::perms(0754));
  kept.insert(kept.end(), {"Curva1_foguete", kTrajetoria + "foguete", "dados.txt", "foguete"});
  std::sort(kept.begin(), kept.end());
  EXPECT_EQ(folder.files(), kept);
  EXPECT_EQ(folder.read(".arrasto-x-3.tmp"), "data\n");
  EXPECT_TRUE(fs::is_symlink(folder.dir() / ".arrasto-99998-0.tmp"));
}

// Byte for byte; at Mach 0.4 the laminar run ends on the body tube, at 0.8 on
// the nose. The digits, and the example's above, come from a script apart
// from this program that follows each formula in the same order with IEEE
// doubles (the same libm), the pressure drag rounded to single precision.
TEST(Run, GoldenFeetHalfEllipsoidSquareEdgesMotorBurningShortLug) {
  RunFolder folder;
  folder.write("dados.txt", join(feet_rocket("pes")));
  ASSERT_EQ(folder.run().status, 0);
  const std::string v04 = "    489.600000000000       0.670785457408169     \n";
  const std::string v08 = "    979.200000000000       0.783452583372781     \n";
  EXPECT_EQ(folder.read("Curva1_pes"),
            kCabecalho + "   0.400000000000000    " + v04 + "   0.800000000000000    " + v08);
  EXPECT_EQ(folder.read(kTrajetoria + "pes"), v04 + v08);
  EXPECT_EQ(folder.read("pes"),
            join({" COEFICIENTE DE ARRASTO PARA MACHI =  0.800000000000000     ", " ",
                  " Coeficiente de arrasto de atrito:  0.202766656529678     ", " ",
                  " Coeficiente de arrasto de base:  0.180622222222222     ", " ",
                  " Coeficiente de arrasto do tubo-guia:  6.534652666666668E-002", " ",
                  " Coeficiente de arrasto de press\xE3o:  0.2851413    ", " ",
                  " Coeficiente de arrasto de interfer\xEAncia:  1.226859712525934E-002", " ", " ",
                  " COEFICIENTE DE ARRASTO TOTAL:  0.783452583372781     ", " ",
                  " COEFICIENTE DE ARRASTO M\xC9" "DIO:  0.727119020390475     ", " ",
                  " Menor n\xFAmero de Mach v\xE1lido (M0):  0.301248170013760     ", " ",
                  " Pontos da varredura abaixo de M0:           0"}));
}

// Each run name gives its three files, and each file reaches the editor as
// one argument: never through a command interpreter, never as an option;
// tools/Notepad then starts an editor command that has options.
TEST(Run, RunNamesReachTheEditorAsPaths) {
  const std::string sh = "a;touch P1;$(touch P2) `touch P3`|x", odd = "a b'c\"d $x";
  struct Case {
    std::string line, name, report;
    Lines editor;  // when set, tools/Notepad in front of the stand-in
    std::string options;
  } const cases[] = {
      {"'" + sh + "'", sh, sh, {}, "1"},
      {"-n", "-n", "./-n", {}, "1"},
      {"'a b''c\"d $x'", odd, odd, {"VISUAL=editor --wait", "EDITOR=vi"}, "2 [--wait]"},
      {"'a b''c\"d $x'", odd, odd, {"VISUAL=", "EDITOR=editor -n +1"}, "3 [-n] [+1]"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    RunFolder folder;
    folder.write("dados.txt", data_with(1, c.line));
    if (!c.editor.empty()) {
      fs::rename(folder.dir() / "../bin/Notepad", folder.dir() / "../bin/editor");
      fs::copy_file(ARRASTO_SOURCE_DIR "/tools/Notepad", folder.dir() / "../bin/Notepad");
    }
    ASSERT_EQ(folder.run({}, c.editor).status, 0);
    const std::string curve = "Curva1_" + c.name, trajectory = kTrajetoria + c.name.substr(0, 33);
    Lines files{c.name, curve, trajectory, "dados.txt"};
    std::sort(files.begin(), files.end());
    EXPECT_EQ(folder.files(), files);
    const Lines calls = folder.editor_calls();
    ASSERT_EQ(calls.size(), 4u);
    const Lines shown{"dados.txt", curve, trajectory, c.report};
    for (int i = 0; i < 4; ++i) {
      const std::string call = c.options + " [" + shown[i] + "] |";
      EXPECT_EQ(calls[i].substr(0, call.size()), call);
    }
  }
}

// With the editor helper on the PATH and no editor to start, one line says
// how to set one, Notepad is called no more, and the run goes on.
TEST(Run, AMissingEditorIsToldOnceAndTheRunGoesOn) {
  RunFolder folder;
  folder.write("dados.txt", join(example()));
  folder.editor_script("exec /bin/sh '" ARRASTO_SOURCE_DIR "/tools/Notepad' \"$@\"");
  const Outcome outcome = folder.run({}, {"VISUAL=no-such-editor --wait"});
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(outcome.errors,
            "Notepad: no editor to start; set VISUAL or EDITOR to your editor's command (for "
            "example, export VISUAL=nano); the run goes on without it\n");
  EXPECT_EQ(folder.editor_calls().size(), 1u);
  EXPECT_EQ(folder.files(), (Lines{"Curva1_foguete", kTrajetoria + "foguete", "dados.txt", "foguete"}));
}

// Runs that touch no file: a refused input is one line naming the file, the
// line and the value, status 1, after the data file's editor only; both
// programs answer --help and --version and refuse other arguments (status 2).
TEST(Run, RefusedInputsAndCommandLinesTouchNoFile) {
  const std::string nome = "Curva1_Curva1_Curva1_Curva1_Curva1_Curva1_Curva1_C";
  const std::string cut = "\"Curva1_Curva1_Curva1_Curva1_Curva1_Curva\" (cut; 50 bytes in all)";
  const auto refused = [](const std::string& shown) {
    return "arrasto: unexpected argument " + shown +
           ": the program takes no arguments; it works on \"dados.txt\" in the working folder "
           "(see \"arrasto --help\")\n";
  };
  const auto shell = [](const std::string& line, const std::string& program = ARRASTO_EXE) {
    return Lines{"-c", line, program};
  };
  const std::string full = "standard output: cannot write: No space left on device\n";
  struct NoResult {
    std::string data = join(example());
    Lines arguments = {};
    std::string program = ARRASTO_EXE, lang = "C";
    int status = 1;
    std::string output = "", errors = "";  // output: how standard output begins
  } const cases[] = {
      {.data = "", .errors = "dados.txt: no such file in the working folder (@DIR@): create it "
                             "there (the example's dados.txt is a start) or run arrasto in the "
                             "folder that holds it\n"},
      {.data = data_with(9, "0 nariz"), .lang = "pt_BR.UTF-8",
       .errors = "dados.txt:9: NA: a forma do nariz deve ser 1 (semielipsoide), 2 (ogiva "
                 "tangente), 3 (cone) ou 4 (paraboloide), encontrado 0\n"},
      {.data = data_with(9, "5 nariz"),
       .errors = "dados.txt:9: NA: the nose shape must be 1 (half-ellipsoid), 2 (tangent ogive), "
                 "3 (cone) or 4 (paraboloid), found 5\n"},
      // A decimal comma, a line missing above a labelled one, an impossible value.
      {.data = data_with(7, "0,9  MMAX"), .lang = "pt_BR.UTF-8",
       .errors = "dados.txt:7: MMAX: \"0,9\" tem v\xC3\xADrgula decimal; escreva 0.9\n"},
      {.data = data_with(10, ""),
       .errors = "dados.txt:11: LNA: the line is labelled DNA: a line above it is missing or "
                 "extra, or the label is wrong\n"},
      {.data = data_with(13, "-40 DC"),
       .errors = "dados.txt:13: DC: the body tube diameter must be a finite number above 0, found "
                 "\"-40\"\n"},
      {.data = data_with(1, "a\\b"),
       .errors = "dados.txt:1: NOME: the run name cannot name a file: the first curve file "
                 "\"Curva1_a\\\\b\" holds a '\\'\n"},
      {.data = data_with(1, "'   '"),
       .errors = "dados.txt:1: NOME: the run name is blank, and it names the report file\n"},
      {.data = data_with(1, "pasta"),
       .errors = "dados.txt:1: NOME: the report file \"pasta\" is a folder here, and no file can "
                 "replace it\n"},
      {.data = data_with(1, ".arrasto-1-0.tmp"),
       .errors = "dados.txt:1: NOME: the run name cannot name a file: the report file "
                 "\".arrasto-1-0.tmp\" begins with \".arrasto\", kept for the program's hidden "
                 "files\n"},
      {.data = data_with(1, "link"),
       .errors = "dados.txt:1: NOME: the report file \"link\" would overwrite the data file\n"},
      // "Curva1_" and this name, cut at 50 characters, is the name; the
      // highest nose code is read as any other.
      {.data = join(feet_rocket(nome, "4 paraboloide")),
       .errors = "dados.txt:1: NOME: the first curve file " + cut + " and the report file " + cut +
                 " would be one file\n"},
      {.arguments = {"--version"}, .status = 0, .output = "arrasto " ARRASTO_VERSION "\n"},
      {.arguments = {"-h"}, .lang = "pt_BR.UTF-8", .status = 0, .output = "Uso: arrasto\n"},
      {.arguments = {"--help"}, .status = 0, .output = "Usage: arrasto\n"},
      {.arguments = {"dados.txt"}, .status = 2, .errors = refused("\"dados.txt\"")},
      {.arguments = {"--help", "--version"}, .status = 2, .errors = refused("\"--version\"")},
      {.arguments = {"-x\x1B[31mRED\n2nd"}, .status = 2,
       .errors = refused("\"-x\\x1B[31mRED\\x0A2nd\"")},
      // Standard output that cannot take the text is a failure, not a success.
      {.arguments = shell("exec \"$0\" --help >/dev/full"), .program = "/bin/sh", .errors = full},
      {.arguments = shell("exec \"$0\" --version >&-"), .program = "/bin/sh",
       .errors = "standard output: cannot write: Bad file descriptor\n"},
      {.arguments = shell("exec \"$0\" --help >/dev/full", GRAFICO_EXE), .program = "/bin/sh",
       .errors = full},
      {.arguments = shell("exec \"$0\" --version >/dev/full", GRAFICO_EXE), .program = "/bin/sh",
       .errors = full},
      // In the locale's character set, not UTF-8.
      {.arguments = {"--help"}, .lang = "pt_BR.ISO-8859-1", .status = 0,
       .output = "Uso: arrasto\n     arrasto --help | --version\n\nEstima o coeficiente de "
                 "arrasto de um minifoguete numa faixa de n\xFAmeros de\n"},
      {.arguments = {"--version"}, .program = GRAFICO_EXE, .status = 0,
       .output = "arrasto-grafico " ARRASTO_VERSION "\n"},
      {.arguments = {"dados.txt", "--help"}, .program = GRAFICO_EXE, .status = 0,
       .output = "Usage: arrasto-grafico [FILE...]\n"},
      {.arguments = {"-x"}, .program = GRAFICO_EXE, .status = 2,
       .errors = "arrasto-grafico: unknown option \"-x\" (see \"arrasto-grafico --help\")\n"},
      {.arguments = {"-m", "pasta", "Curva1_foguete"}, .program = GRAFICO_EXE,
       .errors = "\"pasta\": cannot read: it is a folder\n"},
      {.arguments = {"Curva1_foguete", "-m"}, .program = GRAFICO_EXE, .status = 2,
       .errors = "arrasto-grafico: -m needs the name of a file of measured points\n"},
  };
  for (const NoResult& c : cases) {
    SCOPED_TRACE(c.errors + c.output);
    RunFolder folder;
    if (!c.data.empty()) folder.write("dados.txt", c.data);
    folder.write("Curva1_foguete", "older curve\n");
    fs::create_symlink("dados.txt", folder.dir() / "link");
    fs::create_directory(folder.dir() / "pasta");
    const Outcome outcome = folder.run(c.arguments, {"LANG=" + c.lang}, c.program);
    EXPECT_EQ(outcome.status, c.status);
    std::string errors = c.errors;
    if (const std::size_t at = errors.find("@DIR@"); at != std::string::npos)
      errors.replace(at, 5, fs::canonical(folder.dir()).string());
    EXPECT_EQ(outcome.errors, errors);
    EXPECT_EQ(outcome.output.substr(0, c.output.size()), c.output);
    EXPECT_EQ(outcome.output.empty(), c.output.empty());
    Lines files{"Curva1_foguete", "dados.txt", "link", "pasta"};
    if (c.data.empty()) files.erase(files.begin() + 1);
    EXPECT_EQ(folder.files(), files);
    EXPECT_EQ(folder.read("Curva1_foguete"), "older curve\n");
    EXPECT_EQ(folder.read("dados.txt"), c.data);
    EXPECT_EQ(folder.editor_calls().size(), c.arguments.empty() ? 1u : 0u);
  }
}

// A write that fails, a key at the editor or a signal that ends the run
// leaves the older results whole or replaces all three: all three are in
// place before the first is shown. "kill -INT 0" is a Ctrl-C reaching the
// run and its editor; a key ignored when the run starts (nohup) stays so for
// the editor; a hang-up is the terminal closed.
TEST(Run, ARunEndedEarlyLeavesTheOlderResultsWholeOrReplacesAll) {
  const std::string run = "exec \"$0\"", trajetoria = kTrajetoria + "foguete";
  struct EndedEarly {
    std::string points, launch, editor;  // IT; shell lines starting the run; at each editor call
    int status;
    std::string errors;
    std::size_t editor_calls;  // the results are new once the curves were shown
  } const cases[] = {
      {"1 IT", "prlimit --fsize=400 \"$0\"", "", 1, "foguete: cannot write: File too large\n", 1},
      {"9 IT", "chmod a-w " + trajetoria + "; " + run, "", 1,
       trajetoria + ": cannot replace: the file is read-only\n", 1},
      {"9 IT", run, "[ \"$1\" = dados.txt ] && { trap '' INT; kill -INT 0; }; exit 0", 0, "", 4},
      // As root, replacing another user's file in another user's shared folder.
      {"9 IT", "chmod +t .; chown 1 . foguete 2>/dev/null; " + run, "", 0, "", 4},
      {"9 IT", "trap '' INT; " + run, "[ \"$1\" = dados.txt ] && kill -INT 0; exit 0", 0, "", 4},
      // Started with standard input closed: the data file may get descriptor 0.
      {"9 IT", "exec \"$0\" <&-", "", 0, "", 4},
      // The editor gets the file size signal as the run was started with it: it would
      // end the run (signal 25 set in the editor's mask of ignored signals).
      {"9 IT", run, "case $(grep SigIgn /proc/self/status) in *[13579bdf]?????\?) kill -TERM $PPID;; esac",
       0, "", 4},
      {"9 IT", run, "[ \"$1\" = dados.txt ] && kill -INT 0", -SIGINT, "", 1},
      {"9 IT", run, "case \"$1\" in Curva1_*) kill -QUIT 0;; esac", -SIGQUIT, "", 2},
      {"9 IT", run, "case \"$1\" in Curva1_*) kill -TERM $PPID;; esac", -SIGTERM, "", 2},
      {"9 IT", run, "case \"$1\" in Curva1_*) kill -HUP $PPID;; esac", -SIGHUP, "", 2},
      {"9 IT", run, "[ \"$1\" = dados.txt ] && kill -TERM $PPID", -SIGTERM, "", 1},
  };
  const Lines older = {"Curva1_foguete", trajetoria, "dados.txt", "foguete"};
  for (const EndedEarly& c : cases) {
    SCOPED_TRACE(c.launch + " / " + c.editor);
    RunFolder folder;
    folder.write("dados.txt", data_with(8, c.points));
    for (const std::string& name : {older[0], older[1], older[3]}) folder.write(name, "older\n");
    folder.editor_script(c.editor);
    const Outcome outcome = folder.run({"-c", c.launch, ARRASTO_EXE}, {}, "/bin/sh");
    EXPECT_EQ(outcome.status, c.status);
    EXPECT_EQ(outcome.errors, c.errors);
    EXPECT_EQ(folder.files(), older);
    EXPECT_EQ(folder.editor_calls().size(), c.editor_calls);
    for (const std::string& name : {older[0], older[1], older[3]})
      EXPECT_EQ(folder.read(name) == "older\n", c.editor_calls == 1) << name;
  }
}

// Stopped while it writes, by a key (handled again once the data file's
// editor is closed) or a signal it cannot handle: nothing of the run is left
// but, after a kill, its hidden journal, which the next run removes even if
// it stops at once. Should the key go unheeded, the size limit ends the run
// soon.
TEST(Run, ARunStoppedWhileWritingLeavesNothingTheNextRunKeeps) {
  for (const int signal_number : {SIGINT, SIGQUIT, SIGKILL}) {
    RunFolder folder;
    folder.write("dados.txt", data_with(8, "20000000 IT"));
    const pid_t run = folder.start({"-c", "exec prlimit --fsize=100000000 \"$0\"", ARRASTO_EXE},
                                   {}, "/bin/sh");
    // It writes once it holds its result files open.
    const std::string here = fs::canonical(folder.dir()).string() + "/";
    int open = 0;
    for (int waited = 0; waited < 1000 && open < 3; ++waited) {
      ::usleep(10000);
      std::error_code e;
      open = 0;
      for (const auto& fd : fs::directory_iterator("/proc/" + std::to_string(run) + "/fd", e)) {
        const std::string to = fs::read_symlink(fd, e).string();
        open += to.starts_with(here) && to != here + "dados.txt";
      }
    }
    ASSERT_GE(open, 3);
    ::kill(run, signal_number);
    EXPECT_EQ(folder.wait(run).status, -signal_number);
    const Lines left = folder.files();
    if (signal_number == SIGKILL) {
      ASSERT_EQ(left.size(), 2u);
      EXPECT_TRUE(left[0].starts_with(".arrasto-") && left[0].ends_with(".journal")) << left[0];
      folder.write("dados.txt", data_with(9, "0 nariz"));
      EXPECT_EQ(folder.run().status, 1);
    }
    EXPECT_EQ(folder.files(), Lines{"dados.txt"});
  }
}

// The older set as three files of "older\n"; a set is whole when its three
// files are all older or all of one new run.
const Lines kResults = {"Curva1_foguete", kTrajetoria + "foguete", "foguete"};
void write_older(const RunFolder& folder) {
  for (const std::string& name : kResults) folder.write(name, "older\n");
}

// The report's first line names the run's MMAX, its curves' last lines the
// same Mach number (the first curve) and speed (the second).
std::string run_of(const RunFolder& folder) {
  const Lines report = lines_of(folder.read("foguete")), curve = lines_of(folder.read(kResults[0]));
  const Lines trajectory = lines_of(folder.read(kResults[1]));
  if (report.empty() || curve.empty() || trajectory.empty()) return "?";
  const std::string mach = report[0].substr(report[0].find('=') + 1);
  const bool whole = curve.back().substr(1, 24) == mach &&
                     trajectory.back() == " " + curve.back().substr(25);
  return whole ? mach : "mixed";
}

// In a folder others share (sticky, as /tmp is) a user replaces only what
// the system lets it move there: its own files, or any in a folder of its
// own; else the run stops before anything is written, naming the file.
// Acting as another user takes the superuser.
TEST(Run, InASharedFolderOnlyTheUsersOwnFilesAreReplaced) {
  if (::geteuid() != 0) GTEST_SKIP() << "acting as another user takes the superuser";
  constexpr uid_t kNobody = 65534;
  const struct {
    fs::perms folder;
    uid_t folder_owner, files_owner;
    std::string errors;
  } cases[] = {
      {fs::perms(01777), 0, 0, "Curva1_foguete: cannot replace: another user owns it in a shared folder\n"},
      {fs::perms(00777), 0, 0, ""},
      {fs::perms(01777), 0, kNobody, ""},
      {fs::perms(01777), kNobody, 0, ""},
  };
  for (const auto& c : cases) {
    RunFolder folder;
    folder.write("dados.txt", join(example()));
    write_older(folder);
    const fs::path root = folder.dir().parent_path();
    std::ofstream(root / "editor.log").flush();
    fs::permissions(root, fs::perms(0755));
    fs::permissions(root / "editor.log", fs::perms(0666));
    fs::permissions(root / "bin" / "Notepad", fs::perms(0755));
    for (const std::string& name : kResults) {
      fs::permissions(folder.dir() / name, fs::perms(0666));
      ASSERT_EQ(::chown((folder.dir() / name).c_str(), c.files_owner, c.files_owner), 0);
    }
    ASSERT_EQ(::chown(folder.dir().c_str(), c.folder_owner, c.folder_owner), 0);
    fs::permissions(folder.dir(), c.folder);
    const Outcome outcome = folder.run(
        {"-c", "exec setpriv --reuid=65534 --regid=65534 --clear-groups \"$0\"", ARRASTO_EXE}, {},
        "/bin/sh");
    EXPECT_EQ(outcome.errors, c.errors) << int(c.folder);
    for (const std::string& name : kResults)
      EXPECT_EQ(folder.read(name) == "older\n", !c.errors.empty()) << name;
    EXPECT_EQ(folder.editor_calls().size(), c.errors.empty() ? 4u : 1u);
  }
}

// A result file the system will not let be moved (chattr +i or +a, as root
// on a file system that has them) stops the run with one line, and all
// three older files stay as they were.
TEST(Run, AProtectedOlderFileLeavesAllThreeAsTheyWere) {
  for (const char* flag : {"i", "a"}) {
    RunFolder folder;
    folder.write("dados.txt", join(example()));
    write_older(folder);
    const Outcome outcome = folder.run(
        {"-c", std::string("chattr +") + flag + " foguete 2>/dev/null || exit 77; \"$0\"; s=$?; "
               "chattr -" + flag + " foguete; exit $s",
         ARRASTO_EXE},
        {}, "/bin/sh");
    if (outcome.status == 77) GTEST_SKIP() << "chattr is refused here";
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.errors, "foguete: cannot replace: Operation not permitted\n");
    EXPECT_EQ(folder.files(), (Lines{kResults[0], kResults[1], "dados.txt", "foguete"}));
    for (const std::string& name : kResults) EXPECT_EQ(folder.read(name), "older\n") << name;
  }
}

// A run killed while it moved its set in left a journal: the next run, as
// it starts, puts the older files back (the journal says "undo") or the new
// ones in ("redo"), and removes every hidden name the journal lists. A
// journal that does not parse, or that a living run holds, is left alone.
TEST(Run, AHalfMovedSetLeftByAKilledRunIsFinishedByTheNext) {
  const std::string journal = ".arrasto-0123456789abcdef.journal";
  const auto hidden = [](int i, const char* end) {
    return ".arrasto-0123456789abcdef-" + std::to_string(i) + end;
  };
  const std::string c = kResults[0], t = kResults[1], r = kResults[2];
  const std::string entries = "0 14 " + c + "\n1 " + std::to_string(t.size()) + " " + t +
                              "\n2 7 foguete\n";
  using Files = std::vector<std::pair<std::string, std::string>>;
  struct HalfMoved {
    std::string text;  // the journal's
    Files files;       // the others, but the data file, and their contents
    bool live;         // held by a living run
    Files after;       // when the next run has started
    std::string errors = "";  // else it stops at its data file's editor
  } const cases[] = {
      // Killed while writing, and while moving the older files aside.
      {"arrasto journal\nundo\n" + entries,
       {{c, "older"}, {t, "older"}, {r, "older"}, {hidden(0, ".new"), "new"}}, false,
       {{c, "older"}, {t, "older"}, {r, "older"}}},
      {"arrasto journal\nundo\n" + entries,
       {{hidden(0, ".old"), "older"}, {hidden(1, ".old"), "older"}, {r, "older"},
        {hidden(0, ".new"), "new"}, {hidden(1, ".new"), "new"}, {hidden(2, ".new"), "new"}},
       false, {{c, "older"}, {t, "older"}, {r, "older"}}},
      // Killed while moving the new files in, and while removing the older.
      {"arrasto journal\nredo\n" + entries,
       {{c, "new"}, {hidden(0, ".old"), "older"}, {hidden(1, ".old"), "older"},
        {hidden(1, ".new"), "new"}, {hidden(2, ".old"), "older"}, {hidden(2, ".new"), "new"}},
       false, {{c, "new"}, {t, "new"}, {r, "new"}}},
      {"arrasto journal\nredo\n" + entries,
       {{c, "new"}, {t, "new"}, {r, "new"}, {hidden(2, ".old"), "older"}}, false,
       {{c, "new"}, {t, "new"}, {r, "new"}}},
      // One that cannot be finished (a folder where a new file goes) stops
      // the run with one line, and is kept for a later run.
      {"arrasto journal\nredo\n" + entries, {{"foguete/x", ""}, {hidden(2, ".new"), "new"}}, false,
       {{"foguete", ""}, {hidden(2, ".new"), "new"}, {journal, "arrasto journal\nredo\n" + entries}},
       "foguete: cannot finish what a stopped run left: Is a directory\n"},
      // Not a journal of this program's: a name outside the folder.
      {"arrasto journal\nundo\n0 10 ../foguete\n", {{hidden(0, ".old"), "older"}}, false, {}},
      {"arrasto journal\nundo\n" + entries, {{hidden(0, ".old"), "older"}, {t, "older"}}, true,
       {}},
  };
  for (const HalfMoved& row : cases) {
    SCOPED_TRACE(row.text + (row.live ? " (held)" : ""));
    RunFolder folder;
    folder.write("dados.txt", join(example()));
    folder.write(journal, row.text);
    for (const auto& [name, contents] : row.files) {
      fs::create_directories((folder.dir() / name).parent_path());
      folder.write(name, contents);
    }
    const int held = ::open((folder.dir() / journal).c_str(), O_RDWR | O_CLOEXEC);
    if (row.live) {
      ASSERT_EQ(::flock(held, LOCK_EX), 0);
    }
    folder.editor_script("kill -INT 0");  // the run stops at the data file's editor
    const Outcome outcome = folder.run();
    EXPECT_EQ(outcome.status, row.errors.empty() ? -SIGINT : 1);
    EXPECT_EQ(outcome.errors, row.errors);
    ::close(held);
    Files after = row.after.empty() ? row.files : row.after;
    after.emplace_back("dados.txt", join(example()));
    if (row.after.empty()) after.emplace_back(journal, row.text);
    std::sort(after.begin(), after.end());
    Files found;
    for (const std::string& name : folder.files()) found.emplace_back(name, folder.read(name));
    EXPECT_EQ(found, after);
  }
}

// Two runs in one folder: one that puts its set in place while the other
// holds the folder waits for it, and a run started while another shows its
// results replaces them, all three; the folder never holds a mix.
TEST(Run, TwoRunsInOneFolderNeverMixTheirSets) {
  {
    RunFolder folder;
    folder.write("dados.txt", join(example()));
    write_older(folder);
    // The run waits in the data file's editor until this test holds the folder.
    folder.editor_script("[ \"$1\" = dados.txt ] && { touch ../editing; "
                         "while [ ! -e ../go ]; do sleep 0.01; done; }; exit 0");
    const pid_t run = folder.start();
    while (!fs::exists(folder.dir() / "../editing")) ::usleep(10000);
    const int lock = ::open(folder.dir().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_EQ(::flock(lock, LOCK_EX), 0);
    std::ofstream(folder.dir() / "../go");
    // Its three new files wait under their hidden names for the folder.
    int waiting = 0;
    for (int waited = 0; waited < 1000 && waiting < 3; ++waited) {
      ::usleep(10000);
      waiting = 0;
      for (const std::string& name : folder.files()) waiting += name.ends_with(".new");
    }
    EXPECT_EQ(waiting, 3);
    ::usleep(100000);
    int status = 0;
    EXPECT_EQ(::waitpid(run, &status, WNOHANG), 0) << "it did not wait for the folder";
    for (const std::string& name : kResults) EXPECT_EQ(folder.read(name), "older\n");
    ::close(lock);
    EXPECT_EQ(folder.wait(run).status, 0);
    EXPECT_EQ(run_of(folder), "  0.900000000000000     ");
  }
  // The second run, of a lower MMAX, in the first's curve editor.
  RunFolder folder;
  folder.write("dados.txt", join(example()));
  write_older(folder);
  folder.editor_script("case \"$1\" in Curva1_*) [ -e ../second ] || { touch ../second; "
                       "sed -i 's/^0.9 /0.5 /' dados.txt; '" ARRASTO_EXE "' || exit 1; };; esac");
  EXPECT_EQ(folder.run().status, 0);
  EXPECT_EQ(run_of(folder), "  0.500000000000000     ");
  EXPECT_EQ(folder.files(), (Lines{kResults[0], kResults[1], "dados.txt", "foguete"}));
}

// A sweep whose files cannot fit in the folder's free space stops before
// anything is written, saying how much it needs and how much there is (the
// size limit stops a run that goes on regardless).
TEST(Run, ARunWhoseFilesCannotFitStopsBeforeWriting) {
  struct Row {
    std::string lang, pattern;
  } const rows[] = {
      {"C", "dados\\.txt:8: IT: 2147483647 points need 266\\.3 GB for the result files, and the "
            "folder has [0-9]+\\.[0-9] [kMGT]B free\n"},
      {"pt_BR.UTF-8", "dados\\.txt:8: IT: 2147483647 pontos precisam de 266,3 GB para os arquivos "
                      "de resultado, e a pasta tem [0-9]+,[0-9] [kMGT]B livres\n"},
  };
  for (const Row& row : rows) {
    RunFolder folder;
    struct statvfs place {};
    ASSERT_EQ(::statvfs(folder.dir().c_str(), &place), 0);
    if (static_cast<double>(place.f_bavail) * place.f_frsize > 266.3e9)
      GTEST_SKIP() << "this folder has room for the files";
    folder.write("dados.txt", data_with(8, "2147483647 IT"));
    write_older(folder);
    const Outcome outcome = folder.run({"-c", "exec prlimit --fsize=100000000 \"$0\"", ARRASTO_EXE},
                                       {"LANG=" + row.lang}, "/bin/sh");
    EXPECT_EQ(outcome.status, 1);
    EXPECT_TRUE(std::regex_match(outcome.errors, std::regex(row.pattern))) << outcome.errors;
    EXPECT_EQ(folder.files(), (Lines{kResults[0], kResults[1], "dados.txt", "foguete"}));
    EXPECT_EQ(folder.editor_calls().size(), 1u);
  }
}

// arrasto-grafico on the curves arrasto writes for the example, beside a
// folder, a FIFO and a curve that cannot be drawn; the pictures rendered.
TEST(Run, ThePictureToolDrawsEachCurveOrNamesItInOneLine) {
  RunFolder folder;
  folder.write("dados.txt", join(example()));
  const Outcome none = folder.run({}, {}, GRAFICO_EXE);
  EXPECT_EQ(std::to_string(none.status) + none.errors, "1arrasto-grafico: no Curva1_ file in the working folder\n");
  ASSERT_EQ(folder.run().status, 0);
  fs::create_directory(folder.dir() / "Curva1_pasta");
  ASSERT_EQ(::mkfifo((folder.dir() / "Curva1_fifo").c_str(), 0600), 0);
  folder.write("Curva1_retas", "# header\n 0.5 612 0.4\n 0.9 1101.6 0.45\n");
  folder.write("Curva1_ruim.svg", "<svg>older</svg>");
  // Every Curva1_ file but the folder, the FIFO and the pictures, in silence.
  const Outcome all = folder.run({}, {}, GRAFICO_EXE);
  EXPECT_EQ(all.status, 0);
  EXPECT_EQ(all.errors, "");
  // A file that cannot be drawn is named in one line and keeps its older picture.
  folder.write("Curva1_ruim", "  # header\n 0.1 122.4\n");
  const Outcome ruim = folder.run({}, {}, GRAFICO_EXE);
  EXPECT_EQ(ruim.status, 1);
  EXPECT_EQ(ruim.errors, "\"Curva1_ruim\":2: expected 3 numbers, found 2\n");
  EXPECT_EQ(folder.read("Curva1_ruim.svg"), "<svg>older</svg>");
  const std::string picture = folder.read("Curva1_foguete.svg");
  EXPECT_NE(picture.find(">foguete</text>"), std::string::npos);
  const std::size_t line = picture.find("<polyline points=\"");
  ASSERT_NE(line, std::string::npos);
  const std::string points = picture.substr(line, picture.find("/>", line) - line);
  EXPECT_EQ(std::count(points.begin(), points.end(), ','), 9) << "the nine points, in one line";
  EXPECT_EQ(picture.find("sem pontos"), std::string::npos);  // the axes fit the points
  // M0 from the run's report; a curve without a report has none.
  EXPECT_NE(picture.find(">abaixo de M\xE2\x82\x80 = 0,367: atrito fora do modelo<"), std::string::npos);
  EXPECT_EQ(folder.read("Curva1_retas.svg").find("M\xE2\x82\x80"), std::string::npos);
  // Measured points from a Brazilian spreadsheet's CSV, over both curves.
  folder.write("medido.csv", "# T\xFAnel\r\nMach;Cd\r\n0,5;0,52\r\n");
  ASSERT_EQ(folder.run({"-m", "medido.csv", "-o", "comparacao.svg", "Curva1_foguete", "Curva1_retas"}, {},
                       GRAFICO_EXE).status, 0);
  EXPECT_NE(folder.read("comparacao.svg").find(">retas</text>"), std::string::npos);
  EXPECT_NE(folder.read("comparacao.svg").find(">T\xC3\xBAnel</text>"), std::string::npos);
  folder.write("medido.csv", "# T\xFAnel\n0,5 0,52\n0.6\n");
  const Outcome measured = folder.run({"-m", "medido.csv", "Curva1_retas"}, {}, GRAFICO_EXE);
  EXPECT_EQ(std::to_string(measured.status) + measured.errors,
            "1\"medido.csv\":3: expected 2 numbers (Mach number and drag coefficient), found 1\n");
  ASSERT_EQ(folder.run({"-c", "rsvg-convert -o curva.png Curva1_foguete.svg && "
                              "rsvg-convert -o comparacao.png comparacao.svg"}, {}, "/bin/sh").status, 0)
      << "rsvg-convert (Debian package librsvg2-bin) must be installed and draw the SVG";
  for (const char* png : {"curva.png", "comparacao.png"})  // a picture this small has no curve in it
    EXPECT_GT(folder.read(png).size(), 10000u) << png;
  // Each refused without hanging or reading without end, in one line that
  // names the file printably (two- and three-byte characters as they are, a
  // C1 control and an overlong form escaped) and gives the system's reason.
  const Outcome refused = folder.run(
      {"Curva1_pasta", "Curva1_fifo", "Curva1_a b\nb\x1B[31m\xFF\xE2\x82\xAC\xE0\x80\x80\xC3\x80\xC2\x85"},
      {},
      GRAFICO_EXE);
  EXPECT_EQ(refused.status, 1);
  const std::string start = "\"Curva1_pasta\": cannot read: it is a folder\n"
                            "\"Curva1_fifo\": cannot read: not a regular file\n\"Curva1_a b\\x0Ab\\x1B[31m\\xFF";
  const std::string end = "\\xE0\\x80\\x80";  // how the valid UTF-8 between shows is the quoting's own
  EXPECT_TRUE(refused.errors.starts_with(start) && refused.errors.find(end) != std::string::npos &&
              refused.errors.ends_with("\\xC2\\x85\": cannot open: No such file or directory\n"))
      << refused.errors;
}

// Each curve file arrasto writes at the extremes of its input is drawn, in
// bounded time, its values beyond the doubles shown as points not drawn.
TEST(Run, ThePictureToolDrawsEveryCurveArrastoWrites) {
  const struct {
    std::string mmax, it, note;
  } cases[] = {
      {"1.5e305", "9", ">9 pontos não finitos"},  // the speed overflows
      {"1.7976931348623157e308", "3", ">3 pontos não finitos"},
      {"-1.7976931348623157e308", "2", ">2 pontos não finitos"},  // written as -1.797693134862316E+308
      {"1e-320", "5", ">5 pontos não finitos"},
      {"-0.9", "9", ">9 pontos não finitos"},
      {"1e-5", "3", ">3 pontos com coeficiente negativo, abaixo de Mach 0,00002"},
      {"0.5", "1", "</svg>"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.mmax);
    RunFolder folder;
    Lines data = example();
    data[6] = c.mmax + " MMAX";
    data[7] = c.it + " IT";
    folder.write("dados.txt", join(data));
    ASSERT_EQ(folder.run().status, 0);
    const Outcome drawn = folder.run({}, {}, GRAFICO_EXE);
    EXPECT_EQ(std::to_string(drawn.status) + drawn.errors, "0");
    EXPECT_NE(folder.read("Curva1_foguete.svg").find(c.note), std::string::npos);
  }
}

// What the picture tool refuses: a command line, in one line and status 2,
// or a picture that would replace what is not an older picture, in one line
// and status 1; either way every file stays as it was.
TEST(Run, ThePictureToolReplacesNothingButAnOlderPicture) {
  const std::string curve = "Curva1_foguete", trajectory = kTrajetoria + "foguete";
  const struct {
    Lines arguments;
    int status;
    std::string errors, lang = "C";
  } cases[] = {
      {{"-o", curve, curve}, 1, "\"Curva1_foguete\": is one of the curve files; the picture would replace it\n"},
      {{"-o", "ligada.svg", curve}, 1, "\"ligada.svg\": is one of the curve files; the picture would replace it\n"},
      {{"-o", "dados.txt", curve}, 1, "\"dados.txt\": existe e não é uma figura SVG; fica como está\n",
       "pt_BR.UTF-8"},
      {{curve + "_texto"}, 1, "\"Curva1_foguete_texto.svg\": exists and is not an SVG picture; it is left as it is\n"},
      {{"-o", "fifo.svg", curve}, 1, "\"fifo.svg\": not a plain file; no picture replaces it\n"},
      {{"-o", "link.svg", curve}, 1, "\"link.svg\": not a plain file; no picture replaces it\n"},
      {{"-o", "pasta", curve}, 1, "\"pasta\": names a folder, not a picture file\n"},
      {{"-o", "nova/", curve}, 1, "\"nova/\": names a folder, not a picture file\n"},
      {{"-o", "a.svg", "-o", "b.svg", curve}, 2,
       "arrasto-grafico: -o appears twice (\"a.svg\" and \"b.svg\"); all the curves go into one picture\n"},
      {{"-o", "-", curve}, 2,
       "arrasto-grafico: -o -: the picture cannot go to standard output; give it a file name\n"},
      {{"-o", "c.svg"}, 2, "arrasto-grafico: -o needs the picture's file name and at least one curve file\n"},
      {{curve, ""}, 2, "arrasto-grafico: a curve file's name is empty\n"},
      {{"-x\x1B[31mRED\n2nd"}, 2,
       "arrasto-grafico: unknown option \"-x\\x1B[31mRED\\x0A2nd\" (see \"arrasto-grafico --help\")\n"},
      {{"--", "-o"}, 1, "\"-o\": cannot open: No such file or directory\n"},  // after "--", a file
      // The name of the run's trajectory curve, whatever its quoting shows of the "ó".
      {{trajectory}, 1, "; use \"Curva1_foguete\" instead\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.errors);
    RunFolder folder;
    folder.write("dados.txt", join(example()));
    for (const std::string& name : {curve, curve + "_texto"}) folder.write(name, kCabecalho + " 0.5 612 0.4\n");
    folder.write(trajectory, "    612.000000000000       0.400000000000000     \n");
    fs::create_hard_link(folder.dir() / curve, folder.dir() / "ligada.svg");
    folder.write(curve + "_texto.svg", "picture notes\n");
    ASSERT_EQ(::mkfifo((folder.dir() / "fifo.svg").c_str(), 0600), 0);
    fs::create_symlink("dados.txt", folder.dir() / "link.svg");
    fs::create_directory(folder.dir() / "pasta");
    const Lines files = folder.files();
    const auto contents = [&] {
      std::string all;
      for (const std::string& name : files) all += fs::is_regular_file(folder.dir() / name) ? folder.read(name) : name;
      return all;
    };
    const std::string before = contents();
    const Outcome outcome = folder.run(c.arguments, {"LANG=" + c.lang}, GRAFICO_EXE);
    EXPECT_EQ(outcome.status, c.status);
    EXPECT_TRUE(c.errors.starts_with(";") ? outcome.errors.ends_with(c.errors) : outcome.errors == c.errors)
        << outcome.errors;
    EXPECT_EQ(std::count(outcome.errors.begin(), outcome.errors.end(), '\n'), 1);
    EXPECT_EQ(folder.files(), files);
    EXPECT_TRUE(contents() == before && fs::status(folder.dir() / "fifo.svg").type() == fs::file_type::fifo)
        << "a file was replaced";
  }
  // A working folder the user may not list (the superuser run as nobody).
  RunFolder folder;
  fs::permissions(folder.dir().parent_path(), fs::perms(0711));
  fs::permissions(folder.dir(), fs::perms(0311));
  const std::string as_user = ::geteuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "";
  const Outcome unlisted =
      folder.run({"-c", "exec " + as_user + "\"$0\"", GRAFICO_EXE}, {"LANG=pt_BR.UTF-8"}, "/bin/sh");
  fs::permissions(folder.dir(), fs::perms(0700));
  EXPECT_EQ(std::to_string(unlisted.status) + unlisted.errors,
            "1arrasto-grafico: não foi possível ler a pasta de trabalho: Permissão negada\n");
}

}  // namespace
}  // namespace e2e
