#include "preset_file.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace vb {

namespace {

constexpr size_t kNameBytes = 28;     // program name field, NUL included
constexpr size_t kFutureBytes = 124;  // reserved bytes of a bank header (version 2: 4 of 128 are the current program)
constexpr std::int32_t kMaxCount = 1 << 20;  // programs or parameters a file may claim

constexpr std::uint32_t Tag(const char (&T)[5]) {
  return (std::uint32_t(std::uint8_t(T[0])) << 24) | (std::uint32_t(std::uint8_t(T[1])) << 16) |
         (std::uint32_t(std::uint8_t(T[2])) << 8) | std::uint8_t(T[3]);
}

class TWriter {
 public:
  void U32(std::uint32_t V) {
    for (int s = 24; s >= 0; s -= 8) FBytes.push_back(std::uint8_t(V >> s));
  }
  void F32(float V) { U32(std::bit_cast<std::uint32_t>(V)); }
  void Name(const std::string& Name) {
    std::string field = Name.substr(0, kNameBytes - 1);
    field.resize(kNameBytes, '\0');
    FBytes.insert(FBytes.end(), field.begin(), field.end());
  }
  void Bytes(const std::vector<std::uint8_t>& B) { FBytes.insert(FBytes.end(), B.begin(), B.end()); }
  void Zeros(size_t N) { FBytes.insert(FBytes.end(), N, 0); }
  // Fills in the byteSize field at `at` once the record is complete.
  void PatchSize(size_t At) {
    const std::uint32_t size = static_cast<std::uint32_t>(FBytes.size() - At - 4);
    for (int k = 0; k < 4; ++k) FBytes[At + k] = std::uint8_t(size >> (24 - 8 * k));
  }
  size_t Size() const { return FBytes.size(); }
  std::vector<std::uint8_t>& Data() { return FBytes; }

 private:
  std::vector<std::uint8_t> FBytes;
};

class TReader {
 public:
  TReader(const std::vector<std::uint8_t>& B, size_t Begin, size_t End) : FB(B), FAt(Begin), FEnd(End) {}
  bool U32(std::uint32_t& V) {
    if (FEnd - FAt < 4) return false;
    V = (std::uint32_t(FB[FAt]) << 24) | (std::uint32_t(FB[FAt + 1]) << 16) | (std::uint32_t(FB[FAt + 2]) << 8) |
        FB[FAt + 3];
    FAt += 4;
    return true;
  }
  bool I32(std::int32_t& V) {
    std::uint32_t u = 0;
    if (!U32(u)) return false;
    V = std::bit_cast<std::int32_t>(u);
    return true;
  }
  bool Skip(size_t N) {
    if (FEnd - FAt < N) return false;
    FAt += N;
    return true;
  }
  bool Name(std::string& Name) {
    if (FEnd - FAt < kNameBytes) return false;
    const char* p = reinterpret_cast<const char*>(&FB[FAt]);
    Name.assign(p, strnlen(p, kNameBytes));
    FAt += kNameBytes;
    return true;
  }
  bool Bytes(size_t N, std::vector<std::uint8_t>& Out) {
    if (FEnd - FAt < N) return false;
    Out.assign(FB.begin() + long(FAt), FB.begin() + long(FAt + N));
    FAt += N;
    return true;
  }
  size_t At() const { return FAt; }
  size_t Left() const { return FEnd - FAt; }

 private:
  const std::vector<std::uint8_t>& FB;
  size_t FAt, FEnd;
};

void WriteProgram(TWriter& W, const TPresetProgram& P, const TPreset& Preset) {
  W.U32(Tag("CcnK"));
  const size_t sizeAt = W.Size();
  W.U32(0);
  W.U32(P.IsChunk ? Tag("FPCh") : Tag("FxCk"));
  W.U32(1);
  W.U32(std::bit_cast<std::uint32_t>(Preset.PluginId));
  W.U32(std::bit_cast<std::uint32_t>(Preset.PluginVersion));
  W.U32(static_cast<std::uint32_t>(P.Params.size()));
  W.Name(P.Name);
  if (P.IsChunk) {
    W.U32(static_cast<std::uint32_t>(P.Chunk.size()));
    W.Bytes(P.Chunk);
  } else {
    for (float v : P.Params) W.F32(v);
  }
  W.PatchSize(sizeAt);
}

// One 'CcnK' record from r; `bank`: an fxb header is expected.
bool ReadRecord(TReader& R, bool& IsBank, std::uint32_t& Magic, std::int32_t& Id, std::int32_t& Version,
                std::int32_t& Count, size_t& End) {
  std::uint32_t ccnk = 0, size = 0, formatVersion = 0;
  if (!R.U32(ccnk) || ccnk != Tag("CcnK") || !R.U32(size) || size > R.Left() || !R.U32(Magic) ||
      !R.U32(formatVersion) || !R.I32(Id) || !R.I32(Version) || !R.I32(Count))
    return false;
  End = R.At() - 20 + size;
  IsBank = Magic == Tag("FxBk") || Magic == Tag("FBCh");
  return Magic == Tag("FxCk") || Magic == Tag("FPCh") || IsBank;
}

bool ReadProgramBody(TReader& R, std::uint32_t Magic, std::int32_t Count, TPresetProgram& P) {
  if (!R.Name(P.Name)) return false;
  P.IsChunk = Magic == Tag("FPCh");
  if (P.IsChunk) {
    std::uint32_t size = 0;
    return R.U32(size) && R.Bytes(size, P.Chunk);
  }
  if (Count < 0 || Count > kMaxCount || R.Left() < size_t(Count) * 4) return false;
  P.Params.resize(size_t(Count));
  for (float& v : P.Params) {
    std::uint32_t bits = 0;
    R.U32(bits);
    v = std::bit_cast<float>(bits);
  }
  return true;
}

}  // namespace

std::vector<std::uint8_t> SerializePreset(const TPreset& Preset) {
  TWriter w;
  if (!Preset.IsBank) {
    if (!Preset.Programs.empty()) WriteProgram(w, Preset.Programs[0], Preset);
    return std::move(w.Data());
  }
  const bool chunk = !Preset.Programs.empty() && Preset.Programs[0].IsChunk;
  w.U32(Tag("CcnK"));
  const size_t sizeAt = w.Size();
  w.U32(0);
  w.U32(chunk ? Tag("FBCh") : Tag("FxBk"));
  w.U32(2);
  w.U32(std::bit_cast<std::uint32_t>(Preset.PluginId));
  w.U32(std::bit_cast<std::uint32_t>(Preset.PluginVersion));
  w.U32(static_cast<std::uint32_t>(chunk ? 1 : Preset.Programs.size()));
  w.U32(std::bit_cast<std::uint32_t>(Preset.CurrentProgram));
  w.Zeros(kFutureBytes);
  if (chunk) {
    w.U32(static_cast<std::uint32_t>(Preset.Programs[0].Chunk.size()));
    w.Bytes(Preset.Programs[0].Chunk);
  } else {
    for (const TPresetProgram& p : Preset.Programs) WriteProgram(w, p, Preset);
  }
  w.PatchSize(sizeAt);
  return std::move(w.Data());
}

bool ParsePreset(const std::vector<std::uint8_t>& Bytes, const std::string& Path, TPreset& Preset, std::string& Error) {
  TReader r(Bytes, 0, Bytes.size());
  std::uint32_t magic = 0;
  std::int32_t count = 0;
  size_t end = 0;
  const std::string bad = "'" + Path + "' is no VST preset (.fxp or .fxb) or is damaged";
  if (!ReadRecord(r, Preset.IsBank, magic, Preset.PluginId, Preset.PluginVersion, count, end)) {
    Error = bad;
    return false;
  }
  Preset.Programs.clear();
  if (!Preset.IsBank) {
    Preset.Programs.emplace_back();
    if (!ReadProgramBody(r, magic, count, Preset.Programs[0])) Error = bad;
    return Error.empty();
  }
  if (!r.I32(Preset.CurrentProgram) || !r.Skip(kFutureBytes) || count < 0 || count > kMaxCount) {
    Error = bad;
    return false;
  }
  if (magic == Tag("FBCh")) {
    TPresetProgram p;
    std::uint32_t size = 0;
    p.IsChunk = true;
    if (!r.U32(size) || !r.Bytes(size, p.Chunk)) {
      Error = bad;
      return false;
    }
    Preset.Programs.push_back(std::move(p));
    return true;
  }
  for (std::int32_t k = 0; k < count; ++k) {
    bool isBank = false;
    std::uint32_t programMagic = 0;
    std::int32_t id = 0, version = 0, params = 0;
    TPresetProgram p;
    if (!ReadRecord(r, isBank, programMagic, id, version, params, end) || isBank ||
        !ReadProgramBody(r, programMagic, params, p)) {
      Error = bad + " (program " + std::to_string(k) + ")";
      return false;
    }
    Preset.Programs.push_back(std::move(p));
  }
  return true;
}

}  // namespace vb
