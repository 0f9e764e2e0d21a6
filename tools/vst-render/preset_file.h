// Preset files in the VST 2.4 layout, big-endian throughout: a program
// (.fxp: 'CcnK', then 'FxCk' with parameter values or 'FPCh' with the
// plug-in's own chunk) and a bank (.fxb: 'FxBk' with one program record per
// program, or 'FBCh' with one chunk).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vb {

struct TPresetProgram {
  std::string Name;                 // up to 27 characters in the file
  std::vector<float> Params;        // normalised values (a parameter preset)
  std::vector<std::uint8_t> Chunk;  // the plug-in's own data (a chunk preset)
  bool IsChunk = false;
};

struct TPreset {
  bool IsBank = false;
  std::int32_t PluginId = 0;        // the plug-in's unique ID
  std::int32_t PluginVersion = 0;   // its vendor version
  std::int32_t CurrentProgram = 0;  // of a bank
  // One program for a .fxp; every program of a parameter bank; for a chunk
  // bank, one entry that holds the bank's chunk.
  std::vector<TPresetProgram> Programs;
};

// False with a one-line message (naming `path`) when the bytes are no
// preset, a size field disagrees with the file, or a count is out of range.
bool ParsePreset(const std::vector<std::uint8_t>& Bytes, const std::string& Path, TPreset& Preset, std::string& Error);

// The file's bytes.
std::vector<std::uint8_t> SerializePreset(const TPreset& Preset);

}  // namespace vb
