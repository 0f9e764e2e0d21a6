#include "preset_file.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace vb {

namespace {

constexpr size_t kNameBytes = 28;     // program name field, NUL included
constexpr size_t kFutureBytes = 124;  // reserved bytes of a bank header (version 2: 4 of 128 are the current program)
constexpr std::int32_t kMaxCount = 1 << 20;  // programs or parameters a file may claim

constexpr std::uint32_t Tag(const char (&t)[5]) {
  return (std::uint32_t(std::uint8_t(t[0])) << 24) | (std::uint32_t(std::uint8_t(t[1])) << 16) |
         (std::uint32_t(std::uint8_t(t[2])) << 8) | std::uint8_t(t[3]);
}

class TWriter {
 public:
  void U32(std::uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) FBytes.push_back(std::uint8_t(v >> s));
  }
  void F32(float v) { U32(std::bit_cast<std::uint32_t>(v)); }
  void Name(const std::string& name) {
    std::string field = name.substr(0, kNameBytes - 1);
    field.resize(kNameBytes, '\0');
    FBytes.insert(FBytes.end(), field.begin(), field.end());
  }
  void Bytes(const std::vector<std::uint8_t>& b) { FBytes.insert(FBytes.end(), b.begin(), b.end()); }
  void Zeros(size_t n) { FBytes.insert(FBytes.end(), n, 0); }
  // Fills in the byteSize field at `at` once the record is complete.
  void PatchSize(size_t at) {
    const std::uint32_t size = static_cast<std::uint32_t>(FBytes.size() - at - 4);
    for (int k = 0; k < 4; ++k) FBytes[at + k] = std::uint8_t(size >> (24 - 8 * k));
  }
  size_t Size() const { return FBytes.size(); }
  std::vector<std::uint8_t>& Data() { return FBytes; }

 private:
  std::vector<std::uint8_t> FBytes;
};

class TReader {
 public:
  TReader(const std::vector<std::uint8_t>& b, size_t begin, size_t end) : FB(b), FAt(begin), FEnd(end) {}
  bool U32(std::uint32_t& v) {
    if (FEnd - FAt < 4) return false;
    v = (std::uint32_t(FB[FAt]) << 24) | (std::uint32_t(FB[FAt + 1]) << 16) | (std::uint32_t(FB[FAt + 2]) << 8) |
        FB[FAt + 3];
    FAt += 4;
    return true;
  }
  bool I32(std::int32_t& v) {
    std::uint32_t u = 0;
    if (!U32(u)) return false;
    v = std::bit_cast<std::int32_t>(u);
    return true;
  }
  bool Skip(size_t n) {
    if (FEnd - FAt < n) return false;
    FAt += n;
    return true;
  }
  bool Name(std::string& name) {
    if (FEnd - FAt < kNameBytes) return false;
    const char* p = reinterpret_cast<const char*>(&FB[FAt]);
    name.assign(p, strnlen(p, kNameBytes));
    FAt += kNameBytes;
    return true;
  }
  bool Bytes(size_t n, std::vector<std::uint8_t>& out) {
    if (FEnd - FAt < n) return false;
    out.assign(FB.begin() + long(FAt), FB.begin() + long(FAt + n));
    FAt += n;
    return true;
  }
  size_t At() const { return FAt; }
  size_t Left() const { return FEnd - FAt; }

 private:
  const std::vector<std::uint8_t>& FB;
  size_t FAt, FEnd;
};

void WriteProgram(TWriter& w, const TPresetProgram& p, const TPreset& preset) {
  w.U32(Tag("CcnK"));
  const size_t sizeAt = w.Size();
  w.U32(0);
  w.U32(p.IsChunk ? Tag("FPCh") : Tag("FxCk"));
  w.U32(1);
  w.U32(std::bit_cast<std::uint32_t>(preset.PluginId));
  w.U32(std::bit_cast<std::uint32_t>(preset.PluginVersion));
  w.U32(static_cast<std::uint32_t>(p.Params.size()));
  w.Name(p.Name);
  if (p.IsChunk) {
    w.U32(static_cast<std::uint32_t>(p.Chunk.size()));
    w.Bytes(p.Chunk);
  } else {
    for (float v : p.Params) w.F32(v);
  }
  w.PatchSize(sizeAt);
}

// One 'CcnK' record from r; `bank`: an fxb header is expected.
bool ReadRecord(TReader& r, bool& isBank, std::uint32_t& magic, std::int32_t& id, std::int32_t& version,
                std::int32_t& count, size_t& end) {
  std::uint32_t ccnk = 0, size = 0, formatVersion = 0;
  if (!r.U32(ccnk) || ccnk != Tag("CcnK") || !r.U32(size) || size > r.Left() || !r.U32(magic) ||
      !r.U32(formatVersion) || !r.I32(id) || !r.I32(version) || !r.I32(count))
    return false;
  end = r.At() - 20 + size;
  isBank = magic == Tag("FxBk") || magic == Tag("FBCh");
  return magic == Tag("FxCk") || magic == Tag("FPCh") || isBank;
}

bool ReadProgramBody(TReader& r, std::uint32_t magic, std::int32_t count, TPresetProgram& p) {
  if (!r.Name(p.Name)) return false;
  p.IsChunk = magic == Tag("FPCh");
  if (p.IsChunk) {
    std::uint32_t size = 0;
    return r.U32(size) && r.Bytes(size, p.Chunk);
  }
  if (count < 0 || count > kMaxCount || r.Left() < size_t(count) * 4) return false;
  p.Params.resize(size_t(count));
  for (float& v : p.Params) {
    std::uint32_t bits = 0;
    r.U32(bits);
    v = std::bit_cast<float>(bits);
  }
  return true;
}

}  // namespace

std::vector<std::uint8_t> SerializePreset(const TPreset& preset) {
  TWriter w;
  if (!preset.IsBank) {
    if (!preset.Programs.empty()) WriteProgram(w, preset.Programs[0], preset);
    return std::move(w.Data());
  }
  const bool chunk = !preset.Programs.empty() && preset.Programs[0].IsChunk;
  w.U32(Tag("CcnK"));
  const size_t sizeAt = w.Size();
  w.U32(0);
  w.U32(chunk ? Tag("FBCh") : Tag("FxBk"));
  w.U32(2);
  w.U32(std::bit_cast<std::uint32_t>(preset.PluginId));
  w.U32(std::bit_cast<std::uint32_t>(preset.PluginVersion));
  w.U32(static_cast<std::uint32_t>(chunk ? 1 : preset.Programs.size()));
  w.U32(std::bit_cast<std::uint32_t>(preset.CurrentProgram));
  w.Zeros(kFutureBytes);
  if (chunk) {
    w.U32(static_cast<std::uint32_t>(preset.Programs[0].Chunk.size()));
    w.Bytes(preset.Programs[0].Chunk);
  } else {
    for (const TPresetProgram& p : preset.Programs) WriteProgram(w, p, preset);
  }
  w.PatchSize(sizeAt);
  return std::move(w.Data());
}

bool ParsePreset(const std::vector<std::uint8_t>& bytes, const std::string& path, TPreset& preset, std::string& error) {
  TReader r(bytes, 0, bytes.size());
  std::uint32_t magic = 0;
  std::int32_t count = 0;
  size_t end = 0;
  const std::string bad = "'" + path + "' is no VST preset (.fxp or .fxb) or is damaged";
  if (!ReadRecord(r, preset.IsBank, magic, preset.PluginId, preset.PluginVersion, count, end)) {
    error = bad;
    return false;
  }
  preset.Programs.clear();
  if (!preset.IsBank) {
    preset.Programs.emplace_back();
    if (!ReadProgramBody(r, magic, count, preset.Programs[0])) error = bad;
    return error.empty();
  }
  if (!r.I32(preset.CurrentProgram) || !r.Skip(kFutureBytes) || count < 0 || count > kMaxCount) {
    error = bad;
    return false;
  }
  if (magic == Tag("FBCh")) {
    TPresetProgram p;
    std::uint32_t size = 0;
    p.IsChunk = true;
    if (!r.U32(size) || !r.Bytes(size, p.Chunk)) {
      error = bad;
      return false;
    }
    preset.Programs.push_back(std::move(p));
    return true;
  }
  for (std::int32_t k = 0; k < count; ++k) {
    bool isBank = false;
    std::uint32_t programMagic = 0;
    std::int32_t id = 0, version = 0, params = 0;
    TPresetProgram p;
    if (!ReadRecord(r, isBank, programMagic, id, version, params, end) || isBank ||
        !ReadProgramBody(r, programMagic, params, p)) {
      error = bad + " (program " + std::to_string(k) + ")";
      return false;
    }
    preset.Programs.push_back(std::move(p));
  }
  return true;
}

}  // namespace vb
