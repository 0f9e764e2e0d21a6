// The audio data that a WAV (RIFF, RIFX) or AIFF header announces, against
// what the file holds. libsndfile quietly shortens a file cut in its data
// chunk to the frames that are there; this is how vst-render notices.
#pragma once

#include <cstdint>

namespace vb {

struct TDataChunkSize {
  std::uint64_t Declared = 0;  // bytes of audio data the header announces
  std::uint64_t Present = 0;   // bytes of it the file holds
  bool CutShort() const { return Declared > Present; }
};

// Reads the open file `fd` with pread(2), so the descriptor's position is
// left where it was. False when it is no regular file (a pipe can be read
// once only and is left alone), no RIFF/RIFX WAVE or AIFF/AIFC file, has no
// data chunk, or leaves the size open (0 or 0xFFFFFFFF, as streaming
// writers do).
bool ReadDataChunkSize(int Fd, TDataChunkSize& Size);

}  // namespace vb
