#pragma once
// A scratch folder for whole runs: the run's working directory, and beside
// it a bin/ whose stand-in "Notepad", first on the PATH, logs each call as
// "COUNT [ARG]... | FILE..." with the files present in the run folder then.

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace e2e {
namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

inline std::string slurp(const fs::path& path) {
  std::ostringstream s;
  s << std::ifstream(path, std::ios::binary).rdbuf();
  return s.str();
}

inline Lines lines_of(const std::string& text) {
  Lines lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

inline std::string join(const Lines& lines, const std::string& end = "\n") {
  std::string text;
  for (const std::string& line : lines) text += line + end;
  return text;
}

struct Outcome {
  int status = 0;  // minus the signal for a killed run
  std::string errors, output;
};

class RunFolder {
 public:
  RunFolder() {
    std::string pattern = (fs::temp_directory_path() / "arrasto-e2e-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    root_ = pattern;
    for (const char* sub : {"bin", "run"}) fs::create_directory(root_ / sub);
    editor_script("");
  }
  ~RunFolder() { fs::remove_all(root_); }

  fs::path dir() const { return root_ / "run"; }
  void write(const std::string& name, const std::string& bytes) const {
    std::ofstream(dir() / name, std::ios::binary) << bytes;
  }
  std::string read(const std::string& name) const { return slurp(dir() / name); }
  Lines files() const {
    Lines names;
    for (const auto& e : fs::directory_iterator(dir())) names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }
  Lines editor_calls() const { return lines_of(slurp(root_ / "editor.log")); }

  // Shell lines the stand-in editor runs after logging its call, $1 the file.
  void editor_script(const std::string& body) const {
    std::ofstream(root_ / "bin" / "Notepad")
        << "#!/bin/sh\n{ printf %s \"$#\"; printf ' [%s]' \"$@\"; printf ' |'\n"
           "  ls -A | sed 's/^/ /' | tr -d '\\n'; echo; } >> ../editor.log\n"
        << body << "\n";
    fs::permissions(root_ / "bin" / "Notepad", fs::perms::owner_all);
  }

  // Starts the program in the run folder in a process group of its own, as a
  // terminal would, with the interrupt keys as at a terminal, no core files,
  // and only PATH and LANG=C, or what an environment entry "NAME=value" sets.
  pid_t start(const Lines& arguments = {}, const Lines& environment = {},
              const std::string& program = ARRASTO_EXE) const {
    const pid_t child = ::fork();
    if (child != 0) return child;
    std::vector<char*> argv{::strdup("arrasto")};
    for (const std::string& argument : arguments) argv.push_back(::strdup(argument.c_str()));
    argv.push_back(nullptr);
    if (::chdir(dir().c_str()) != 0) ::_exit(126);
    ::dup2(::open("../stderr", O_WRONLY | O_CREAT | O_TRUNC, 0644), 2);
    ::dup2(::open("../stdout", O_WRONLY | O_CREAT | O_TRUNC, 0644), 1);
    ::setpgid(0, 0);  // a stand-in editor's "kill -INT 0" reaches the run and the editor only
    for (const int s : {SIGINT, SIGQUIT, SIGXFSZ}) ::signal(s, SIG_DFL);
    const rlimit no_core{0, 0};
    ::setrlimit(RLIMIT_CORE, &no_core);
    ::clearenv();
    ::setenv("PATH", ((root_ / "bin").string() + ":/usr/bin:/bin").c_str(), 1);
    ::setenv("LANG", "C", 1);
    for (const std::string& entry : environment) ::putenv(::strdup(entry.c_str()));
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
  }
  Outcome run(const Lines& arguments = {}, const Lines& environment = {},
              const std::string& program = ARRASTO_EXE) const {
    return wait(start(arguments, environment, program));
  }
  Outcome wait(pid_t child) const {
    int status = 0;
    ::waitpid(child, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status),
            slurp(root_ / "stderr"), slurp(root_ / "stdout")};
  }

 private:
  fs::path root_;
};

}  // namespace e2e
