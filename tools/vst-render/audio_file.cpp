#include "audio_file.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "data_chunk_check.h"
#include "platform/system/system_calls.h"

#ifdef VB_HAVE_SNDFILE
#include <sndfile.h>
#endif

namespace vb {

namespace {

// MP3 headers estimate their length; a file this much short of it is cut.
constexpr double kEstimateSlack = 0.01;              // of the announced frames
constexpr std::int64_t kEstimateSlackFrames = 2304;  // two MPEG layer III frames
// Writers that stream AIFF or WAV into a pipe announce about this many
// bytes of audio, as they cannot know the length.
constexpr double kStreamedLengthBytes = 0x7F000000;

[[maybe_unused]] std::string Seconds(std::int64_t Frames, double Rate) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.2f s", Rate > 0 ? static_cast<double>(Frames) / Rate : 0.0);
  return buf;
}

}  // namespace

#ifdef VB_HAVE_SNDFILE

namespace {

SNDFILE* AsFile(void* P) { return static_cast<SNDFILE*>(P); }

// libsndfile's own words where they help a user, plain ones where they
// would confuse ("This is a bug in libsndfile").
std::string ReadError(const std::string& Raw) {
  if (Raw.find("bug in libsndfile") != std::string::npos || Raw.find("flac decoder") != std::string::npos)
    return "not an audio file this vst-render can read, or a damaged one";
  return Raw;
}

std::string WriteError(const std::string& Raw, TAudioFormat Format, int Channels, int Rate) {
  if (Raw.find("bug in libsndfile") == std::string::npos && Raw.find("flac decoder") == std::string::npos) return Raw;
  return "the " + Format.Describe() + " encoder refused " + std::to_string(Channels) + " channels at " +
         std::to_string(Rate) + " Hz";
}

bool IsEstimatedLength(TAudioFormat F) { return (F.Code & SF_FORMAT_TYPEMASK) == SF_FORMAT_MPEG; }

}  // namespace

TAudioFileReader::~TAudioFileReader() {
  if (FFile) sf_close(AsFile(FFile));
}

bool TAudioFileReader::Open(const std::string& Path, std::string& Error) {
  // One descriptor serves every read: a pipe or FIFO gives its bytes once.
  const int fd = Path == kStandardStream ? DuplicateStandardInput() : OpenToRead(Path);
  const TPathKind kind = fd >= 0 ? DescriptorKind(fd) : TPathKind{};
  if (fd < 0 || !kind.Exists) {
    Error = "cannot open '" + Path + "': " + std::strerror(errno);
    if (fd >= 0) ::close(fd);
    return false;
  }
  if (kind.Folder) {
    ::close(fd);
    Error = "cannot read '" + Path + "': it is a folder, not an audio file";
    return false;
  }
  const bool regular = kind.Regular;
  TDataChunkSize chunk;
  const bool sized = ReadDataChunkSize(fd, chunk);
  std::int64_t announced = 0;  // by an MP3 file's header, which is read as a stream
  SF_INFO info{};
  if (regular) {
    // A duplicate, as a failed open closes its descriptor whatever it was told.
    const int probeFd = DuplicateDescriptor(fd);
    if (SNDFILE* probe = probeFd >= 0 ? sf_open_fd(probeFd, SFM_READ, &info, SF_TRUE) : nullptr) {
      if (IsEstimatedLength({info.format})) announced = info.frames;
      sf_close(probe);
    }
    ::lseek(fd, 0, SEEK_SET);
    info = {};
  }
  const int readFd = FFeed.Prepare(fd, Path, Error);
  if (readFd < 0) return false;
  SNDFILE* f = sf_open_fd(readFd, SFM_READ, &info, SF_TRUE);
  if (!f) {
    Error = "cannot read '" + Path + "': " + ReadError(sf_strerror(nullptr));
    return false;
  }
  if (info.channels < 1 || info.samplerate < 1) {
    sf_close(f);
    Error = "cannot read '" + Path + "': no audio channels";
    return false;
  }
  FFile = f;
  FPath = Path;
  FChannels = info.channels;
  FSampleRate = info.samplerate;
  // A stream whose end cannot be found reports the largest count.
  FFrames = info.frames > 0 && info.frames < SF_COUNT_MAX ? info.frames : announced;
  if (!regular && static_cast<double>(FFrames) * info.channels * BytesPerSample({info.format}) >= kStreamedLengthBytes)
    FFrames = 0;
  FFormat.Code = info.format;
  if (sized && chunk.CutShort()) {
    FDeclaredBytes = chunk.Declared;
    FPresentBytes = chunk.Present;
  }
  return true;
}

std::int64_t TAudioFileReader::Read(double* Interleaved, std::int64_t Frames, std::string& Error) {
  if (FEnded) return 0;
  sf_count_t got = sf_readf_double(AsFile(FFile), Interleaved, Frames);
  const int status = sf_error(AsFile(FFile));
  if (got < 0 || (got < Frames && status == SF_ERR_SYSTEM)) {
    Error = "cannot read '" + FPath + "': " + sf_strerror(AsFile(FFile));
    return -1;
  }
  if (got < Frames && status != SF_ERR_NO_ERROR) FDecoderStop = sf_strerror(AsFile(FFile));
  if (got < Frames) FEnded = true;
  FFramesRead += got;
  return got;
}

std::string TAudioFileReader::CutShortWarning() const {
  const std::string name = "'" + FPath + "'";
  const std::string read = Seconds(FFramesRead, FSampleRate) + " (" + std::to_string(FFramesRead) + " frames)";
  if (FDeclaredBytes > FPresentBytes)
    return name + " is cut short: its header announces " + std::to_string(FDeclaredBytes) +
           " bytes of audio and the file holds " + std::to_string(FPresentBytes) + "; rendered the " + read +
           " that are there";
  if (!FDecoderStop.empty())
    return name + " ends early or is damaged (" + FDecoderStop + ") after " + read + " of the " +
           Seconds(FFrames, FSampleRate) + " its header announces; rendered what was read";
  std::int64_t slack = 0;
  if (IsEstimatedLength(FFormat))
    slack = std::max(kEstimateSlackFrames, static_cast<std::int64_t>(kEstimateSlack * static_cast<double>(FFrames)));
  if (FEnded && IsEstimatedLength(FFormat) && FFrames > 0 && FFramesRead > FFrames + slack)
    return name + ": its header announces " + Seconds(FFrames, FSampleRate) + " (" + std::to_string(FFrames) +
           " frames) and the stream holds " + read + "; rendered all of it";
  if (FEnded && FFrames > 0 && FFramesRead + slack < FFrames)
    return name + " is cut short: its header announces " + Seconds(FFrames, FSampleRate) + " (" +
           std::to_string(FFrames) + " frames) and the file holds " + read + "; rendered what is there";
  return {};
}

TAudioFileWriter::~TAudioFileWriter() { Abandon(); }

bool TAudioFileWriter::Open(const std::string& Path, TAudioFormat Format, int Channels, double SampleRate,
                            std::string& Error) {
  Abandon();
  SF_INFO info{};
  info.format = Format.Code;
  info.channels = Channels;
  info.samplerate = static_cast<int>(SampleRate + 0.5);
  if (std::string why = CheckFormatFits(Format, Channels, info.samplerate); !why.empty()) {
    Error = "cannot write '" + Path + "': " + why;
    return false;
  }
  if (!FTarget.Open(Path, Format.Streamable(), Error)) return false;
  SNDFILE* f = sf_open_fd(FTarget.Fd(), SFM_WRITE, &info, SF_FALSE);
  if (!f) {
    Error = "cannot write '" + Path + "': " + WriteError(sf_strerror(nullptr), Format, Channels, info.samplerate);
    FTarget.Abandon();
    return false;
  }
  // Integer files clip at full scale instead of wrapping around.
  sf_command(f, SFC_SET_CLIPPING, nullptr, SF_TRUE);
  if (Format.WavWhenSmall) sf_command(f, SFC_RF64_AUTO_DOWNGRADE, nullptr, SF_TRUE);
  if (double quality = Format.Quality; quality >= 0 && Format.IsLossy())
    sf_command(f, SFC_SET_VBR_ENCODING_QUALITY, &quality, sizeof quality);
  FFile = f;
  FPath = Path;
  FFormat = Format;
  FChannels = Channels;
  FDataBytes = 0;
  return true;
}

bool TAudioFileWriter::Write(const double* Interleaved, std::int64_t Frames, std::string& Error) {
  // A size field that wraps would make every reader see a short file.
  FDataBytes += static_cast<std::uint64_t>(Frames) * static_cast<std::uint64_t>(FChannels) *
                static_cast<std::uint64_t>(BytesPerSample(FFormat));
  if (const std::uint64_t limit = MaxDataBytes(FFormat); limit > 0 && FDataBytes > limit) {
    Error = "cannot write '" + FPath + "': the output outgrew the 4 GiB " + FFormat.Describe() +
            " can hold; write .rf64, .w64, .caf or .flac instead";
    return false;
  }
  sf_count_t put = sf_writef_double(AsFile(FFile), Interleaved, Frames);
  if (put != Frames) {
    Error = "cannot write '" + FPath + "': " + sf_strerror(AsFile(FFile));
    return false;
  }
  return true;
}

bool TAudioFileWriter::Commit(std::string& Error) {
  if (!FFile) {
    Error = "cannot write '" + FPath + "': file is not open";
    return false;
  }
  // sf_close writes the final header; a failure there is a failed file.
  const int rc = sf_close(AsFile(FFile));
  FFile = nullptr;
  if (rc != 0) {
    Error = "cannot write '" + FPath + "': " + sf_error_number(rc);
    Abandon();
    return false;
  }
  return FTarget.Commit(Error);
}

void TAudioFileWriter::Abandon() {
  if (FFile) {
    sf_close(AsFile(FFile));
    FFile = nullptr;
  }
  FTarget.Abandon();
}

#else  // no libsndfile: every file operation reports that it is missing

TAudioFileReader::~TAudioFileReader() = default;
bool TAudioFileReader::Open(const std::string& path, std::string& error) {
  error = "cannot read '" + path + "': built without libsndfile";
  return false;
}
std::int64_t TAudioFileReader::Read(double*, std::int64_t, std::string& error) {
  error = "built without libsndfile";
  return -1;
}
std::string TAudioFileReader::CutShortWarning() const { return {}; }
TAudioFileWriter::~TAudioFileWriter() = default;
bool TAudioFileWriter::Open(const std::string& path, TAudioFormat, int, double, std::string& error) {
  error = "cannot write '" + path + "': built without libsndfile";
  return false;
}
bool TAudioFileWriter::Write(const double*, std::int64_t, std::string& error) {
  error = "built without libsndfile";
  return false;
}
bool TAudioFileWriter::Commit(std::string& error) {
  error = "built without libsndfile";
  return false;
}
void TAudioFileWriter::Abandon() {}

#endif

bool WriteAudioFile(const std::string& Path, TAudioFormat Format, const double* Interleaved, std::int64_t Frames,
                    int Channels, double SampleRate, std::string& Error) {
  TAudioFileWriter w;
  return w.Open(Path, Format, Channels, SampleRate, Error) && w.Write(Interleaved, Frames, Error) && w.Commit(Error);
}

}  // namespace vb
