#include "audio_format.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <iterator>
#include <span>

#include "platform/system/system_calls.h"

#ifdef VB_HAVE_SNDFILE
#include <sndfile.h>
#endif

namespace vb {

std::string LowerExtension(const std::string& Path) {
  const auto slash = Path.find_last_of(kPathSeparators);
  const auto dot = Path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  std::string ext = Path.substr(dot + 1);
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char C) { return static_cast<char>(std::tolower(C)); });
  return ext;
}

#ifdef VB_HAVE_SNDFILE

namespace {

// One container vst-render writes. Fixed: the only encoding it takes (the
// lossy ones), 0 when the encoding follows the input.
struct TContainer {
  const char* Extensions[3];
  int Major;
  int Fixed;
  const char* Name;
  // Never goes back to finish its header, so a pipe can take its bytes as
  // they come. FLAC and MP3 do (STREAMINFO, the Xing/LAME frame): they are
  // spooled and copied into a pipe once complete.
  bool Streamable;
  bool SizedIn32Bits;  // its header announces the audio's size in 32 bits
};

constexpr TContainer kContainers[] = {
    {{"wav", "wave"}, SF_FORMAT_WAV, 0, "WAV", false, true},
    {{"flac"}, SF_FORMAT_FLAC, 0, "FLAC", false, false},
    {{"aiff", "aif", "aifc"}, SF_FORMAT_AIFF, 0, "AIFF", false, true},
    {{"ogg", "oga"}, SF_FORMAT_OGG, SF_FORMAT_VORBIS, "Ogg Vorbis", true, false},
    {{"opus"}, SF_FORMAT_OGG, SF_FORMAT_OPUS, "Ogg Opus", true, false},
    {{"mp3"}, SF_FORMAT_MPEG, SF_FORMAT_MPEG_LAYER_III, "MP3", false, false},
    {{"caf"}, SF_FORMAT_CAF, 0, "CAF", false, false},
    {{"w64"}, SF_FORMAT_W64, 0, "W64", false, false},
    {{"rf64"}, SF_FORMAT_RF64, 0, "RF64", false, false},
    {{"au", "snd"}, SF_FORMAT_AU, 0, "AU", false, true},
};

// A 32-bit size field counts the whole file after its first 8 bytes; the
// margin leaves room for every chunk libsndfile writes besides the audio.
constexpr std::uint64_t kMax32BitData = 0xFFFFFFFFull - 64 * 1024;  // bytes

constexpr int kOpusRates[] = {8000, 12000, 16000, 24000, 48000};  // Hz

bool Checks(int Code, int Channels, int Rate) {
  SF_INFO info{};
  info.format = Code;
  info.channels = Channels;
  info.samplerate = Rate;
  return sf_format_check(&info) != 0;
}

// True when libsndfile was built with the container (its format check
// alone accepts MP3 in a build without the MPEG libraries).
bool Compiled(int Major) {
  int count = 0;
  sf_command(nullptr, SFC_GET_FORMAT_MAJOR_COUNT, &count, sizeof count);
  for (int k = 0; k < count; ++k) {
    SF_FORMAT_INFO info{};
    info.format = k;
    if (sf_command(nullptr, SFC_GET_FORMAT_MAJOR, &info, sizeof info) == 0 && info.format == Major) return true;
  }
  return false;
}

// The container is usable when libsndfile has it and accepts some encoding
// in it (older builds lack Opus and MP3).
bool Writable(const TContainer& C) {
  return Compiled(C.Major) && Checks(C.Major | (C.Fixed ? C.Fixed : SF_FORMAT_PCM_16), 1, 48000);
}

const TContainer* ByExtension(const std::string& Ext) {
  for (const TContainer& c : kContainers)
    for (const char* e : c.Extensions)
      if (e && Ext == e) return &c;
  return nullptr;
}

const TContainer* ByCode(int Code) {
  for (const TContainer& c : kContainers)
    if (c.Major == (Code & SF_FORMAT_TYPEMASK) && (!c.Fixed || c.Fixed == (Code & SF_FORMAT_SUBMASK))) return &c;
  return nullptr;
}

// Lossy encodings are never carried into another container: libsndfile
// accepts MPEG in WAV in sf_format_check and then fails to open it.
bool IsLossy(int Sub) {
  return Sub == SF_FORMAT_VORBIS || Sub == SF_FORMAT_OPUS || Sub == SF_FORMAT_MPEG_LAYER_I ||
         Sub == SF_FORMAT_MPEG_LAYER_II || Sub == SF_FORMAT_MPEG_LAYER_III;
}

// Encodings to try, nearest first, when the container cannot keep the
// input's own. Integer depths go up before they go down, so nothing is
// lost that the container could hold.
std::span<const int> Nearest(int Sub) {
  static constexpr int k8[] = {SF_FORMAT_PCM_S8, SF_FORMAT_PCM_U8, SF_FORMAT_PCM_16,
                               SF_FORMAT_PCM_24, SF_FORMAT_PCM_32, SF_FORMAT_FLOAT};
  static constexpr int k16[] = {SF_FORMAT_PCM_16, SF_FORMAT_PCM_24, SF_FORMAT_PCM_32, SF_FORMAT_FLOAT};
  static constexpr int k24[] = {SF_FORMAT_PCM_24, SF_FORMAT_PCM_32, SF_FORMAT_FLOAT, SF_FORMAT_PCM_16};
  static constexpr int k32[] = {SF_FORMAT_PCM_32, SF_FORMAT_FLOAT, SF_FORMAT_PCM_24, SF_FORMAT_PCM_16};
  static constexpr int kFloat[] = {SF_FORMAT_FLOAT, SF_FORMAT_DOUBLE, SF_FORMAT_PCM_24, SF_FORMAT_PCM_32,
                                   SF_FORMAT_PCM_16};
  static constexpr int kDouble[] = {SF_FORMAT_DOUBLE, SF_FORMAT_FLOAT, SF_FORMAT_PCM_24, SF_FORMAT_PCM_32,
                                    SF_FORMAT_PCM_16};
  switch (Sub) {
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_PCM_U8:
    case SF_FORMAT_DPCM_8:
      return k8;
    case SF_FORMAT_PCM_24:
    case SF_FORMAT_DWVW_24:
    case SF_FORMAT_ALAC_20:
    case SF_FORMAT_ALAC_24:
    case SF_FORMAT_NMS_ADPCM_32:
      return k24;
    case SF_FORMAT_PCM_32:
    case SF_FORMAT_ALAC_32:
      return k32;
    case SF_FORMAT_FLOAT:
      return kFloat;
    case SF_FORMAT_DOUBLE:
      return kDouble;
    case 0:
      return kFloat;  // the demo: nothing clips
    default:
      return k16;  // 16-bit, companded, ADPCM and lossy encodings
  }
}

std::string SubName(int Sub) {
  switch (Sub) {
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_PCM_U8:
      return "8-bit";
    case SF_FORMAT_PCM_16:
      return "16-bit";
    case SF_FORMAT_PCM_24:
      return "24-bit";
    case SF_FORMAT_PCM_32:
      return "32-bit";
    case SF_FORMAT_FLOAT:
      return "32-bit float";
    case SF_FORMAT_DOUBLE:
      return "64-bit float";
    default: {
      SF_FORMAT_INFO info{};
      info.format = Sub;
      return sf_command(nullptr, SFC_GET_FORMAT_INFO, &info, sizeof info) == 0 && info.name ? info.name : "";
    }
  }
}

}  // namespace

bool TAudioFormat::IsFloat() const {
  const int sub = Code & SF_FORMAT_SUBMASK;
  return sub == SF_FORMAT_FLOAT || sub == SF_FORMAT_DOUBLE;
}

bool TAudioFormat::Streamable() const {
  const TContainer* c = ByCode(Code);
  return c && c->Streamable;
}

std::string TAudioFormat::Describe() const {
  if (WavWhenSmall) return "WAV (RF64 above 4 GiB) " + SubName(Code & SF_FORMAT_SUBMASK);
  const TContainer* c = ByCode(Code);
  if (c && c->Fixed) return c->Name;
  const std::string major = c ? c->Name : "audio";
  const std::string sub = SubName(Code & SF_FORMAT_SUBMASK);
  return sub.empty() ? major : major + " " + sub;
}

bool TAudioFormat::IsLossy() const { return vb::IsLossy(Code & SF_FORMAT_SUBMASK); }

bool RequestEncoding(TAudioFormat& Format, int Bits, bool AsFloat, std::string& Error) {
  if (Bits == 0 && !AsFloat) return true;
  const int major = Format.Code & SF_FORMAT_TYPEMASK;
  int sub = AsFloat      ? (Bits == 64 ? SF_FORMAT_DOUBLE : SF_FORMAT_FLOAT)
            : Bits == 8  ? SF_FORMAT_PCM_S8
            : Bits == 16 ? SF_FORMAT_PCM_16
            : Bits == 24 ? SF_FORMAT_PCM_24
                         : SF_FORMAT_PCM_32;
  const std::string wanted =
      AsFloat ? std::string(Bits == 64 ? "64" : "32") + "-bit float" : std::to_string(Bits) + "-bit";
  if (!Format.IsLossy()) {
    if (sub == SF_FORMAT_PCM_S8 && !Checks(major | sub, 1, 48000)) sub = SF_FORMAT_PCM_U8;  // WAV holds 8 bits unsigned
    if (Checks(major | sub, 1, 48000)) {
      Format.Code = major | sub;
      return true;
    }
  }
  const TContainer* c = ByCode(Format.Code);
  Error = std::string(c ? c->Name : "this format") + " cannot hold " + wanted + " samples";
  return false;
}

bool IsAudioExtension(const std::string& Ext) { return ByExtension(Ext) != nullptr; }

std::uint64_t MaxDataBytes(TAudioFormat Format) {
  const TContainer* c = ByCode(Format.Code);
  return c && c->SizedIn32Bits && !Format.WavWhenSmall ? kMax32BitData : 0;
}

int BytesPerSample(TAudioFormat Format) {
  switch (Format.Code & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_PCM_U8:
    case SF_FORMAT_ULAW:
    case SF_FORMAT_ALAW:
      return 1;
    case SF_FORMAT_PCM_24:
      return 3;
    case SF_FORMAT_PCM_32:
    case SF_FORMAT_FLOAT:
      return 4;
    case SF_FORMAT_DOUBLE:
      return 8;
    default:
      return 2;
  }
}

bool PlanOutputSize(TAudioFormat& Format, int Channels, std::int64_t Frames, double SampleRate, std::string& Note,
                    std::string& Error) {
  const std::uint64_t limit = MaxDataBytes(Format);
  if (limit == 0) return true;
  const std::uint64_t bytes = static_cast<std::uint64_t>(Frames > 0 ? Frames : 0) *
                              static_cast<std::uint64_t>(Channels) * static_cast<std::uint64_t>(BytesPerSample(Format));
  if (Frames > 0 && bytes <= limit) return true;
  char size[64];
  std::snprintf(size, sizeof size, "%.2f GiB", static_cast<double>(bytes) / (1024.0 * 1024.0 * 1024.0));
  if ((Format.Code & SF_FORMAT_TYPEMASK) == SF_FORMAT_WAV) {
    Format.Code = SF_FORMAT_RF64 | (Format.Code & SF_FORMAT_SUBMASK);
    Format.WavWhenSmall = true;
    // An input of unknown length gives a WAV, or RF64 only past 4 GiB.
    if (Frames > 0)
      Note = std::string("the output takes ") + size +
             ", more than the 4 GiB a WAV file can hold: it is written as RF64 (WAV with 64-bit sizes)";
    return true;
  }
  if (Frames <= 0) return true;  // the writer stops at the limit
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, "%.0f s", static_cast<double>(Frames) / SampleRate);
  Error = std::string("the output (") + seconds + ", " + size + ") does not fit in the 4 GiB " + Format.Describe() +
          " can hold; write .rf64, .w64, .caf or .flac instead";
  return false;
}

std::string WritableExtensions() {
  std::string list;
  for (const TContainer& c : kContainers)
    if (Writable(c)) list += (list.empty() ? "" : ", ") + std::string(c.Extensions[0]);
  return list;
}

namespace {

// --format's value as an extension: lower case, no leading dot.
std::string FormatExtension(const std::string& FormatName) {
  std::string ext = FormatName;
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char Ch) { return static_cast<char>(std::tolower(Ch)); });
  if (!ext.empty() && ext[0] == '.') ext.erase(0, 1);
  return ext;
}

}  // namespace

std::string FormatConflict(const std::string& OutputPath, const std::string& FormatName) {
  const TContainer* given = ByExtension(FormatExtension(FormatName));
  const TContainer* named = ByExtension(LowerExtension(OutputPath));
  if (!given || !named || given == named) return {};
  return "--format " + FormatName + " contradicts the name '" + OutputPath + "', which stands for " + named->Name +
         "; change one of them";
}

bool ChooseOutputFormat(const std::string& OutputPath, const std::string& FormatName, TAudioFormat Input,
                        TAudioFormat& Out, std::string& Error) {
  std::string ext = FormatExtension(FormatName);
  if (ext.empty()) ext = LowerExtension(OutputPath);
  const TContainer* c = nullptr;
  if (!ext.empty()) {
    c = ByExtension(ext);
    if (!c || !Writable(*c)) {
      Error = "cannot write '" + OutputPath + "': " +
              (c ? "this libsndfile cannot write " + std::string(c->Name) : "unknown audio format '." + ext + "'") +
              " (known: " + WritableExtensions() + ")";
      return false;
    }
  } else {
    c = Input.Code ? ByCode(Input.Code) : &kContainers[0];
    if (!c || !Writable(*c)) {
      Error = "cannot tell the audio format of '" + OutputPath +
              "': give it an extension or use --format (known: " + WritableExtensions() + ")";
      return false;
    }
  }
  if (c->Fixed) {
    Out.Code = c->Major | c->Fixed;
    return true;
  }
  int sub = Input.Code & SF_FORMAT_SUBMASK;
  // Unsigned 8-bit samples make an AIFC file that many readers refuse;
  // plain AIFF holds 8-bit samples signed.
  if (c->Major == SF_FORMAT_AIFF && sub == SF_FORMAT_PCM_U8) sub = SF_FORMAT_PCM_S8;
  if (sub != 0 && !IsLossy(sub) && Checks(c->Major | sub, 1, 48000)) {
    Out.Code = c->Major | sub;
    return true;
  }
  for (int candidate : Nearest(sub)) {
    if (Checks(c->Major | candidate, 1, 48000)) {
      Out.Code = c->Major | candidate;
      return true;
    }
  }
  Error = "cannot write '" + OutputPath + "': no sample encoding of " + c->Name + " fits";
  return false;
}

std::string CheckFormatFits(TAudioFormat Format, int Channels, int SampleRate) {
  if ((Format.Code & SF_FORMAT_SUBMASK) == SF_FORMAT_OPUS &&
      std::find(std::begin(kOpusRates), std::end(kOpusRates), SampleRate) == std::end(kOpusRates))
    return Format.Describe() + " runs at 8000, 12000, 16000, 24000 or 48000 Hz only, not " +
           std::to_string(SampleRate) + " Hz (-s 48000 converts the input)";
  if (!Checks(Format.Code, Channels, SampleRate))
    return Format.Describe() + " cannot hold " + std::to_string(Channels) + " channels at " +
           std::to_string(SampleRate) + " Hz";
  return {};
}

#else  // no libsndfile

bool TAudioFormat::IsFloat() const { return true; }
bool TAudioFormat::Streamable() const { return false; }
std::string TAudioFormat::Describe() const { return "audio"; }
std::string WritableExtensions() { return {}; }

bool ChooseOutputFormat(const std::string&, const std::string&, TAudioFormat, TAudioFormat&, std::string& error) {
  error = "this vst-render was built without libsndfile and cannot write audio files";
  return false;
}

std::string CheckFormatFits(TAudioFormat, int, int) { return "built without libsndfile"; }
std::uint64_t MaxDataBytes(TAudioFormat) { return 0; }
bool IsAudioExtension(const std::string&) { return false; }
bool TAudioFormat::IsLossy() const { return false; }
bool RequestEncoding(TAudioFormat&, int, bool, std::string& error) {
  error = "built without libsndfile";
  return false;
}
int BytesPerSample(TAudioFormat) { return 4; }
bool PlanOutputSize(TAudioFormat&, int, std::int64_t, double, std::string&, std::string&) { return true; }
std::string FormatConflict(const std::string&, const std::string&) { return {}; }

#endif

}  // namespace vb
