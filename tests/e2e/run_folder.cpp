#include "run_folder.hpp"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace e2e {
namespace fs = std::filesystem;

namespace {

std::string slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

const char* kRecorder = R"(
printf '%s' "$#" >> ../editor.log
for a in "$@"; do printf ' [%s]' "$a" >> ../editor.log; done
printf ' |' >> ../editor.log
for f in * .*; do case "$f" in .|..|'*'|'.*') ;; *) printf ' %s' "$f" >> ../editor.log;; esac; done
echo >> ../editor.log
)";

}  // namespace

RunFolder::RunFolder() {
  std::string pattern = (fs::temp_directory_path() / "arrasto-e2e-XXXXXX").string();
  if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  root_ = pattern;
  fs::create_directory(root_ / "run");
  fs::create_directory(root_ / "bin");
  editor_script("");
}

RunFolder::~RunFolder() {
  std::error_code ignored;
  fs::remove_all(root_, ignored);
}

void RunFolder::write(const std::string& name, const std::string& bytes) const {
  std::ofstream(dir() / name, std::ios::binary) << bytes;
}

std::string RunFolder::read(const std::string& name) const { return slurp(dir() / name); }

std::vector<std::string> RunFolder::files() const {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir())) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

void RunFolder::editor_script(const std::string& body) const {
  const fs::path script = root_ / "bin" / "Notepad";
  std::ofstream(script) << "#!/bin/sh\n" << kRecorder << body << "\n";
  fs::permissions(script, fs::perms::owner_all);
}

void RunFolder::editor_behind(const fs::path& helper) const {
  fs::rename(root_ / "bin" / "Notepad", root_ / "bin" / "editor");
  fs::copy_file(helper, root_ / "bin" / "Notepad");
}

Outcome RunFolder::run(const std::vector<std::string>& arguments,
                       const std::vector<std::string>& environment, const std::string& program,
                       long file_size_limit) const {
  int status = 0;
  ::waitpid(start(file_size_limit, arguments, environment, program), &status, 0);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status),
          slurp(root_ / "stderr"), slurp(root_ / "stdout")};
}

int RunFolder::stop_when_writing(int signal_number) const {
  const int child = start(0);
  const std::string folder = fs::canonical(dir()).string() + "/";
  const fs::path open_files = "/proc/" + std::to_string(child) + "/fd";
  const auto writing = [&] {
    std::error_code error;
    for (const auto& fd : fs::directory_iterator(open_files, error)) {
      const std::string target = fs::read_symlink(fd.path(), error).string();
      if (target.starts_with(folder) && target != folder + "dados.txt") return true;
    }
    return false;
  };
  for (int waited = 0; waited < 1000 && !writing(); ++waited) ::usleep(10000);
  ::kill(child, signal_number);
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFSIGNALED(status) ? WTERMSIG(status) : 0;
}

int RunFolder::start(long file_size_limit, const std::vector<std::string>& arguments,
                     const std::vector<std::string>& environment,
                     const std::string& program) const {
  std::vector<std::string> entries = environment;  // putenv keeps the strings
  std::vector<char*> argv{const_cast<char*>("arrasto")};
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  const fs::path err = root_ / "stderr", out = root_ / "stdout";
  const std::string path = (root_ / "bin").string() + ":/usr/bin:/bin";
  const pid_t child = ::fork();
  if (child == 0) {
    if (::chdir(dir().c_str()) != 0) ::_exit(126);
    const int e = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int o = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ::dup2(e, 2);
    ::dup2(o, 1);
    // Its own process group, for a stand-in editor's "Ctrl-C" to reach the
    // run and the editor only; the keys as at a terminal; no core files.
    ::setpgid(0, 0);
    for (const int s : {SIGINT, SIGQUIT, SIGXFSZ}) ::signal(s, SIG_DFL);
    const rlimit no_core{0, 0};
    ::setrlimit(RLIMIT_CORE, &no_core);
    if (file_size_limit > 0) {
      const rlimit limit{static_cast<rlim_t>(file_size_limit), static_cast<rlim_t>(file_size_limit)};
      ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ::setenv("PATH", path.c_str(), 1);
    ::setenv("LANG", "C", 1);
    ::unsetenv("LC_ALL");
    ::unsetenv("LC_MESSAGES");
    for (std::string& entry : entries) ::putenv(entry.data());
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
  }
  return child;
}

std::vector<std::string> RunFolder::editor_calls() const {
  std::vector<std::string> calls;
  std::istringstream log(slurp(root_ / "editor.log"));
  for (std::string line; std::getline(log, line);) calls.push_back(line);
  return calls;
}

}  // namespace e2e
