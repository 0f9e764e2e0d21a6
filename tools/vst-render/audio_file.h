// Audio files in and out (WAV, FLAC, AIFF) through libsndfile.
//
// Samples travel as interleaved 64-bit floats, full scale +-1.0. A writer
// never leaves a partial file behind: it writes to a hidden temporary name in
// the output's own folder and renames it over the final name only on
// Commit(); a writer destroyed without Commit() deletes its temporary file.
#pragma once

#include <cstdint>
#include <string>

namespace vb {

// Container and sample encoding as one libsndfile format code.
struct TAudioFormat {
  int Code = 0;  // 0 = unknown
  bool IsFloat() const;
  std::string Describe() const;  // e.g. "WAV 24-bit"
};

// The format an output file gets: the container named by the output's
// extension (.wav, .flac, .aif/.aiff), else the input's; the input's
// encoding when the container can hold it, else 24-bit integer (FLAC) or
// 32-bit float. With no input (the demo) WAV is written as 32-bit float.
// Returns false with a message when no container can be told.
bool ChooseOutputFormat(const std::string& outputPath, TAudioFormat input, TAudioFormat& out, std::string& error);

class TAudioFileReader {
 public:
  TAudioFileReader() = default;
  ~TAudioFileReader();
  TAudioFileReader(const TAudioFileReader&) = delete;
  TAudioFileReader& operator=(const TAudioFileReader&) = delete;

  bool Open(const std::string& path, std::string& error);
  int Channels() const { return FChannels; }
  double SampleRate() const { return FSampleRate; }
  std::int64_t Frames() const { return FFrames; }
  TAudioFormat Format() const { return FFormat; }

  // Reads up to `frames` frames into `interleaved` (frames * Channels()
  // values); answers the number of frames read, 0 at the end, -1 on error.
  std::int64_t Read(double* interleaved, std::int64_t frames, std::string& error);

 private:
  void* FFile = nullptr;  // SNDFILE*
  std::string FPath;
  int FChannels = 0;
  double FSampleRate = 0;
  std::int64_t FFrames = 0;
  TAudioFormat FFormat;
};

class TAudioFileWriter {
 public:
  TAudioFileWriter() = default;
  ~TAudioFileWriter();
  TAudioFileWriter(const TAudioFileWriter&) = delete;
  TAudioFileWriter& operator=(const TAudioFileWriter&) = delete;

  bool Open(const std::string& path, TAudioFormat format, int channels, double sampleRate, std::string& error);
  bool Write(const double* interleaved, std::int64_t frames, std::string& error);
  // Closes the temporary file and renames it to the final name.
  bool Commit(std::string& error);
  // Closes and deletes the temporary file (also done by the destructor).
  void Abandon();

  const std::string& TempPath() const { return FTempPath; }
  int Channels() const { return FChannels; }

 private:
  void* FFile = nullptr;  // SNDFILE*
  std::string FPath;
  std::string FTempPath;
  int FChannels = 0;
};

// Makes SIGINT, SIGTERM, SIGHUP and crash signals (a plug-in may crash)
// delete the temporary file of the writer that is open at the time before
// the process ends as the signal demands. Call once, from main().
void RemoveTempFileOnFatalSignals();

// Writes a whole interleaved signal to a file in one go (used for --demo-out).
bool WriteAudioFile(const std::string& path, TAudioFormat format, const double* interleaved, std::int64_t frames,
                    int channels, double sampleRate, std::string& error);

}  // namespace vb
