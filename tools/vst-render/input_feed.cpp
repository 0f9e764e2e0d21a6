#include "input_feed.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "file_calls.h"
#include "platform/system/system_calls.h"

namespace vb {

namespace {

constexpr size_t kChunk = 1 << 16;  // bytes per copy step
constexpr size_t kSniff = 4;        // bytes that tell FLAC and MP3 apart

// Reads up to `size` bytes (fewer only at the end); -1 on an error.
ssize_t ReadUpTo(int Fd, unsigned char* Out, size_t Size) {
  size_t got = 0;
  while (got < Size) {
    const ssize_t n = ::read(Fd, Out + got, Size - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return -1;
    if (n == 0) break;
    got += static_cast<size_t>(n);
  }
  return static_cast<ssize_t>(got);
}

// Copies the rest of `from` into `to`; false with errno set.
bool CopyRest(int From, int To) {
  std::vector<char> chunk(kChunk);
  for (;;) {
    const ssize_t n = ::read(From, chunk.data(), chunk.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    if (!WriteFully(To, chunk.data(), static_cast<size_t>(n))) return false;
  }
}

int SpoolToTemp(int Source, const unsigned char* Head, size_t Size, const std::string& Path, std::string& Error) {
  const int fd = OpenUnnamedTemp("input");
  const bool ok = fd >= 0 && WriteFully(fd, Head, Size) && CopyRest(Source, fd) && ::lseek(fd, 0, SEEK_SET) == 0;
  const int why = errno;
  ::close(Source);
  if (ok) return fd;
  if (fd >= 0) ::close(fd);
  Error = "cannot read '" + Path + "': no room for a temporary copy of the stream: " + std::strerror(why);
  return -1;
}

}  // namespace

bool LooksLikeMp3(const unsigned char* Head, size_t Size) {
  if (Size >= 3 && std::memcmp(Head, "ID3", 3) == 0) return true;
  return Size >= 2 && Head[0] == 0xFF && (Head[1] & 0xE0) == 0xE0 && (Head[1] & 0x06) == 0x02;
}

TInputFeed::~TInputFeed() {
  if (FThread.joinable()) FThread.join();
}

int TInputFeed::Prepare(int Fd, const std::string& Path, std::string& Error) {
  unsigned char head[kSniff];
  if (DescriptorKind(Fd).Regular) {
    const ssize_t n = ReadAt(Fd, head, sizeof head, 0);
    if (n > 0 && LooksLikeMp3(head, static_cast<size_t>(n)) && !kPipeEndFails) return Stream(Fd, {}, Path, Error);
    return Fd;
  }
  const ssize_t n = ReadUpTo(Fd, head, sizeof head);
  if (n < 0) {
    Error = "cannot read '" + Path + "': " + std::strerror(errno);
    ::close(Fd);
    return -1;
  }
  const size_t got = static_cast<size_t>(n);
  if ((got == kSniff && std::memcmp(head, "fLaC", kSniff) == 0) || kPipeEndFails)
    return SpoolToTemp(Fd, head, got, Path, Error);
  // The bytes read to tell are handed on ahead of the rest.
  return Stream(Fd, std::string(reinterpret_cast<const char*>(head), got), Path, Error);
}

int TInputFeed::Stream(int Source, std::string Prefix, const std::string& Path, std::string& Error) {
  int ends[2];
  if (MakePipe(ends) != 0) {
    Error = "cannot read '" + Path + "': " + std::strerror(errno);
    ::close(Source);
    return -1;
  }
  FThread = std::thread([Source, writeEnd = ends[1], prefix = std::move(Prefix)] {
    // A reader that stops early makes the writes fail with EPIPE instead of
    // ending the process.
    IgnoreBrokenPipes(true);
    if (WriteFully(writeEnd, prefix.data(), prefix.size())) (void)CopyRest(Source, writeEnd);
    ::close(writeEnd);
    ::close(Source);
  });
  return ends[0];
}

}  // namespace vb
