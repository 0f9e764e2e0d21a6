#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/system/child_process.h"

namespace vb {

namespace {

// In the child: standard output into the pipe, the rest nowhere, an alarm
// at the limit; `work` ends the process, and should it return, so do we.
[[noreturn]] void BecomeChild(TChildWork Work, const std::string& Argument, int Out, int TimeoutSeconds) {
  const int null = ::open("/dev/null", O_RDWR);
  if (null >= 0) {
    ::dup2(null, STDIN_FILENO);
    ::dup2(null, STDERR_FILENO);
  }
  ::dup2(Out, STDOUT_FILENO);
  ::alarm(static_cast<unsigned>(TimeoutSeconds));
  Work(Argument);
  ::_exit(0);
}

}  // namespace

TChildRun RunInChild(TChildWork Work, const char* /*option*/, const std::string& Argument, int TimeoutSeconds) {
  TChildRun run;
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC) != 0) return run;
  std::fflush(nullptr);
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(ends[0]);
    BecomeChild(Work, Argument, ends[1], TimeoutSeconds);
  }
  ::close(ends[1]);
  char chunk[4096];
  for (ssize_t n; (n = ::read(ends[0], chunk, sizeof chunk)) != 0;) {
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) break;
    run.Output.append(chunk, static_cast<size_t>(n));
  }
  ::close(ends[0]);
  int status = 0;
  if (child < 0 || ::waitpid(child, &status, 0) != child) return run;
  run.Started = true;
  if (WIFSIGNALED(status)) {
    if (WTERMSIG(status) == SIGALRM)
      run.TimedOut = true;
    else
      run.Crash = strsignal(WTERMSIG(status));
  }
  return run;
}

}  // namespace vb
