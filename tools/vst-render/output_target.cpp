#include "output_target.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "file_calls.h"
#include "platform/system/system_calls.h"

namespace vb {

namespace {

constexpr int kMaxLinkHops = 40;  // as the kernel's own limit
constexpr int kTooManyLinks = ELOOP;
constexpr int kMaxTempAttempts = 100;   // stale temporary names skipped
constexpr size_t kCopyChunk = 1 << 16;  // bytes per read when copying a spool
// Bytes of the file's name kept in its temporary name, so that the hidden
// name with its ".vst-render-PID-N.tmp" stays within the 255-byte limit.
constexpr size_t kMaxTempStem = 200;
constexpr const char* kTempMark = ".vst-render-";

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

void RemovePendingTemp() {
  if (GHavePendingTemp) RemoveFileNow(GPendingTemp);
}

// Where the folder part of `path` ends (0 when it has none).
size_t FolderLength(const std::string& path) {
  for (size_t k = path.size(); k > 0; --k)
    if (IsSeparator(path[k - 1])) return k;
  return 0;
}

std::string Folder(const std::string& path) { return path.substr(0, FolderLength(path)); }

std::string BaseName(const std::string& path) { return path.substr(FolderLength(path)); }

void CloseQuietly(int& fd) {
  if (fd >= 0) (void)FileCalls().Close(fd);
  fd = -1;
}

// Copies all of `from` into `to`, over its start when `rewind` (a pipe is
// written where it stands); false with errno set.
bool CopyAll(int from, int to, bool rewind) {
  if (::lseek(from, 0, SEEK_SET) != 0 || (rewind && ::lseek(to, 0, SEEK_SET) != 0)) return false;
  std::vector<char> chunk(kCopyChunk);
  for (;;) {
    const ssize_t n = FileCalls().Read(from, chunk.data(), chunk.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    if (!WriteFully(to, chunk.data(), static_cast<size_t>(n))) return false;
  }
}

// A temporary file that nothing needs to clean up whatever happens. -1
// with errno set on failure.
int OpenAnonymousTemp() { return OpenUnnamedTemp("spool"); }

// The start of the temporary names of `finalPath`: its folder, a dot, and
// its name cut to kMaxTempStem bytes (at a character boundary).
std::string TempPrefix(const std::string& finalPath) {
  const std::string base = BaseName(finalPath);
  size_t cut = std::min(base.size(), kMaxTempStem);
  while (cut > 0 && cut < base.size() && (static_cast<unsigned char>(base[cut]) & 0xC0) == 0x80) --cut;
  return Folder(finalPath) + "." + base.substr(0, cut) + kTempMark;
}

// The process id in a temporary name "PID.tmp" or "PID-N.tmp"; 0 if it is none.
long TempOwner(const std::string& tail) {
  const size_t digits = tail.find_first_not_of("0123456789");
  if (digits == 0 || digits == std::string::npos || digits > 9) return 0;
  const std::string rest = tail.substr(digits);
  const bool numbered = rest.size() > 5 && rest[0] == '-' && rest.find_first_not_of("0123456789", 1) == rest.size() - 4;
  if (rest != ".tmp" && !(numbered && rest.compare(rest.size() - 4, 4, ".tmp") == 0)) return 0;
  return std::stol(tail.substr(0, digits));
}

// Removes the temporary files of `finalPath` whose writer no longer runs
// (killed with SIGKILL, or the machine went down).
void RemoveStaleTemps(const std::string& finalPath) {
  const std::string prefix = TempPrefix(finalPath);
  const std::string folder = Folder(finalPath), start = prefix.substr(folder.size());
  for (const std::string& name : FolderNames(folder)) {
    if (name.compare(0, start.size(), start) != 0) continue;
    const long owner = TempOwner(name.substr(start.size()));
    if (owner > 0 && owner != ProcessId() && ProcessIsGone(owner)) (void)RemoveFile((folder + name).c_str());
  }
}

}  // namespace

void RemoveTempFileOnFatalSignals() {
  OnInterrupt(RemovePendingTemp);
  IgnoreBrokenPipes(false);
}

bool FollowLinks(const std::string& path, std::string& finalPath, std::string& error) {
  std::string p = path;
  for (int hop = 0; hop < kMaxLinkHops; ++hop) {
    std::string target;
    const int link = ReadLinkTarget(p, target);
    if (link == 0) {
      finalPath = p;
      return true;
    }
    if (link < 0) {
      error = std::strerror(errno);
      return false;
    }
    p = !target.empty() && target[0] == '/' ? target : Folder(p) + target;
  }
  error = std::strerror(kTooManyLinks);
  return false;
}

bool WriteWholeFile(const std::string& path, const void* data, size_t size, std::string& error) {
  TOutputTarget target;
  if (!target.Open(path, true, error)) return false;
  if (!WriteFully(target.Fd(), data, size)) {
    error = "cannot write '" + path + "': " + std::strerror(errno);
    return false;
  }
  return target.Commit(error);
}

TOutputTarget::~TOutputTarget() { Abandon(); }

std::string TOutputTarget::Failure(const std::string& what) const { return "cannot write '" + FPath + "': " + what; }

bool TOutputTarget::Open(const std::string& path, bool streamable, std::string& error) {
  Abandon();
  FPath = path;
  FInPlaceReason.clear();
  if (path == kStandardStream) return OpenDevice({}, streamable, error);
  // The kernel follows /dev/stdout and /dev/fd/N to the pipe or terminal
  // behind them, which have no name of their own to follow to.
  const TPathKind named = PathKind(path);
  if (named.Exists && !named.Regular && !named.Folder) return OpenDevice(path, streamable, error);
  std::string why;
  if (!FollowLinks(path, FFinalPath, why)) {
    error = Failure(why);
    return false;
  }
  if (PathKind(FFinalPath).Folder) {
    error = Failure("it is a folder");
    return false;
  }
  return OpenReplacement(FFinalPath, error);
}

bool TOutputTarget::OpenReplacement(const std::string& finalPath, std::string& error) {
  const TPathKind old = PathKind(finalPath);
  const bool exists = old.Exists;
  // Renaming would replace a file its owner protected; refuse as an
  // ordinary write would.
  if (exists && !old.Writable) {
    error = Failure(std::strerror(EACCES));
    return false;
  }
  // A renamed file would leave its other hard links with the old data, and
  // a sticky folder may forbid the rename: such files are written in place.
  if (exists && old.Links > 1) return OpenInPlace(finalPath, "it has other hard links", error);
  if (exists && FolderForbidsReplacing(finalPath))
    return OpenInPlace(finalPath, "its sticky folder forbids replacing it", error);
  RemoveStaleTemps(finalPath);
  const std::string stem = TempPrefix(finalPath) + std::to_string(ProcessId());
  for (int attempt = 0; attempt < kMaxTempAttempts && FEncoderFd < 0; ++attempt) {
    FTempPath = stem;
    if (attempt) FTempPath += '-' + std::to_string(attempt);
    FTempPath += ".tmp";
    FEncoderFd = OpenNewFile(FTempPath);
    if (FEncoderFd < 0 && errno != EEXIST) break;
  }
  if (FEncoderFd < 0) {
    const int why = errno;
    FTempPath.clear();
    // A writable file in a folder we may not write to.
    if (exists && (why == EACCES || why == EPERM || why == EROFS))
      return OpenInPlace(finalPath, "no file can be made in its folder", error);
    error = Failure("cannot make a temporary file beside it: " + std::string(std::strerror(why)));
    return false;
  }
  SetPendingTemp(FTempPath);
  // The new file takes the old one's place with its owner and permissions
  // (the owner only where we may give it away, as root).
  if (exists) CopyOwnership(finalPath, FEncoderFd);
  FKind = okReplace;
  return true;
}

bool TOutputTarget::OpenInPlace(const std::string& finalPath, const std::string& why, std::string& error) {
  // Opened now, so that a refusal comes before the render; emptied only
  // when the new data is complete.
  // Read too: its old contents are copied aside before they are
  // overwritten, to be put back should the new ones fail to fit.
  FDeviceFd = OpenExisting(finalPath, true);
  if (FDeviceFd < 0 && errno == EACCES && PathKind(finalPath).Writable) {
    error = Failure(why + ", and it cannot be read, so its old contents could not be kept should the write fail");
    return false;
  }
  if (FDeviceFd < 0) {
    error = Failure(std::strerror(errno));
    return false;
  }
  if (!OpenSpool(error)) return false;
  FKind = okInPlace;
  FInPlaceReason = why;
  return true;
}

bool TOutputTarget::OpenDevice(const std::string& finalPath, bool streamable, std::string& error) {
  // No O_TRUNC and no O_CREAT: the node is used as it is. Opening a FIFO
  // waits for its reader, as any writer does. Standard output is taken as
  // it is open (a socket cannot be opened by name).
  FDeviceFd = finalPath.empty() ? DuplicateStandardOutput() : OpenExisting(finalPath, false);
  if (FDeviceFd < 0) {
    error = Failure(std::strerror(errno));
    return false;
  }
  if (streamable || Seekable(FDeviceFd)) {
    FEncoderFd = FDeviceFd;
    FDeviceFd = -1;
    FKind = okDirect;
    return true;
  }
  if (!OpenSpool(error)) return false;
  FKind = okSpooled;
  return true;
}

bool TOutputTarget::OpenSpool(std::string& error) {
  FEncoderFd = OpenAnonymousTemp();
  if (FEncoderFd < 0) {
    error = Failure("no room for a temporary copy: " + std::string(std::strerror(errno)));
    CloseQuietly(FDeviceFd);
    return false;
  }
  return true;
}

bool TOutputTarget::CopySpool(std::string& error) {
  if (!CopyAll(FEncoderFd, FDeviceFd, false)) {
    error = Failure(std::strerror(errno));
    return false;
  }
  return true;
}

bool TOutputTarget::CommitInPlace(std::string& error) {
  const off_t newSize = ::lseek(FEncoderFd, 0, SEEK_END);
  const TPathKind old = DescriptorKind(FDeviceFd);
  if (newSize < 0 || !old.Exists) {
    error = Failure(std::strerror(errno));
    return false;
  }
  // Room first, so that a full disk is found before anything is overwritten.
  if (newSize > old.Size && ReserveSpace(FDeviceFd, newSize) != 0) {
    error = Failure(std::string(std::strerror(errno)) + "; its old contents are kept");
    return false;
  }
  int backup = OpenAnonymousTemp();
  if (backup < 0 || !CopyAll(FDeviceFd, backup, true)) {
    error = Failure("cannot keep a copy of its old contents (" + std::string(std::strerror(errno)) +
                    "); they are kept as they are");
    CloseQuietly(backup);
    return false;
  }
  const bool written = CopyAll(FEncoderFd, FDeviceFd, true) && FileCalls().Ftruncate(FDeviceFd, newSize) == 0 &&
                       FileCalls().Fsync(FDeviceFd) == 0;
  if (!written) {
    const std::string why = std::strerror(errno);
    const bool restored = CopyAll(backup, FDeviceFd, true) &&
                          FileCalls().Ftruncate(FDeviceFd, static_cast<off_t>(old.Size)) == 0 &&
                          FileCalls().Fsync(FDeviceFd) == 0;
    error =
        Failure(why + (restored ? "; its old contents are back in place"
                                : "; putting its old contents back failed too: " + std::string(std::strerror(errno))));
  }
  CloseQuietly(backup);
  // After a successful fsync a failing close loses nothing.
  CloseQuietly(FDeviceFd);
  return written;
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
    ok = FileCalls().Fsync(FEncoderFd) == 0;
    if (!ok) error = Failure(std::strerror(errno));
  } else if (FKind == okInPlace) {
    ok = CommitInPlace(error);
  } else if (FKind == okSpooled) {
    ok = CopySpool(error);
    if (ok && FileCalls().Close(FDeviceFd) != 0) {
      ok = false;
      error = Failure(std::strerror(errno));
    }
    FDeviceFd = -1;
  }
  const int closed = FileCalls().Close(FEncoderFd);
  FEncoderFd = -1;
  if (ok && closed != 0 && (FKind == okReplace || FKind == okDirect)) {
    ok = false;
    error = Failure(std::strerror(errno));
  }
  if (ok && FKind == okReplace && FileCalls().Rename(FTempPath.c_str(), FFinalPath.c_str()) != 0) {
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
    (void)RemoveFile(FTempPath.c_str());
    FTempPath.clear();
  }
}

}  // namespace vb
