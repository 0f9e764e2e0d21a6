// Where the audio to render comes from: a file, or a signal in memory (the
// built-in demo). Both hand out interleaved 64-bit samples block by block.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "audio_file.h"

namespace vb {

class TSignalSource {
 public:
  virtual ~TSignalSource() = default;
  virtual int Channels() const = 0;
  virtual double SampleRate() const = 0;
  virtual std::int64_t Frames() const = 0;
  // Up to `frames` frames into `interleaved`; 0 at the end, -1 on error.
  virtual std::int64_t Read(double* Interleaved, std::int64_t Frames, std::string& Error) = 0;
};

class TMemorySource final : public TSignalSource {
 public:
  TMemorySource(std::vector<double> Interleaved, int Channels, double SampleRate);
  int Channels() const override { return FChannels; }
  double SampleRate() const override { return FSampleRate; }
  std::int64_t Frames() const override;
  std::int64_t Read(double* Interleaved, std::int64_t Frames, std::string& Error) override;

 private:
  std::vector<double> FSamples;
  int FChannels;
  double FSampleRate;
  std::int64_t FPos = 0;  // frames handed out
};

class TFileSource final : public TSignalSource {
 public:
  // The reader must be open.
  explicit TFileSource(TAudioFileReader& Reader) : FReader(Reader) {}
  int Channels() const override { return FReader.Channels(); }
  double SampleRate() const override { return FReader.SampleRate(); }
  std::int64_t Frames() const override { return FReader.Frames(); }
  std::int64_t Read(double* Interleaved, std::int64_t Frames, std::string& Error) override {
    return FReader.Read(Interleaved, Frames, Error);
  }

 private:
  TAudioFileReader& FReader;
};

// Silence of a given length and channel count (what an instrument plays
// over while it gets its notes).
class TSilenceSource final : public TSignalSource {
 public:
  TSilenceSource(std::int64_t Frames, int Channels, double SampleRate)
      : FFrames(Frames), FChannels(Channels), FSampleRate(SampleRate) {}
  int Channels() const override { return FChannels; }
  double SampleRate() const override { return FSampleRate; }
  std::int64_t Frames() const override { return FFrames; }
  std::int64_t Read(double* Interleaved, std::int64_t Frames, std::string& Error) override;

 private:
  std::int64_t FFrames;
  int FChannels;
  double FSampleRate;
  std::int64_t FPos = 0;
};

// The first frames of another source (all of it when it is shorter).
class TLimitedSource final : public TSignalSource {
 public:
  TLimitedSource(TSignalSource& Source, std::int64_t Frames) : FSource(Source), FLimit(Frames) {}
  int Channels() const override { return FSource.Channels(); }
  double SampleRate() const override { return FSource.SampleRate(); }
  std::int64_t Frames() const override;
  std::int64_t Read(double* Interleaved, std::int64_t Frames, std::string& Error) override;

 private:
  TSignalSource& FSource;
  std::int64_t FLimit;
  std::int64_t FPos = 0;
};

}  // namespace vb
