// Command-line options of vst-render and their parser.
//
// Every option is one row of a table (render_options.cpp): its names, its
// value, its help text and what it sets. Adding an option is adding a row;
// --help is made from the same table.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "channel_map.h"

namespace vb {

// One --param NAME_OR_INDEX=VALUE request, kept as text until the plug-in is
// loaded: only the plug-in knows its names, units and display texts.
struct TParamRequest {
  std::string Name;   // parameter name or decimal index
  std::string Value;  // value in the parameter's own unit, or 0..1 with --normalised
};

struct TRenderOptions {
  std::string PluginPath;                // the first -p
  std::vector<std::string> PluginPaths;  // every -p: a chain, in order
  std::string InputPath;                 // the first input; empty: render the built-in demo
  std::vector<std::string> Inputs;       // every -i and every argument without an option, in order
  std::string OutputPath;                // empty: render, report, write nothing
  std::string FormatName;                // --format: container by extension name; empty = from -o
  std::string DemoOutPath;               // where to save the dry demo, if asked
  std::string MidiPath;                  // --midi: a standard MIDI file sent to the first plug-in
  std::string PresetPath;                // --preset: a .fxp or .fxb loaded before --program and --param
  std::string SavePresetPath;            // --save-preset: the state after the --param settings
  int Program = -1;                      // --program: selected before --param; < 0 = as the plug-in starts
  std::string EditorSnapshotPath;        // --editor-snapshot: a picture of the editor instead of audio
  int BlockSize = 512;                   // sample frames per processing call
  double SampleRate = 0;                 // Hz; 0 = the input's rate, else 44100
  int Precision = 32;                    // 32 or 64 bit floating-point processing
  int Bits = 0;                          // --bits: 8, 16, 24, 32 (64 with --float); 0 = as chosen
  bool Float = false;                    // --float: floating-point samples
  double Quality = -1.0;                 // --quality 0..10 as 0..1; < 0 = kDefaultQuality for lossy formats
  int OutChannels = 0;                   // --out-channels: the first N outputs are written; 0 = all
  std::vector<TParamRequest> Params;
  std::vector<TChannelFeed> Channels;  // --channels; empty = the usual mapping
  double TailSeconds = -1.0;           // silence after the input; < 0 = the plug-in's own tail
  bool AutoTail = false;               // --tail auto: until the output is quiet, TailMaxSeconds at most
  double TailMaxSeconds = 30.0;
  bool CompensateLatency = true;
  bool Normalised = false;  // --param values are normalised 0..1
  bool ListParams = false;
  bool Info = false;
  bool ListPlugins = false;  // scan the plug-in folders
  bool Json = false;         // --info and --list-params as JSON
  bool Quiet = false;
  bool Help = false;
  bool Version = false;
};

struct TOptionsResult {
  TRenderOptions Options;
  std::string Error;  // empty on success; one line, no trailing newline
  bool Ok() const { return Error.empty(); }
};

// Parses the arguments that follow the program name.
TOptionsResult ParseRenderOptions(const std::vector<std::string_view>& Args);

// The text printed by -h/--help.
std::string RenderUsage();

constexpr int kMaxBlockSize = 1 << 20;     // sample frames
constexpr double kMinSampleRate = 1000.0;  // Hz
constexpr double kMaxSampleRate = 1536000.0;
constexpr double kMaxTailSeconds = 3600.0;
constexpr double kQuietHoldSeconds = 0.5;  // an automatic tail ends after this long below -90 dBFS
constexpr int kMaxOutChannels = 256;
constexpr double kDefaultQuality = 0.7;  // VBR quality of lossy outputs, 0..1 (--quality 7)

}  // namespace vb
