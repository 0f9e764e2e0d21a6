// What an input descriptor must become before libsndfile reads it:
// - MP3 from a file is read through a pipe, because a file lets libsndfile
//   take the length its first frame suggests as the whole (a VBR file
//   without a Xing header reads back cut short) while a stream is decoded
//   to its end;
// - FLAC from a pipe is copied to an unlinked temporary file first, because
//   the FLAC decoder must seek while it opens a stream;
// - everything else is read as it is.
//
// Threads: a pipe is filled by a thread of this object, which ends once the
// source is copied or the pipe's reader has closed it; the destructor waits
// for it, so the reader must close its end first.
#pragma once

#include <string>
#include <thread>

namespace vb {

class TInputFeed {
 public:
  TInputFeed() = default;
  ~TInputFeed();
  TInputFeed(const TInputFeed&) = delete;
  TInputFeed& operator=(const TInputFeed&) = delete;

  // Takes over `fd` (opened for reading) and answers the descriptor to read
  // instead, or -1 with a message naming `path`.
  int Prepare(int Fd, const std::string& Path, std::string& Error);
  // True when an MP3 file is read through a pipe.
  bool Streamed() const { return FThread.joinable(); }

 private:
  int Stream(int Source, std::string Prefix, const std::string& Path, std::string& Error);

  std::thread FThread;
};

// True when the bytes start an MP3 stream: an ID3v2 tag, or an MPEG audio
// frame header (11 bits of sync, layer III).
bool LooksLikeMp3(const unsigned char* Head, size_t Size);

}  // namespace vb
