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
ssize_t ReadUpTo(int fd, unsigned char* out, size_t size) {
  size_t got = 0;
  while (got < size) {
    const ssize_t n = ::read(fd, out + got, size - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return -1;
    if (n == 0) break;
    got += static_cast<size_t>(n);
  }
  return static_cast<ssize_t>(got);
}

// Copies the rest of `from` into `to`; false with errno set.
bool CopyRest(int from, int to) {
  std::vector<char> chunk(kChunk);
  for (;;) {
    const ssize_t n = ::read(from, chunk.data(), chunk.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    if (!WriteFully(to, chunk.data(), static_cast<size_t>(n))) return false;
  }
}

int SpoolToTemp(int source, const unsigned char* head, size_t size, const std::string& path, std::string& error) {
  const int fd = OpenUnnamedTemp("input");
  const bool ok = fd >= 0 && WriteFully(fd, head, size) && CopyRest(source, fd) && ::lseek(fd, 0, SEEK_SET) == 0;
  const int why = errno;
  ::close(source);
  if (ok) return fd;
  if (fd >= 0) ::close(fd);
  error = "cannot read '" + path + "': no room for a temporary copy of the stream: " + std::strerror(why);
  return -1;
}

}  // namespace

bool LooksLikeMp3(const unsigned char* head, size_t size) {
  if (size >= 3 && std::memcmp(head, "ID3", 3) == 0) return true;
  return size >= 2 && head[0] == 0xFF && (head[1] & 0xE0) == 0xE0 && (head[1] & 0x06) == 0x02;
}

TInputFeed::~TInputFeed() {
  if (FThread.joinable()) FThread.join();
}

int TInputFeed::Prepare(int fd, const std::string& path, std::string& error) {
  unsigned char head[kSniff];
  if (DescriptorKind(fd).Regular) {
    const ssize_t n = ReadAt(fd, head, sizeof head, 0);
    if (n > 0 && LooksLikeMp3(head, static_cast<size_t>(n)) && !kPipeEndFails) return Stream(fd, {}, path, error);
    return fd;
  }
  const ssize_t n = ReadUpTo(fd, head, sizeof head);
  if (n < 0) {
    error = "cannot read '" + path + "': " + std::strerror(errno);
    ::close(fd);
    return -1;
  }
  const size_t got = static_cast<size_t>(n);
  if ((got == kSniff && std::memcmp(head, "fLaC", kSniff) == 0) || kPipeEndFails)
    return SpoolToTemp(fd, head, got, path, error);
  // The bytes read to tell are handed on ahead of the rest.
  return Stream(fd, std::string(reinterpret_cast<const char*>(head), got), path, error);
}

int TInputFeed::Stream(int source, std::string prefix, const std::string& path, std::string& error) {
  int ends[2];
  if (MakePipe(ends) != 0) {
    error = "cannot read '" + path + "': " + std::strerror(errno);
    ::close(source);
    return -1;
  }
  FThread = std::thread([source, writeEnd = ends[1], prefix = std::move(prefix)] {
    // A reader that stops early makes the writes fail with EPIPE instead of
    // ending the process.
    IgnoreBrokenPipes(true);
    if (WriteFully(writeEnd, prefix.data(), prefix.size())) (void)CopyRest(source, writeEnd);
    ::close(writeEnd);
    ::close(source);
  });
  return ends[0];
}

}  // namespace vb
