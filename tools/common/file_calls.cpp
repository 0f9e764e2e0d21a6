#include "file_calls.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/system/system_calls.h"

namespace vb {

namespace {

TFileCalls GSystemCalls;
TFileCalls* GCalls = &GSystemCalls;

}  // namespace

ssize_t TFileCalls::Write(int Fd, const void* Data, size_t Size) { return ::write(Fd, Data, Size); }
ssize_t TFileCalls::Read(int Fd, void* Data, size_t Size) { return ::read(Fd, Data, Size); }
int TFileCalls::Fsync(int Fd) { return SyncFile(Fd); }
int TFileCalls::Ftruncate(int Fd, off_t Length) { return TruncateFile(Fd, Length); }
int TFileCalls::Rename(const char* From, const char* To) { return ReplaceByRename(From, To); }
int TFileCalls::Close(int Fd) { return ::close(Fd); }

TFileCalls& FileCalls() { return *GCalls; }

void SetFileCalls(TFileCalls* Calls) { GCalls = Calls ? Calls : &GSystemCalls; }

bool WriteFully(int Fd, const void* Data, size_t Size) {
  const char* p = static_cast<const char*>(Data);
  while (Size > 0) {
    const ssize_t n = FileCalls().Write(Fd, p, Size);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) {
      errno = EIO;
      return false;
    }
    p += n;
    Size -= static_cast<size_t>(n);
  }
  return true;
}

}  // namespace vb
