#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "plugin_host.h"
#include "plugin_scan.h"

namespace vb {

namespace {

// In the child: loads the plug-in and writes what a host learns to `out`;
// never returns, and never closes the plug-in (a scan must not wait for it).
[[noreturn]] void ScanAndExit(const std::string& path, int out, int timeoutSeconds) {
  const int null = ::open("/dev/null", O_WRONLY);
  if (null >= 0) {
    ::dup2(null, STDOUT_FILENO);
    ::dup2(null, STDERR_FILENO);
  }
  ::alarm(static_cast<unsigned>(timeoutSeconds));
  TPluginHost plugin;
  const std::string text = DescribeForScan(plugin, path);
  for (size_t at = 0; at < text.size();) {
    const ssize_t n = ::write(out, text.data() + at, text.size() - at);
    if (n <= 0) break;
    at += static_cast<size_t>(n);
  }
  ::_exit(0);
}

}  // namespace

TScannedPlugin ScanPlugin(const std::string& path, int timeoutSeconds) {
  TScannedPlugin found;
  found.Path = path;
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC) != 0) {
    found.Error = std::strerror(errno);
    return found;
  }
  std::fflush(nullptr);
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(ends[0]);
    ScanAndExit(path, ends[1], timeoutSeconds);
  }
  ::close(ends[1]);
  std::string text;
  char chunk[4096];
  for (ssize_t n; (n = ::read(ends[0], chunk, sizeof chunk)) != 0;) {
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) break;
    text.append(chunk, static_cast<size_t>(n));
  }
  ::close(ends[0]);
  int status = 0;
  if (child < 0 || ::waitpid(child, &status, 0) != child) {
    found.Error = "cannot start a process to load it";
    return found;
  }
  if (WIFSIGNALED(status)) {
    found.Error = WTERMSIG(status) == SIGALRM
                      ? "did not answer within " + std::to_string(timeoutSeconds) + " s"
                      : std::string("crashed while loading (") + strsignal(WTERMSIG(status)) + ")";
    return found;
  }
  ReadScanAnswer(text, found);
  return found;
}

}  // namespace vb
