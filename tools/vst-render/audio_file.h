// Audio files in and out through libsndfile.
//
// Samples travel as interleaved 64-bit floats, full scale +-1.0. A writer
// never leaves a partial file behind and never replaces what its name stands
// for (see TOutputTarget): the file appears complete on Commit(), and a
// writer destroyed without Commit() leaves nothing.
#pragma once

#include <cstdint>
#include <string>

#include "audio_format.h"
#include "input_feed.h"
#include "output_target.h"

namespace vb {

class TAudioFileReader {
 public:
  TAudioFileReader() = default;
  ~TAudioFileReader();
  TAudioFileReader(const TAudioFileReader&) = delete;
  TAudioFileReader& operator=(const TAudioFileReader&) = delete;

  // Reads `path` through one descriptor ("-": standard input), so pipes and
  // FIFOs lose nothing. On failure a one-line message naming the file.
  bool Open(const std::string& Path, std::string& Error);
  int Channels() const { return FChannels; }
  double SampleRate() const { return FSampleRate; }
  // Frames the file holds as far as its header tells; 0 when it does not.
  // An MP3 header's count is an estimate: the file is read to its end.
  std::int64_t Frames() const { return FFrames; }
  TAudioFormat Format() const { return FFormat; }

  // Reads up to `frames` frames into `interleaved` (frames * Channels()
  // values); answers the number of frames read, 0 at the end, -1 on a
  // system error. A decoder that gives up part way (a cut or damaged FLAC
  // or MP3) ends the data; CutShortWarning() tells about it.
  std::int64_t Read(double* Interleaved, std::int64_t Frames, std::string& Error);

  // After the last Read(): empty when the file held everything its header
  // announced, else a one-line warning naming the file and what is missing.
  std::string CutShortWarning() const;

 private:
  TInputFeed FFeed;       // destroyed after the file, which closes the pipe it fills
  void* FFile = nullptr;  // SNDFILE*
  std::string FPath;
  int FChannels = 0;
  double FSampleRate = 0;
  std::int64_t FFrames = 0;
  std::int64_t FFramesRead = 0;
  std::uint64_t FDeclaredBytes = 0;  // a WAV or AIFF data chunk cut short
  std::uint64_t FPresentBytes = 0;
  std::string FDecoderStop;  // why the decoder ended early, if it did
  bool FEnded = false;
  TAudioFormat FFormat;
};

class TAudioFileWriter {
 public:
  TAudioFileWriter() = default;
  ~TAudioFileWriter();
  TAudioFileWriter(const TAudioFileWriter&) = delete;
  TAudioFileWriter& operator=(const TAudioFileWriter&) = delete;

  bool Open(const std::string& Path, TAudioFormat Format, int Channels, double SampleRate, std::string& Error);
  bool Write(const double* Interleaved, std::int64_t Frames, std::string& Error);
  // Finishes the encoder and then the target; any failure is reported.
  bool Commit(std::string& Error);
  // Drops what was written (also done by the destructor).
  void Abandon();

  const std::string& TempPath() const { return FTarget.TempPath(); }
  const std::string& InPlaceReason() const { return FTarget.InPlaceReason(); }
  int Channels() const { return FChannels; }

 private:
  void* FFile = nullptr;  // SNDFILE*
  TOutputTarget FTarget;
  std::string FPath;
  TAudioFormat FFormat;
  int FChannels = 0;
  std::uint64_t FDataBytes = 0;  // audio written so far, as the file counts it
};

// Writes a whole interleaved signal to a file in one go (used for --demo-out).
bool WriteAudioFile(const std::string& Path, TAudioFormat Format, const double* Interleaved, std::int64_t Frames,
                    int Channels, double SampleRate, std::string& Error);

}  // namespace vb
