#include "audio_file.h"

#include <unistd.h>
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

#ifdef VB_HAVE_SNDFILE
#include <sndfile.h>
#endif

namespace vb {

namespace {

[[maybe_unused]] std::string LowerExtension(const std::string& path) {
  auto slash = path.find_last_of('/');
  auto dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  std::string ext = path.substr(dot + 1);
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return ext;
}

// A hidden sibling of the final file, so that the rename stays inside one
// file system and is atomic.
[[maybe_unused]] std::string TempSibling(const std::string& path) {
  auto slash = path.find_last_of('/');
  std::string dir = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
  return dir + "." + base + ".vst-render-" + std::to_string(::getpid()) + ".tmp";
}

// The temporary file being written, for the signal handler: a plain byte
// array and a flag, both safe to read from a handler.
char GPendingTemp[4096];
volatile std::sig_atomic_t GHavePendingTemp = 0;

[[maybe_unused]] void SetPendingTemp(const std::string& path) {
  GHavePendingTemp = 0;
  if (path.empty() || path.size() >= sizeof GPendingTemp) return;
  std::memcpy(GPendingTemp, path.c_str(), path.size() + 1);
  GHavePendingTemp = 1;
}

extern "C" void RemovePendingTempAndDie(int sig) {
  if (GHavePendingTemp) ::unlink(GPendingTemp);
  std::signal(sig, SIG_DFL);
  std::raise(sig);
}

}  // namespace

void RemoveTempFileOnFatalSignals() {
  for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT})
    std::signal(sig, RemovePendingTempAndDie);
}

#ifdef VB_HAVE_SNDFILE

namespace {

SNDFILE* AsFile(void* p) { return static_cast<SNDFILE*>(p); }

int MajorFromExtension(const std::string& ext) {
  if (ext == "wav" || ext == "wave") return SF_FORMAT_WAV;
  if (ext == "flac") return SF_FORMAT_FLAC;
  if (ext == "aif" || ext == "aiff" || ext == "aifc") return SF_FORMAT_AIFF;
  return 0;
}

bool Valid(int code, int channels) {
  SF_INFO info{};
  info.format = code;
  info.channels = channels;
  info.samplerate = 44100;
  return sf_format_check(&info) != 0;
}

}  // namespace

bool TAudioFormat::IsFloat() const {
  int sub = Code & SF_FORMAT_SUBMASK;
  return sub == SF_FORMAT_FLOAT || sub == SF_FORMAT_DOUBLE;
}

std::string TAudioFormat::Describe() const {
  std::string major;
  switch (Code & SF_FORMAT_TYPEMASK) {
    case SF_FORMAT_WAV:
      major = "WAV";
      break;
    case SF_FORMAT_FLAC:
      major = "FLAC";
      break;
    case SF_FORMAT_AIFF:
      major = "AIFF";
      break;
    default:
      major = "audio";
      break;
  }
  switch (Code & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_PCM_U8:
      return major + " 8-bit";
    case SF_FORMAT_PCM_16:
      return major + " 16-bit";
    case SF_FORMAT_PCM_24:
      return major + " 24-bit";
    case SF_FORMAT_PCM_32:
      return major + " 32-bit";
    case SF_FORMAT_FLOAT:
      return major + " 32-bit float";
    case SF_FORMAT_DOUBLE:
      return major + " 64-bit float";
    default:
      return major;
  }
}

bool ChooseOutputFormat(const std::string& outputPath, TAudioFormat input, TAudioFormat& out, std::string& error) {
  int major = MajorFromExtension(LowerExtension(outputPath));
  if (major == 0) major = input.Code & SF_FORMAT_TYPEMASK;
  if (major == 0) {
    error = "cannot tell the audio format of '" + outputPath + "' (use .wav, .flac or .aiff)";
    return false;
  }
  int sub = input.Code & SF_FORMAT_SUBMASK;
  if (sub != 0 && Valid(major | sub, 2)) {
    out.Code = major | sub;
    return true;
  }
  int fallback = major == SF_FORMAT_FLAC ? SF_FORMAT_PCM_24 : SF_FORMAT_FLOAT;
  out.Code = major | fallback;
  return true;
}

TAudioFileReader::~TAudioFileReader() {
  if (FFile) sf_close(AsFile(FFile));
}

bool TAudioFileReader::Open(const std::string& path, std::string& error) {
  SF_INFO info{};
  SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
  if (!f) {
    error = "cannot read '" + path + "': " + sf_strerror(nullptr);
    return false;
  }
  if (info.channels < 1 || info.samplerate < 1) {
    sf_close(f);
    error = "cannot read '" + path + "': no audio channels";
    return false;
  }
  FFile = f;
  FPath = path;
  FChannels = info.channels;
  FSampleRate = info.samplerate;
  FFrames = info.frames;
  FFormat.Code = info.format;
  return true;
}

std::int64_t TAudioFileReader::Read(double* interleaved, std::int64_t frames, std::string& error) {
  sf_count_t got = sf_readf_double(AsFile(FFile), interleaved, frames);
  if (got < 0 || (got < frames && sf_error(AsFile(FFile)) != SF_ERR_NO_ERROR)) {
    error = "cannot read '" + FPath + "': " + sf_strerror(AsFile(FFile));
    return -1;
  }
  return got;
}

TAudioFileWriter::~TAudioFileWriter() { Abandon(); }

bool TAudioFileWriter::Open(const std::string& path, TAudioFormat format, int channels, double sampleRate,
                            std::string& error) {
  SF_INFO info{};
  info.format = format.Code;
  info.channels = channels;
  info.samplerate = static_cast<int>(sampleRate + 0.5);
  if (!sf_format_check(&info)) {
    error = "cannot write '" + path + "': " + format.Describe() + " cannot hold " + std::to_string(channels) +
            " channels at " + std::to_string(info.samplerate) + " Hz";
    return false;
  }
  FTempPath = TempSibling(path);
  SNDFILE* f = sf_open(FTempPath.c_str(), SFM_WRITE, &info);
  if (!f) {
    error = "cannot write '" + path + "': " + sf_strerror(nullptr);
    ::unlink(FTempPath.c_str());
    FTempPath.clear();
    return false;
  }
  // Integer files clip at full scale instead of wrapping around.
  sf_command(f, SFC_SET_CLIPPING, nullptr, SF_TRUE);
  SetPendingTemp(FTempPath);
  FFile = f;
  FPath = path;
  FChannels = channels;
  return true;
}

bool TAudioFileWriter::Write(const double* interleaved, std::int64_t frames, std::string& error) {
  sf_count_t put = sf_writef_double(AsFile(FFile), interleaved, frames);
  if (put != frames) {
    error = "cannot write '" + FPath + "': " + sf_strerror(AsFile(FFile));
    return false;
  }
  return true;
}

bool TAudioFileWriter::Commit(std::string& error) {
  if (!FFile) {
    error = "cannot write '" + FPath + "': file is not open";
    return false;
  }
  int rc = sf_close(AsFile(FFile));
  FFile = nullptr;
  if (rc != 0) {
    error = "cannot write '" + FPath + "': " + sf_error_number(rc);
    Abandon();
    return false;
  }
  if (std::rename(FTempPath.c_str(), FPath.c_str()) != 0) {
    error = "cannot write '" + FPath + "': " + std::strerror(errno);
    Abandon();
    return false;
  }
  SetPendingTemp({});
  FTempPath.clear();
  return true;
}

void TAudioFileWriter::Abandon() {
  if (FFile) {
    sf_close(AsFile(FFile));
    FFile = nullptr;
  }
  if (!FTempPath.empty()) {
    SetPendingTemp({});
    ::unlink(FTempPath.c_str());
    FTempPath.clear();
  }
}

#else  // no libsndfile: every file operation reports that it is missing

bool TAudioFormat::IsFloat() const { return true; }
std::string TAudioFormat::Describe() const { return "audio"; }

bool ChooseOutputFormat(const std::string&, TAudioFormat, TAudioFormat&, std::string& error) {
  error = "this vst-render was built without libsndfile and cannot write audio files";
  return false;
}

TAudioFileReader::~TAudioFileReader() = default;
bool TAudioFileReader::Open(const std::string& path, std::string& error) {
  error = "cannot read '" + path + "': built without libsndfile";
  return false;
}
std::int64_t TAudioFileReader::Read(double*, std::int64_t, std::string& error) {
  error = "built without libsndfile";
  return -1;
}
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

bool WriteAudioFile(const std::string& path, TAudioFormat format, const double* interleaved, std::int64_t frames,
                    int channels, double sampleRate, std::string& error) {
  TAudioFileWriter w;
  return w.Open(path, format, channels, sampleRate, error) && w.Write(interleaved, frames, error) && w.Commit(error);
}

}  // namespace vb
