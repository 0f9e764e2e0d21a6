#include "plugin_presets.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <vector>

#include "audio_format.h"
#include "output_target.h"
#include "plugin_info.h"
#include "preset_file.h"

#include "platform/system/system_calls.h"

namespace vb {

namespace {

constexpr std::int32_t kPresetChunk = 1;  // effGetChunk/effSetChunk index: the current program
constexpr std::int32_t kBankChunk = 0;    // the whole bank
constexpr size_t kMaxPresetBytes = 256u << 20;

std::string IdText(std::int32_t Id) {
  std::string text = FourCharText(Id);
  text.insert(text.begin(), '\'');
  text.push_back('\'');
  return text;
}

bool ReadFile(const std::string& Path, std::vector<std::uint8_t>& Bytes, std::string& Error) {
  std::ifstream in(StreamPath(Path), std::ios::binary);
  if (!in) {
    Error = "cannot open '" + Path + "'";
    return false;
  }
  Bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (Bytes.size() > kMaxPresetBytes) Error = "'" + Path + "' is too large for a preset";
  return Error.empty();
}

bool LoadProgram(TPluginHost& Plugin, const TPresetProgram& P, const std::string& Path, std::string& Error) {
  Plugin.Dispatch(effBeginSetProgram);
  std::vector<char> name(P.Name.begin(), P.Name.end());
  name.push_back('\0');
  Plugin.Dispatch(effSetProgramName, 0, 0, name.data());
  if (P.IsChunk) {
    Plugin.Dispatch(effSetChunk, kPresetChunk, static_cast<std::intptr_t>(P.Chunk.size()),
                    const_cast<std::uint8_t*>(P.Chunk.data()));
  } else if (static_cast<int>(P.Params.size()) != Plugin.NumParams()) {
    Error = "'" + Path + "' holds " + std::to_string(P.Params.size()) + " parameters and the plug-in has " +
            std::to_string(Plugin.NumParams());
  } else {
    for (size_t i = 0; i < P.Params.size(); ++i) Plugin.SetParameter(static_cast<int>(i), P.Params[i]);
  }
  Plugin.Dispatch(effEndSetProgram);
  return Error.empty();
}

TPresetProgram CurrentProgram(TPluginHost& Plugin, bool Chunks) {
  TPresetProgram p;
  p.Name = Plugin.DispatchText(effGetProgramName);
  for (int i = 0; i < Plugin.NumParams(); ++i) p.Params.push_back(Plugin.GetParameter(i));
  if (Chunks) {
    void* data = nullptr;
    const std::intptr_t size = Plugin.Dispatch(effGetChunk, kPresetChunk, 0, &data);
    p.IsChunk = true;
    if (data && size > 0) p.Chunk.assign(static_cast<std::uint8_t*>(data), static_cast<std::uint8_t*>(data) + size);
  }
  return p;
}

}  // namespace

bool SelectProgram(TPluginHost& Plugin, int Index, std::string& Error) {
  if (Index < 0 || Index >= Plugin.Effect()->numPrograms) {
    Error = "--program " + std::to_string(Index) + ": the plug-in has programs 0 to " +
            std::to_string(Plugin.Effect()->numPrograms - 1);
    return false;
  }
  Plugin.Dispatch(effSetProgram, 0, Index);
  return true;
}

bool LoadPresetFile(TPluginHost& Plugin, const std::string& Path, std::string& Error) {
  std::vector<std::uint8_t> bytes;
  TPreset preset;
  if (!ReadFile(Path, bytes, Error) || !ParsePreset(bytes, Path, preset, Error)) return false;
  const std::int32_t id = Plugin.Effect()->UniqueID;
  if (preset.PluginId != id) {
    Error = "'" + Path + "' is a preset of the plug-in with ID " + IdText(preset.PluginId) + ", not of this one (" +
            IdText(id) + ")";
    return false;
  }
  const bool chunks = Plugin.HasFlag(effFlagsProgramChunks);
  if (!preset.Programs.empty() && preset.Programs[0].IsChunk != chunks) {
    Error = "'" + Path + "' holds " + (chunks ? "parameter values" : "a chunk") + " and the plug-in keeps its state " +
            (chunks ? "in chunks" : "as parameters");
    return false;
  }
  if (!preset.IsBank) return LoadProgram(Plugin, preset.Programs[0], Path, Error);
  if (chunks) {
    const auto& chunk = preset.Programs[0].Chunk;
    Plugin.Dispatch(effSetChunk, kBankChunk, static_cast<std::intptr_t>(chunk.size()),
                    const_cast<std::uint8_t*>(chunk.data()));
    return true;
  }
  if (static_cast<int>(preset.Programs.size()) > Plugin.Effect()->numPrograms) {
    Error = "'" + Path + "' holds " + std::to_string(preset.Programs.size()) + " programs and the plug-in has " +
            std::to_string(Plugin.Effect()->numPrograms);
    return false;
  }
  for (size_t k = 0; k < preset.Programs.size(); ++k) {
    Plugin.Dispatch(effSetProgram, 0, static_cast<std::intptr_t>(k));
    if (!LoadProgram(Plugin, preset.Programs[k], Path, Error)) return false;
  }
  const int current = std::clamp<int>(preset.CurrentProgram, 0, static_cast<int>(preset.Programs.size()) - 1);
  Plugin.Dispatch(effSetProgram, 0, current);
  return true;
}

bool SavePresetFile(TPluginHost& Plugin, const std::string& Path, std::string& Error) {
  TPreset preset;
  preset.IsBank = LowerExtension(Path) == "fxb";
  preset.PluginId = Plugin.Effect()->UniqueID;
  preset.PluginVersion = static_cast<std::int32_t>(Plugin.Dispatch(effGetVendorVersion));
  const bool chunks = Plugin.HasFlag(effFlagsProgramChunks);
  const int current = static_cast<int>(Plugin.Dispatch(effGetProgram));
  preset.CurrentProgram = current;
  if (!preset.IsBank) {
    preset.Programs.push_back(CurrentProgram(Plugin, chunks));
  } else if (chunks) {
    TPresetProgram bank;
    void* data = nullptr;
    const std::intptr_t size = Plugin.Dispatch(effGetChunk, kBankChunk, 0, &data);
    bank.IsChunk = true;
    if (data && size > 0) bank.Chunk.assign(static_cast<std::uint8_t*>(data), static_cast<std::uint8_t*>(data) + size);
    preset.Programs.push_back(std::move(bank));
  } else {
    for (int k = 0; k < std::max(1, Plugin.Effect()->numPrograms); ++k) {
      Plugin.Dispatch(effSetProgram, 0, k);
      preset.Programs.push_back(CurrentProgram(Plugin, false));
    }
    Plugin.Dispatch(effSetProgram, 0, current);
  }
  const std::vector<std::uint8_t> bytes = SerializePreset(preset);
  return WriteWholeFile(Path, bytes.data(), bytes.size(), Error);
}

}  // namespace vb
