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

std::string IdText(std::int32_t id) {
  std::string text = FourCharText(id);
  text.insert(text.begin(), '\'');
  text.push_back('\'');
  return text;
}

bool ReadFile(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error) {
  std::ifstream in(StreamPath(path), std::ios::binary);
  if (!in) {
    error = "cannot open '" + path + "'";
    return false;
  }
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (bytes.size() > kMaxPresetBytes) error = "'" + path + "' is too large for a preset";
  return error.empty();
}

bool LoadProgram(TPluginHost& plugin, const TPresetProgram& p, const std::string& path, std::string& error) {
  plugin.Dispatch(effBeginSetProgram);
  std::vector<char> name(p.Name.begin(), p.Name.end());
  name.push_back('\0');
  plugin.Dispatch(effSetProgramName, 0, 0, name.data());
  if (p.IsChunk) {
    plugin.Dispatch(effSetChunk, kPresetChunk, static_cast<std::intptr_t>(p.Chunk.size()),
                    const_cast<std::uint8_t*>(p.Chunk.data()));
  } else if (static_cast<int>(p.Params.size()) != plugin.NumParams()) {
    error = "'" + path + "' holds " + std::to_string(p.Params.size()) + " parameters and the plug-in has " +
            std::to_string(plugin.NumParams());
  } else {
    for (size_t i = 0; i < p.Params.size(); ++i) plugin.SetParameter(static_cast<int>(i), p.Params[i]);
  }
  plugin.Dispatch(effEndSetProgram);
  return error.empty();
}

TPresetProgram CurrentProgram(TPluginHost& plugin, bool chunks) {
  TPresetProgram p;
  p.Name = plugin.DispatchText(effGetProgramName);
  for (int i = 0; i < plugin.NumParams(); ++i) p.Params.push_back(plugin.GetParameter(i));
  if (chunks) {
    void* data = nullptr;
    const std::intptr_t size = plugin.Dispatch(effGetChunk, kPresetChunk, 0, &data);
    p.IsChunk = true;
    if (data && size > 0) p.Chunk.assign(static_cast<std::uint8_t*>(data), static_cast<std::uint8_t*>(data) + size);
  }
  return p;
}

}  // namespace

bool SelectProgram(TPluginHost& plugin, int index, std::string& error) {
  if (index < 0 || index >= plugin.Effect()->numPrograms) {
    error = "--program " + std::to_string(index) + ": the plug-in has programs 0 to " +
            std::to_string(plugin.Effect()->numPrograms - 1);
    return false;
  }
  plugin.Dispatch(effSetProgram, 0, index);
  return true;
}

bool LoadPresetFile(TPluginHost& plugin, const std::string& path, std::string& error) {
  std::vector<std::uint8_t> bytes;
  TPreset preset;
  if (!ReadFile(path, bytes, error) || !ParsePreset(bytes, path, preset, error)) return false;
  const std::int32_t id = plugin.Effect()->UniqueID;
  if (preset.PluginId != id) {
    error = "'" + path + "' is a preset of the plug-in with ID " + IdText(preset.PluginId) + ", not of this one (" +
            IdText(id) + ")";
    return false;
  }
  const bool chunks = plugin.HasFlag(effFlagsProgramChunks);
  if (!preset.Programs.empty() && preset.Programs[0].IsChunk != chunks) {
    error = "'" + path + "' holds " + (chunks ? "parameter values" : "a chunk") + " and the plug-in keeps its state " +
            (chunks ? "in chunks" : "as parameters");
    return false;
  }
  if (!preset.IsBank) return LoadProgram(plugin, preset.Programs[0], path, error);
  if (chunks) {
    const auto& chunk = preset.Programs[0].Chunk;
    plugin.Dispatch(effSetChunk, kBankChunk, static_cast<std::intptr_t>(chunk.size()),
                    const_cast<std::uint8_t*>(chunk.data()));
    return true;
  }
  if (static_cast<int>(preset.Programs.size()) > plugin.Effect()->numPrograms) {
    error = "'" + path + "' holds " + std::to_string(preset.Programs.size()) + " programs and the plug-in has " +
            std::to_string(plugin.Effect()->numPrograms);
    return false;
  }
  for (size_t k = 0; k < preset.Programs.size(); ++k) {
    plugin.Dispatch(effSetProgram, 0, static_cast<std::intptr_t>(k));
    if (!LoadProgram(plugin, preset.Programs[k], path, error)) return false;
  }
  const int current = std::clamp<int>(preset.CurrentProgram, 0, static_cast<int>(preset.Programs.size()) - 1);
  plugin.Dispatch(effSetProgram, 0, current);
  return true;
}

bool SavePresetFile(TPluginHost& plugin, const std::string& path, std::string& error) {
  TPreset preset;
  preset.IsBank = LowerExtension(path) == "fxb";
  preset.PluginId = plugin.Effect()->UniqueID;
  preset.PluginVersion = static_cast<std::int32_t>(plugin.Dispatch(effGetVendorVersion));
  const bool chunks = plugin.HasFlag(effFlagsProgramChunks);
  const int current = static_cast<int>(plugin.Dispatch(effGetProgram));
  preset.CurrentProgram = current;
  if (!preset.IsBank) {
    preset.Programs.push_back(CurrentProgram(plugin, chunks));
  } else if (chunks) {
    TPresetProgram bank;
    void* data = nullptr;
    const std::intptr_t size = plugin.Dispatch(effGetChunk, kBankChunk, 0, &data);
    bank.IsChunk = true;
    if (data && size > 0) bank.Chunk.assign(static_cast<std::uint8_t*>(data), static_cast<std::uint8_t*>(data) + size);
    preset.Programs.push_back(std::move(bank));
  } else {
    for (int k = 0; k < std::max(1, plugin.Effect()->numPrograms); ++k) {
      plugin.Dispatch(effSetProgram, 0, k);
      preset.Programs.push_back(CurrentProgram(plugin, false));
    }
    plugin.Dispatch(effSetProgram, 0, current);
  }
  const std::vector<std::uint8_t> bytes = SerializePreset(preset);
  return WriteWholeFile(path, bytes.data(), bytes.size(), error);
}

}  // namespace vb
