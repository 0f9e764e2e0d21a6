#include "plugin_scan.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <sstream>

#include "plugin_host.h"

namespace vb {

namespace {

constexpr double kScanSampleRate = 44100.0;  // Hz, for effOpen
constexpr int kScanBlockSize = 512;

// In the child: loads the plug-in and writes what a host learns, one field
// per line, to `out`; never returns.
[[noreturn]] void ScanAndExit(const std::string& path, int out, int timeoutSeconds) {
  const int null = ::open("/dev/null", O_WRONLY);
  if (null >= 0) {
    ::dup2(null, STDOUT_FILENO);
    ::dup2(null, STDERR_FILENO);
  }
  ::alarm(static_cast<unsigned>(timeoutSeconds));
  TPluginHost plugin;
  std::string error, text;
  if (!plugin.Load(path, error)) {
    text = "error\n" + error + "\n";
  } else {
    (void)plugin.Open(kScanSampleRate, kScanBlockSize, false);
    const TVSTEffect* e = plugin.Effect();
    const bool synth = plugin.HasFlag(effFlagsIsSynth) || plugin.Dispatch(effGetPlugCategory) == vpcSynth;
    text = "ok\n" + plugin.DispatchText(effGetEffectName) + "\n" + plugin.DispatchText(effGetVendorString) + "\n" +
           std::to_string(e->UniqueID) + "\n" + std::to_string(e->numInputs) + "\n" + std::to_string(e->numOutputs) +
           "\n" + (synth ? "1" : "0") + "\n";
  }
  for (size_t at = 0; at < text.size();) {
    const ssize_t n = ::write(out, text.data() + at, text.size() - at);
    if (n <= 0) break;
    at += static_cast<size_t>(n);
  }
  ::_exit(0);  // the plug-in is not closed: a scan must not wait for it
}

std::string Line(std::istringstream& in) {
  std::string line;
  std::getline(in, line);
  return line;
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
  std::istringstream in(text);
  const std::string kind = Line(in);
  if (kind != "ok") {
    found.Error = kind == "error" ? Line(in) : "ended without an answer";
    return found;
  }
  found.Loaded = true;
  found.Name = Line(in);
  found.Vendor = Line(in);
  found.UniqueId = static_cast<std::int32_t>(std::stol(Line(in)));
  found.Inputs = std::stoi(Line(in));
  found.Outputs = std::stoi(Line(in));
  found.Synth = Line(in) == "1";
  return found;
}

}  // namespace vb
