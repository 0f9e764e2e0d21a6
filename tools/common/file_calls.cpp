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

ssize_t TFileCalls::Write(int fd, const void* data, size_t size) { return ::write(fd, data, size); }
ssize_t TFileCalls::Read(int fd, void* data, size_t size) { return ::read(fd, data, size); }
int TFileCalls::Fsync(int fd) { return SyncFile(fd); }
int TFileCalls::Ftruncate(int fd, off_t length) { return TruncateFile(fd, length); }
int TFileCalls::Rename(const char* from, const char* to) { return ReplaceByRename(from, to); }
int TFileCalls::Close(int fd) { return ::close(fd); }

TFileCalls& FileCalls() { return *GCalls; }

void SetFileCalls(TFileCalls* calls) { GCalls = calls ? calls : &GSystemCalls; }

bool WriteFully(int fd, const void* data, size_t size) {
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t n = FileCalls().Write(fd, p, size);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) {
      errno = EIO;
      return false;
    }
    p += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

}  // namespace vb
