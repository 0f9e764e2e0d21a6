#include "platform/web_browser.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>

extern char** environ;

namespace vb {

namespace {

// Signals a host may ignore or catch; the helper starts with the defaults.
constexpr std::array<int, 10> kDefaultSignals = {SIGPIPE, SIGCHLD, SIGINT,  SIGQUIT, SIGTERM,
                                                 SIGHUP,  SIGUSR1, SIGUSR2, SIGALRM, SIGTSTP};

}  // namespace

bool OpenWebPage(const std::string& Url) {
  if (!UsableWebAddress(Url)) return false;
  posix_spawn_file_actions_t files;
  posix_spawnattr_t attributes;
  if (posix_spawn_file_actions_init(&files) != 0) return false;
  if (posix_spawnattr_init(&attributes) != 0) {
    posix_spawn_file_actions_destroy(&files);
    return false;
  }
  // Nothing of the host's: no input, none of its descriptors (the host may
  // not mark them close-on-exec), default signal handling, nothing blocked.
  posix_spawn_file_actions_addopen(&files, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addclosefrom_np(&files, STDERR_FILENO + 1);
  sigset_t none;
  sigemptyset(&none);
  sigset_t defaults;
  sigemptyset(&defaults);
  for (int signal : kDefaultSignals) sigaddset(&defaults, signal);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

  // setsid --fork starts xdg-open in a new session and exits at once.
  std::string setsid = "setsid", fork = "--fork", opener = "xdg-open", address = Url;
  char* arguments[] = {setsid.data(), fork.data(), opener.data(), address.data(), nullptr};
  pid_t helper = 0;
  const int failure = posix_spawnp(&helper, "setsid", &files, &attributes, arguments, environ);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&files);
  if (failure != 0) return false;
  // Reaped now (it only forks); a host that reaps every child itself may
  // have done it already (ECHILD), which is fine too.
  int status = 0;
  while (waitpid(helper, &status, 0) < 0 && errno == EINTR) {
  }
  return true;
}

}  // namespace vb
