// The command lines of both programs, and the POSIX editor helper starting
// an editor command that has options.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "run_folder.hpp"

namespace {

using e2e::RunFolder;
using Lines = std::vector<std::string>;

struct CommandLine {
  std::string program;
  Lines arguments;
  std::string lang;
  int status;
  std::string output_begins;
  std::string errors;
};

TEST(CommandLine, OptionsAreAnsweredAndAnythingElseRefusedWithoutTouchingAFile) {
  const std::string arrasto = ARRASTO_EXE, grafico = GRAFICO_EXE;
  const std::string refused =
      "arrasto: the program takes no arguments; it works on \"dados.txt\" in the working folder "
      "(see \"arrasto --help\")\n";
  const std::string recusado =
      "arrasto: o programa n\xC3\xA3o recebe argumentos; ele trabalha com o \"dados.txt\" da "
      "pasta de trabalho (veja \"arrasto --help\")\n";
  const std::vector<CommandLine> cases = {
      {arrasto, {"--version"}, "C", 0, "arrasto " ARRASTO_VERSION "\n", ""},
      {arrasto, {"--help"}, "C", 0, "Usage: arrasto\n", ""},
      {arrasto, {"-h"}, "pt_BR.UTF-8", 0, "Uso: arrasto\n", ""},
      {arrasto, {"dados.txt"}, "C", 2, "", refused},
      {arrasto, {""}, "C", 2, "", refused},
      {arrasto, {"--help", "--version"}, "pt_BR.UTF-8", 2, "", recusado},
      {arrasto, {"/?"}, "C", 2, "", refused},  // help only on Windows
      {grafico, {"--version"}, "C", 0, "arrasto-grafico " ARRASTO_VERSION "\n", ""},
      {grafico, {"dados.txt", "--help"}, "pt_BR.UTF-8", 0, "Uso: arrasto-grafico [ARQUIVO...]\n", ""},
      {grafico, {"-x"}, "C", 2, "",
       "arrasto-grafico: unknown option \"-x\" (see \"arrasto-grafico --help\")\n"},
  };
  for (const CommandLine& c : cases) {
    SCOPED_TRACE(c.program + " " + (c.arguments.empty() ? "" : c.arguments[0]));
    RunFolder folder;
    folder.write("dados.txt", "not read\n");
    const e2e::Outcome outcome = folder.run(c.arguments, {"LANG=" + c.lang}, c.program);
    EXPECT_EQ(outcome.status, c.status);
    EXPECT_EQ(outcome.output.substr(0, c.output_begins.size()), c.output_begins);
    EXPECT_EQ(outcome.output.empty(), c.output_begins.empty());
    EXPECT_EQ(outcome.errors, c.errors);
    EXPECT_EQ(folder.files(), Lines{"dados.txt"});
    EXPECT_TRUE(folder.editor_calls().empty());
  }
}

TEST(EditorHelper, StartsAnEditorCommandWithOptionsOnAnyFileName) {
  // The example with a run name holding blanks, both quotes and a '$'.
  std::ifstream example(ARRASTO_SOURCE_DIR "/example/dados.txt");
  std::string data(std::istreambuf_iterator<char>(example), {});
  data.replace(0, data.find('\n'), "'a b''c\"d $x'");
  const std::string nome = "a b'c\"d $x";
  struct Editor {
    std::string visual, editor, arguments;
  } const cases[] = {
      {"VISUAL=editor --wait", "EDITOR=vi", "2 [--wait]"},
      {"VISUAL=", "EDITOR=editor -n +1", "3 [-n] [+1]"},
  };
  for (const Editor& c : cases) {
    SCOPED_TRACE(c.visual + " " + c.editor);
    RunFolder folder;
    folder.write("dados.txt", data);
    folder.editor_behind(ARRASTO_SOURCE_DIR "/tools/Notepad");
    ASSERT_EQ(folder.run({}, {c.visual, c.editor}).status, 0);
    const Lines calls = folder.editor_calls();
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[0].substr(0, c.arguments.size() + 12), c.arguments + " [dados.txt]");
    EXPECT_EQ(calls[3].substr(0, c.arguments.size() + nome.size() + 5),
              c.arguments + " [" + nome + "] |");
  }
}

}  // namespace
