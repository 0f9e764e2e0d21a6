// The system calls through which the tools write and copy their files,
// gathered behind one interface so that a test can make any of them fail
// (disk full, I/O error) and check that no data is lost.
//
// Threads: the calls are used from one thread at a time; SetFileCalls()
// only while no file is being written.
#pragma once

#include <sys/types.h>

#include <cstddef>

namespace vb {

class TFileCalls {
 public:
  virtual ~TFileCalls() = default;
  // Each as its POSIX namesake: -1 with errno set on failure.
  virtual ssize_t Write(int fd, const void* data, size_t size);
  virtual ssize_t Read(int fd, void* data, size_t size);
  virtual int Fsync(int fd);
  virtual int Ftruncate(int fd, off_t length);
  virtual int Rename(const char* from, const char* to);
  virtual int Close(int fd);
};

// The calls in use: the system's unless a test put others in.
TFileCalls& FileCalls();
// Puts `calls` in use (nullptr: the system's again). The caller keeps
// ownership and keeps the object alive while it is in use.
void SetFileCalls(TFileCalls* calls);

// write(2) through FileCalls() until everything is out; false with errno
// set on failure.
bool WriteFully(int fd, const void* data, size_t size);

}  // namespace vb
