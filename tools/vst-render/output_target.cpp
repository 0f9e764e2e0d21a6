#include "output_target.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace vb {

namespace {

constexpr int kMaxLinkHops = 40;        // as the kernel's own limit
constexpr int kMaxTempAttempts = 100;   // stale temporary names skipped
constexpr size_t kCopyChunk = 1 << 16;  // bytes per read when copying a spool

// The temporary file being written, for the signal handler: a plain byte
// array and a flag, both safe to read from a handler.
char GPendingTemp[4096];
volatile std::sig_atomic_t GHavePendingTemp = 0;

void SetPendingTemp(const std::string& path) {
  GHavePendingTemp = 0;
  if (path.empty() || path.size() >= sizeof GPendingTemp) return;
  std::memcpy(GPendingTemp, path.c_str(), path.size() + 1);
  GHavePendingTemp = 1;
}

extern "C" void RemovePendingTempAndDie(int sig) {
  if (GHavePendingTemp) ::unlink(GPendingTemp);
  std::signal(sig, SIG_DFL);
  std::raise(sig);
}

std::string Folder(const std::string& path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string BaseName(const std::string& path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

void CloseQuietly(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

// write(2) until everything is out; false with errno set on failure.
bool WriteFully(int fd, const char* data, size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

void RemoveTempFileOnFatalSignals() {
  for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT})
    std::signal(sig, RemovePendingTempAndDie);
  std::signal(SIGPIPE, SIG_IGN);
}

bool FollowLinks(const std::string& path, std::string& finalPath, std::string& error) {
  std::string p = path;
  for (int hop = 0; hop < kMaxLinkHops; ++hop) {
    struct stat st {};
    if (::lstat(p.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
      finalPath = p;
      return true;
    }
    std::vector<char> buf(static_cast<size_t>(st.st_size > 0 ? st.st_size : 255) + 1);
    const ssize_t n = ::readlink(p.c_str(), buf.data(), buf.size() - 1);
    if (n < 0) {
      error = std::strerror(errno);
      return false;
    }
    const std::string target(buf.data(), static_cast<size_t>(n));
    p = !target.empty() && target[0] == '/' ? target : Folder(p) + target;
  }
  error = std::strerror(ELOOP);
  return false;
}

TOutputTarget::~TOutputTarget() { Abandon(); }

std::string TOutputTarget::Failure(const std::string& what) const { return "cannot write '" + FPath + "': " + what; }

bool TOutputTarget::Open(const std::string& path, bool streamable, std::string& error) {
  Abandon();
  FPath = path;
  std::string why;
  if (!FollowLinks(path, FFinalPath, why)) {
    error = Failure(why);
    return false;
  }
  struct stat st {};
  if (::stat(FFinalPath.c_str(), &st) != 0 || S_ISREG(st.st_mode)) return OpenReplacement(FFinalPath, error);
  if (S_ISDIR(st.st_mode)) {
    error = Failure("it is a folder");
    return false;
  }
  return OpenDevice(FFinalPath, streamable, error);
}

bool TOutputTarget::OpenReplacement(const std::string& finalPath, std::string& error) {
  struct stat st {};
  const bool exists = ::stat(finalPath.c_str(), &st) == 0;
  // Renaming would replace a file its owner protected; refuse as an
  // ordinary write would.
  if (exists && ::access(finalPath.c_str(), W_OK) != 0) {
    error = Failure(std::strerror(errno));
    return false;
  }
  const std::string stem = Folder(finalPath) + "." + BaseName(finalPath) + ".vst-render-" + std::to_string(::getpid());
  for (int attempt = 0; attempt < kMaxTempAttempts && FEncoderFd < 0; ++attempt) {
    FTempPath = stem;
    if (attempt) FTempPath += '-' + std::to_string(attempt);
    FTempPath += ".tmp";
    FEncoderFd = ::open(FTempPath.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (FEncoderFd < 0 && errno != EEXIST) break;
  }
  if (FEncoderFd < 0) {
    error = Failure("cannot make a temporary file beside it: " + std::string(std::strerror(errno)));
    FTempPath.clear();
    return false;
  }
  SetPendingTemp(FTempPath);
  if (exists) {
    // The new file takes the old one's place with its owner and permissions
    // (the owner only where we may give it away, as root).
    (void)::fchown(FEncoderFd, st.st_uid, st.st_gid);
    (void)::fchmod(FEncoderFd, st.st_mode & 07777);
  }
  FKind = okReplace;
  return true;
}

bool TOutputTarget::OpenDevice(const std::string& finalPath, bool streamable, std::string& error) {
  // No O_TRUNC and no O_CREAT: the node is used as it is. Opening a FIFO
  // waits for its reader, as any writer does.
  FDeviceFd = ::open(finalPath.c_str(), O_WRONLY | O_CLOEXEC);
  if (FDeviceFd < 0) {
    error = Failure(std::strerror(errno));
    return false;
  }
  if (streamable || ::lseek(FDeviceFd, 0, SEEK_CUR) >= 0) {
    FEncoderFd = FDeviceFd;
    FDeviceFd = -1;
    FKind = okDirect;
    return true;
  }
  const char* tmp = std::getenv("TMPDIR");
  std::string spool = std::string(tmp && *tmp ? tmp : "/tmp") + "/vst-render-spool-XXXXXX";
  FEncoderFd = ::mkstemp(spool.data());
  if (FEncoderFd < 0) {
    error = Failure("no room for a temporary copy: " + std::string(std::strerror(errno)));
    CloseQuietly(FDeviceFd);
    return false;
  }
  ::unlink(spool.c_str());  // nothing to clean up whatever happens next
  FKind = okSpooled;
  return true;
}

bool TOutputTarget::CopySpool(std::string& error) {
  if (::lseek(FEncoderFd, 0, SEEK_SET) != 0) {
    error = Failure(std::strerror(errno));
    return false;
  }
  std::vector<char> chunk(kCopyChunk);
  for (;;) {
    const ssize_t n = ::read(FEncoderFd, chunk.data(), chunk.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      error = Failure(std::strerror(errno));
      return false;
    }
    if (n == 0) return true;
    if (!WriteFully(FDeviceFd, chunk.data(), static_cast<size_t>(n))) {
      error = Failure(std::strerror(errno));
      return false;
    }
  }
}

bool TOutputTarget::Commit(std::string& error) {
  if (FEncoderFd < 0) {
    error = Failure("file is not open");
    return false;
  }
  bool ok = true;
  if (FKind == okReplace) {
    // The data reaches the disk before the name does: a crash cannot leave
    // an empty file under the final name.
    ok = ::fsync(FEncoderFd) == 0;
    if (!ok) error = Failure(std::strerror(errno));
  } else if (FKind == okSpooled) {
    ok = CopySpool(error);
    if (ok && ::close(FDeviceFd) != 0) {
      ok = false;
      error = Failure(std::strerror(errno));
    }
    FDeviceFd = -1;
  }
  const int closed = ::close(FEncoderFd);
  FEncoderFd = -1;
  if (ok && closed != 0 && FKind != okSpooled) {
    ok = false;
    error = Failure(std::strerror(errno));
  }
  if (ok && FKind == okReplace && std::rename(FTempPath.c_str(), FFinalPath.c_str()) != 0) {
    ok = false;
    error = Failure(std::strerror(errno));
  }
  if (!ok) {
    Abandon();
    return false;
  }
  SetPendingTemp({});
  FTempPath.clear();
  return true;
}

void TOutputTarget::Abandon() {
  CloseQuietly(FEncoderFd);
  CloseQuietly(FDeviceFd);
  if (!FTempPath.empty()) {
    SetPendingTemp({});
    ::unlink(FTempPath.c_str());
    FTempPath.clear();
  }
}

}  // namespace vb
