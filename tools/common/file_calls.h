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
  virtual ssize_t Write(int Fd, const void* Data, size_t Size);
  virtual ssize_t Read(int Fd, void* Data, size_t Size);
  virtual int Fsync(int Fd);
  virtual int Ftruncate(int Fd, off_t Length);
  virtual int Rename(const char* From, const char* To);
  virtual int Close(int Fd);
};

// The calls in use: the system's unless a test put others in.
TFileCalls& FileCalls();
// Puts `calls` in use (nullptr: the system's again). The caller keeps
// ownership and keeps the object alive while it is in use.
void SetFileCalls(TFileCalls* Calls);

// write(2) through FileCalls() until everything is out; false with errno
// set on failure.
bool WriteFully(int Fd, const void* Data, size_t Size);

}  // namespace vb
