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

void SetPendingTemp(const std::string& Path) {
  GHavePendingTemp = 0;
  if (Path.empty() || Path.size() >= sizeof GPendingTemp) return;
  std::memcpy(GPendingTemp, Path.c_str(), Path.size() + 1);
  GHavePendingTemp = 1;
}

void RemovePendingTemp() {
  if (GHavePendingTemp) RemoveFileNow(GPendingTemp);
}

// Where the folder part of `path` ends (0 when it has none).
size_t FolderLength(const std::string& Path) {
  for (size_t k = Path.size(); k > 0; --k)
    if (IsSeparator(Path[k - 1])) return k;
  return 0;
}

std::string Folder(const std::string& Path) { return Path.substr(0, FolderLength(Path)); }

std::string BaseName(const std::string& Path) { return Path.substr(FolderLength(Path)); }

void CloseQuietly(int& Fd) {
  if (Fd >= 0) (void)FileCalls().Close(Fd);
  Fd = -1;
}

// Copies all of `from` into `to`, over its start when `rewind` (a pipe is
// written where it stands); false with errno set.
bool CopyAll(int From, int To, bool Rewind) {
  if (::lseek(From, 0, SEEK_SET) != 0 || (Rewind && ::lseek(To, 0, SEEK_SET) != 0)) return false;
  std::vector<char> chunk(kCopyChunk);
  for (;;) {
    const ssize_t n = FileCalls().Read(From, chunk.data(), chunk.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    if (!WriteFully(To, chunk.data(), static_cast<size_t>(n))) return false;
  }
}

// A temporary file that nothing needs to clean up whatever happens. -1
// with errno set on failure.
int OpenAnonymousTemp() { return OpenUnnamedTemp("spool"); }

// The start of the temporary names of `finalPath`: its folder, a dot, and
// its name cut to kMaxTempStem bytes (at a character boundary).
std::string TempPrefix(const std::string& FinalPath) {
  const std::string base = BaseName(FinalPath);
  size_t cut = std::min(base.size(), kMaxTempStem);
  while (cut > 0 && cut < base.size() && (static_cast<unsigned char>(base[cut]) & 0xC0) == 0x80) --cut;
  return Folder(FinalPath) + "." + base.substr(0, cut) + kTempMark;
}

// The process id in a temporary name "PID.tmp" or "PID-N.tmp"; 0 if it is none.
long TempOwner(const std::string& Tail) {
  const size_t digits = Tail.find_first_not_of("0123456789");
  if (digits == 0 || digits == std::string::npos || digits > 9) return 0;
  const std::string rest = Tail.substr(digits);
  const bool numbered = rest.size() > 5 && rest[0] == '-' && rest.find_first_not_of("0123456789", 1) == rest.size() - 4;
  if (rest != ".tmp" && !(numbered && rest.compare(rest.size() - 4, 4, ".tmp") == 0)) return 0;
  return std::stol(Tail.substr(0, digits));
}

// Removes the temporary files of `finalPath` whose writer no longer runs
// (killed with SIGKILL, or the machine went down).
void RemoveStaleTemps(const std::string& FinalPath) {
  const std::string prefix = TempPrefix(FinalPath);
  const std::string folder = Folder(FinalPath), start = prefix.substr(folder.size());
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

bool FollowLinks(const std::string& Path, std::string& FinalPath, std::string& Error) {
  std::string p = Path;
  for (int hop = 0; hop < kMaxLinkHops; ++hop) {
    std::string target;
    const int link = ReadLinkTarget(p, target);
    if (link == 0) {
      FinalPath = p;
      return true;
    }
    if (link < 0) {
      Error = std::strerror(errno);
      return false;
    }
    p = !target.empty() && target[0] == '/' ? target : Folder(p) + target;
  }
  Error = std::strerror(kTooManyLinks);
  return false;
}

bool WriteWholeFile(const std::string& Path, const void* Data, size_t Size, std::string& Error) {
  TOutputTarget target;
  if (!target.Open(Path, true, Error)) return false;
  if (!WriteFully(target.Fd(), Data, Size)) {
    Error = "cannot write '" + Path + "': " + std::strerror(errno);
    return false;
  }
  return target.Commit(Error);
}

TOutputTarget::~TOutputTarget() { Abandon(); }

std::string TOutputTarget::Failure(const std::string& What) const { return "cannot write '" + FPath + "': " + What; }

bool TOutputTarget::Open(const std::string& Path, bool Streamable, std::string& Error) {
  Abandon();
  FPath = Path;
  FInPlaceReason.clear();
  if (Path == kStandardStream) return OpenDevice({}, Streamable, Error);
  // The kernel follows /dev/stdout and /dev/fd/N to the pipe or terminal
  // behind them, which have no name of their own to follow to.
  const TPathKind named = PathKind(Path);
  if (named.Exists && !named.Regular && !named.Folder) return OpenDevice(Path, Streamable, Error);
  std::string why;
  if (!FollowLinks(Path, FFinalPath, why)) {
    Error = Failure(why);
    return false;
  }
  if (PathKind(FFinalPath).Folder) {
    Error = Failure("it is a folder");
    return false;
  }
  return OpenReplacement(FFinalPath, Error);
}

bool TOutputTarget::OpenReplacement(const std::string& FinalPath, std::string& Error) {
  const TPathKind old = PathKind(FinalPath);
  const bool exists = old.Exists;
  // Renaming would replace a file its owner protected; refuse as an
  // ordinary write would.
  if (exists && !old.Writable) {
    Error = Failure(std::strerror(EACCES));
    return false;
  }
  // A renamed file would leave its other hard links with the old data, and
  // a sticky folder may forbid the rename: such files are written in place.
  if (exists && old.Links > 1) return OpenInPlace(FinalPath, "it has other hard links", Error);
  if (exists && FolderForbidsReplacing(FinalPath))
    return OpenInPlace(FinalPath, "its sticky folder forbids replacing it", Error);
  RemoveStaleTemps(FinalPath);
  const std::string stem = TempPrefix(FinalPath) + std::to_string(ProcessId());
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
      return OpenInPlace(FinalPath, "no file can be made in its folder", Error);
    Error = Failure("cannot make a temporary file beside it: " + std::string(std::strerror(why)));
    return false;
  }
  SetPendingTemp(FTempPath);
  // The new file takes the old one's place with its owner and permissions
  // (the owner only where we may give it away, as root).
  if (exists) CopyOwnership(FinalPath, FEncoderFd);
  FKind = okReplace;
  return true;
}

bool TOutputTarget::OpenInPlace(const std::string& FinalPath, const std::string& Why, std::string& Error) {
  // Opened now, so that a refusal comes before the render; emptied only
  // when the new data is complete.
  // Read too: its old contents are copied aside before they are
  // overwritten, to be put back should the new ones fail to fit.
  FDeviceFd = OpenExisting(FinalPath, true);
  if (FDeviceFd < 0 && errno == EACCES && PathKind(FinalPath).Writable) {
    Error = Failure(Why + ", and it cannot be read, so its old contents could not be kept should the write fail");
    return false;
  }
  if (FDeviceFd < 0) {
    Error = Failure(std::strerror(errno));
    return false;
  }
  if (!OpenSpool(Error)) return false;
  FKind = okInPlace;
  FInPlaceReason = Why;
  return true;
}

bool TOutputTarget::OpenDevice(const std::string& FinalPath, bool Streamable, std::string& Error) {
  // No O_TRUNC and no O_CREAT: the node is used as it is. Opening a FIFO
  // waits for its reader, as any writer does. Standard output is taken as
  // it is open (a socket cannot be opened by name).
  FDeviceFd = FinalPath.empty() ? DuplicateStandardOutput() : OpenExisting(FinalPath, false);
  if (FDeviceFd < 0) {
    Error = Failure(std::strerror(errno));
    return false;
  }
  if (Streamable || Seekable(FDeviceFd)) {
    FEncoderFd = FDeviceFd;
    FDeviceFd = -1;
    FKind = okDirect;
    return true;
  }
  if (!OpenSpool(Error)) return false;
  FKind = okSpooled;
  return true;
}

bool TOutputTarget::OpenSpool(std::string& Error) {
  FEncoderFd = OpenAnonymousTemp();
  if (FEncoderFd < 0) {
    Error = Failure("no room for a temporary copy: " + std::string(std::strerror(errno)));
    CloseQuietly(FDeviceFd);
    return false;
  }
  return true;
}

bool TOutputTarget::CopySpool(std::string& Error) {
  if (!CopyAll(FEncoderFd, FDeviceFd, false)) {
    Error = Failure(std::strerror(errno));
    return false;
  }
  return true;
}

bool TOutputTarget::CommitInPlace(std::string& Error) {
  const off_t newSize = ::lseek(FEncoderFd, 0, SEEK_END);
  const TPathKind old = DescriptorKind(FDeviceFd);
  if (newSize < 0 || !old.Exists) {
    Error = Failure(std::strerror(errno));
    return false;
  }
  // Room first, so that a full disk is found before anything is overwritten.
  if (newSize > old.Size && ReserveSpace(FDeviceFd, newSize) != 0) {
    Error = Failure(std::string(std::strerror(errno)) + "; its old contents are kept");
    return false;
  }
  int backup = OpenAnonymousTemp();
  if (backup < 0 || !CopyAll(FDeviceFd, backup, true)) {
    Error = Failure("cannot keep a copy of its old contents (" + std::string(std::strerror(errno)) +
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
    Error =
        Failure(why + (restored ? "; its old contents are back in place"
                                : "; putting its old contents back failed too: " + std::string(std::strerror(errno))));
  }
  CloseQuietly(backup);
  // After a successful fsync a failing close loses nothing.
  CloseQuietly(FDeviceFd);
  return written;
}

bool TOutputTarget::Commit(std::string& Error) {
  if (FEncoderFd < 0) {
    Error = Failure("file is not open");
    return false;
  }
  bool ok = true;
  if (FKind == okReplace) {
    // The data reaches the disk before the name does: a crash cannot leave
    // an empty file under the final name.
    ok = FileCalls().Fsync(FEncoderFd) == 0;
    if (!ok) Error = Failure(std::strerror(errno));
  } else if (FKind == okInPlace) {
    ok = CommitInPlace(Error);
  } else if (FKind == okSpooled) {
    ok = CopySpool(Error);
    if (ok && FileCalls().Close(FDeviceFd) != 0) {
      ok = false;
      Error = Failure(std::strerror(errno));
    }
    FDeviceFd = -1;
  }
  const int closed = FileCalls().Close(FEncoderFd);
  FEncoderFd = -1;
  if (ok && closed != 0 && (FKind == okReplace || FKind == okDirect)) {
    ok = false;
    Error = Failure(std::strerror(errno));
  }
  if (ok && FKind == okReplace && FileCalls().Rename(FTempPath.c_str(), FFinalPath.c_str()) != 0) {
    ok = false;
    Error = Failure(std::strerror(errno));
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
