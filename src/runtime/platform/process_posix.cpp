// Processes and signals on POSIX: the editor run, and the signals that end
// a run, which must leave no hidden file behind and never stop one while
// its result files are moved in.

#include <pthread.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "runtime/platform/console.hpp"
#include "runtime/platform/messages.hpp"
#include "runtime/platform/platform.hpp"
#include "runtime/platform/temporaries.hpp"

extern char** environ;

namespace rt {
namespace {

// Hidden files that have a name. Fixed slots of plain characters: the
// signal handler may only read them and call unlink. In use: 1 for a
// temporary file, 2 for a journal, which goes last.
constexpr int kSlots = 16;
constexpr std::size_t kSlotLength = 4096;
char g_temporaries[kSlots][kSlotLength];
volatile sig_atomic_t g_in_use[kSlots];

// The signals that end a run, which it handles.
constexpr int kEnding[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

sigset_t ending_signals() {
  sigset_t set;
  ::sigemptyset(&set);
  for (const int s : kEnding) ::sigaddset(&set, s);
  return set;
}

// The main thread's mask before the first hold, and how many holds are on.
sigset_t g_before_hold;
int g_holds = 0;

// The signals the program was started with ignored (by nohup, or a shell
// running it in the background): it leaves them ignored, and so does the
// editor it starts.
sigset_t g_ignored_at_start;

[[noreturn]] void stop_by(int signal_number) {
  detail::remove_temporaries();
  ::signal(signal_number, SIG_DFL);
  sigset_t just_this;
  ::sigemptyset(&just_this);
  ::sigaddset(&just_this, signal_number);
  ::sigprocmask(SIG_UNBLOCK, &just_this, nullptr);
  ::raise(signal_number);
  ::_exit(128 + signal_number);  // not reached: the signal ends the process
}

extern "C" void on_signal(int signal_number) { stop_by(signal_number); }

}  // namespace

namespace detail {

void watch_interrupts() {
  static const bool installed = [] {
    ::sigemptyset(&g_ignored_at_start);
    for (const int s : kEnding) {
      struct sigaction action {};
      if (::sigaction(s, nullptr, &action) == 0 && action.sa_handler == SIG_IGN) {
        ::sigaddset(&g_ignored_at_start, s);
        continue;
      }
      action = {};
      action.sa_handler = on_signal;
      ::sigemptyset(&action.sa_mask);
      ::sigaction(s, &action, nullptr);
    }
    // Past a file size limit (ulimit -f) a write then fails with EFBIG and
    // the run ends with its one-line error, instead of being killed.
    if (::signal(SIGXFSZ, SIG_IGN) == SIG_IGN) ::sigaddset(&g_ignored_at_start, SIGXFSZ);
    return true;
  }();
  (void)installed;
}

void remember_temporary(const SystemName& name, bool journal) {
  watch_interrupts();
  if (name.size() >= kSlotLength) return;
  for (int i = 0; i < kSlots; ++i) {
    if (!g_in_use[i]) {
      std::memcpy(g_temporaries[i], name.c_str(), name.size() + 1);
      g_in_use[i] = journal ? 2 : 1;
      return;
    }
  }
}

void forget_temporary(const SystemName& name) {
  for (int i = 0; i < kSlots; ++i)
    if (g_in_use[i] && name == g_temporaries[i]) g_in_use[i] = 0;
}

void remove_temporaries() noexcept {
  for (const sig_atomic_t kind : {1, 2})
    for (int i = 0; i < kSlots; ++i)
      if (g_in_use[i] == kind) ::unlink(g_temporaries[i]);
}

void hold_interrupts() {
  const sigset_t ending = ending_signals();
  sigset_t before;
  ::pthread_sigmask(SIG_BLOCK, &ending, &before);
  if (g_holds++ == 0) g_before_hold = before;
}

void release_interrupts() noexcept {
  // One that came meanwhile is handled now: the run ends here.
  if (--g_holds == 0) ::pthread_sigmask(SIG_SETMASK, &g_before_hold, nullptr);
}

}  // namespace detail

void keep_interrupts_off_this_thread() {
  const sigset_t ending = ending_signals();
  ::pthread_sigmask(SIG_BLOCK, &ending, nullptr);
}

EditorEnd run_editor(const std::string& file_name) {
  // A Notepad that exits with 127, the shell's status for a command not
  // found (the helper tools/Notepad, when no editor of VISUAL, EDITOR or vi
  // is there), is not called again: the user is told once, and the run goes
  // on without an editor.
  static bool no_editor = false;
  if (no_editor) return {};
  detail::watch_interrupts();
  // A name that begins with '-' is passed as ./name, so that no editor
  // takes it for an option.
  const std::string argument = file_name.starts_with('-') ? "./" + file_name : file_name;
  char program[] = "Notepad";
  char* const argv[] = {program, const_cast<char*>(argument.c_str()), nullptr};

  // The interrupt and quit keys reach the editor and this program alike.
  // As system() does, the program ignores them while it waits, so that an
  // editor which handles them itself (vi) is not left running alone; the
  // editor gets them as the program was started with them.
  struct sigaction ignore {}, old_int {}, old_quit {};
  ignore.sa_handler = SIG_IGN;
  ::sigemptyset(&ignore.sa_mask);
  ::sigaction(SIGINT, &ignore, &old_int);
  ::sigaction(SIGQUIT, &ignore, &old_quit);
  sigset_t defaults;
  ::sigemptyset(&defaults);
  for (const int s : {SIGINT, SIGQUIT, SIGXFSZ})
    if (!::sigismember(&g_ignored_at_start, s)) ::sigaddset(&defaults, s);
  posix_spawnattr_t attributes;
  ::posix_spawnattr_init(&attributes);
  ::posix_spawnattr_setsigdefault(&attributes, &defaults);
  ::posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);

  EditorEnd end;
  pid_t child = 0;
  if (::posix_spawnp(&child, program, nullptr, &attributes, argv, environ) == 0) {
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFSIGNALED(status) && (WTERMSIG(status) == SIGINT || WTERMSIG(status) == SIGQUIT))
      end.interrupt = WTERMSIG(status);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 127) {
      no_editor = true;
      print_error_line(
          "Notepad: " + tr("no editor to start; set VISUAL or EDITOR to your editor's command "
                           "(for example, export VISUAL=nano); the run goes on without it"));
    }
  }
  ::posix_spawnattr_destroy(&attributes);
  ::sigaction(SIGINT, &old_int, nullptr);
  ::sigaction(SIGQUIT, &old_quit, nullptr);
  return end;
}

void stop_interrupted(const EditorEnd& end) { stop_by(end.interrupt != 0 ? end.interrupt : SIGINT); }

}  // namespace rt
