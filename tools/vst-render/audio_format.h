// Audio file formats: the containers vst-render writes, chosen by the output
// file's extension, and the sample encoding each output gets.
#pragma once

#include <cstdint>
#include <string>

namespace vb {

// Container and sample encoding as one libsndfile format code.
struct TAudioFormat {
  int Code = 0;  // 0 = unknown
  // An RF64 file that libsndfile writes as a plain WAV when it stays within
  // 4 GiB (chosen by PlanOutputSize for a WAV whose size is not known).
  bool WavWhenSmall = false;
  // VBR quality of a lossy encoder, 0 (smallest) to 1 (best); < 0: the
  // encoder's own default.
  double Quality = -1.0;
  bool IsLossy() const;
  bool IsFloat() const;
  // True when the encoder can write to a pipe: it never goes back to fill in
  // a header (Ogg Vorbis and Opus).
  bool Streamable() const;
  std::string Describe() const;  // e.g. "WAV 24-bit", "Ogg Vorbis"
};

// The format an output gets. The container comes from `formatName` when it
// is given (an extension such as "flac", from --format), else from the
// extension of `outputPath`; a path without an extension (a device, a FIFO)
// takes the input's container, or WAV for the built-in demo. An unknown
// extension, or one this libsndfile cannot write, is refused with a message
// that lists the known ones. The encoding is the input's where the container
// can hold it, else the nearest one it can (lossy inputs give 16-bit PCM);
// Ogg and MP3 always encode Vorbis, Opus or MPEG layer III. The demo gives
// 32-bit float where the container allows it.
bool ChooseOutputFormat(const std::string& OutputPath, const std::string& FormatName, TAudioFormat Input,
                        TAudioFormat& Out, std::string& Error);
inline bool ChooseOutputFormat(const std::string& OutputPath, TAudioFormat Input, TAudioFormat& Out,
                               std::string& Error) {
  return ChooseOutputFormat(OutputPath, {}, Input, Out, Error);
}

// The sample encoding the user asked for (--bits, --float) in place of the
// chosen one; false with a message when the container cannot hold it.
// bits 0 and !asFloat: keep what ChooseOutputFormat chose.
bool RequestEncoding(TAudioFormat& Format, int Bits, bool AsFloat, std::string& Error);

// Empty unless `formatName` (--format) and the extension of `outputPath`
// name two different audio formats; then a one-line message.
std::string FormatConflict(const std::string& OutputPath, const std::string& FormatName);

// True when `ext` (lower case, no dot) names an audio format vst-render knows.
bool IsAudioExtension(const std::string& Ext);

// The extensions this build can write, e.g. "wav, flac, aiff, ogg, opus, mp3".
std::string WritableExtensions();

// Empty when `format` can hold `channels` channels at `sampleRate` Hz, else
// why not (for example Opus, which runs at 8, 12, 16, 24 or 48 kHz only).
std::string CheckFormatFits(TAudioFormat Format, int Channels, int SampleRate);

// The most bytes of audio the container's 32-bit size fields can announce
// (WAV, AIFF, AU); 0 when it has no such limit.
std::uint64_t MaxDataBytes(TAudioFormat Format);
// Bytes one sample takes in the file; an estimate for compressed encodings.
int BytesPerSample(TAudioFormat Format);

// Decided before a render, as the output must not outgrow its container:
// `frames` frames (0 when the length is not known, as from a pipe) of
// `channels` channels. A WAV that is, or may be, too large becomes RF64
// written as WAV while it fits, and `note` says so; any other container
// that is too large is refused with the reason in `error`.
bool PlanOutputSize(TAudioFormat& Format, int Channels, std::int64_t Frames, double SampleRate, std::string& Note,
                    std::string& Error);

// The extension of a path in lower case, without the dot; empty when the
// last path component has none.
std::string LowerExtension(const std::string& Path);

}  // namespace vb
