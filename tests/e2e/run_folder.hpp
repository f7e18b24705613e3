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
  bool exists(const std::string& name) const;
  // File names in the run folder, sorted.
  std::vector<std::string> files() const;

  // Replaces the stand-in editor; the script gets the file as $1 and runs
  // in the run folder. The default one only records.
  void editor_script(const std::string& body) const;
  // Puts helper as "Notepad" and the stand-in beside it as "editor", for
  // the helper to start.
  void editor_behind(const std::filesystem::path& helper) const;

  // Runs arrasto in the run folder, in a process group of its own, as a
  // terminal would. A non-zero file_size_limit caps the size of any file it
  // writes (RLIMIT_FSIZE), to make a write fail. status is 128 + the signal
  // for a run ended by a signal.
  Outcome run(long file_size_limit = 0) const;
  // Runs a program (arrasto by default) with these arguments and
  // environment entries ("NAME=value"). Every run has LANG=C unless an entry
  // sets it, and no LC_ALL or LC_MESSAGES.
  Outcome run(const std::vector<std::string>& arguments,
              const std::vector<std::string>& environment,
              const std::string& program = ARRASTO_EXE) const;

  // Starts arrasto, waits until it has a result file open in the run
  // folder (at most 10 s), sends it the signal and waits for it to end.
  // Returns the signal that ended it, or 0.
  int stop_when_writing(int signal_number) const;

  // One line per editor call: "ARGS | FILES", the arguments each in
  // brackets, the files present in the run folder separated by blanks.
  std::vector<std::string> editor_calls() const;

 private:
  int start(long file_size_limit, const std::vector<std::string>& arguments = {},
            const std::vector<std::string>& environment = {},
            const std::string& program = ARRASTO_EXE) const;
  Outcome finish(int child) const;

  std::filesystem::path root_;
};

}  // namespace e2e
