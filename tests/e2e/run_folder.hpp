#pragma once
// A scratch folder for whole runs of arrasto: the run's working directory,
// and beside it a bin/ with a stand-in "Notepad" first on the PATH that
// records each call's arguments and the files present at that moment.

#include <filesystem>
#include <string>
#include <vector>

namespace e2e {

struct Outcome {
  int status = -1;
  std::string errors;  // standard error
  std::string output;  // standard output
};

class RunFolder {
 public:
  RunFolder();
  ~RunFolder();

  std::filesystem::path dir() const { return root_ / "run"; }
  void write(const std::string& name, const std::string& bytes) const;
  std::string read(const std::string& name) const;
  std::vector<std::string> files() const;  // sorted

  // Shell lines the stand-in editor runs after recording, $1 the file.
  void editor_script(const std::string& body) const;
  // Puts helper as "Notepad", and the stand-in beside it as "editor".
  void editor_behind(const std::filesystem::path& helper) const;

  // Runs arrasto in the run folder in a process group of its own, as a
  // terminal would, with LANG=C and no LC_ALL or LC_MESSAGES unless an
  // environment entry ("NAME=value") sets them. A non-zero file_size_limit
  // makes larger writes fail. status is 128 + the signal for a killed run.
  Outcome run(long file_size_limit = 0) const { return run({}, {}, ARRASTO_EXE, file_size_limit); }
  Outcome run(const std::vector<std::string>& arguments,
              const std::vector<std::string>& environment,
              const std::string& program = ARRASTO_EXE, long file_size_limit = 0) const;

  // Sends arrasto the signal once it has a result file open (at most 10 s
  // on); returns the signal that ended it, or 0.
  int stop_when_writing(int signal_number) const;

  // One line per editor call: "ARGS | FILES", the arguments each in
  // brackets, the files present in the run folder separated by blanks.
  std::vector<std::string> editor_calls() const;

 private:
  int start(long file_size_limit, const std::vector<std::string>& arguments = {},
            const std::vector<std::string>& environment = {},
            const std::string& program = ARRASTO_EXE) const;

  std::filesystem::path root_;
};

}  // namespace e2e
