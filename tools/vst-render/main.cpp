// vst-render: renders audio through any VST 2.4 plug-in from the command line.
//
// main() picks one mode from the command line (help, version, plug-in
// description, parameter list, editor snapshot, render) and runs one
// function for it; the steps the modes share are the functions above them.
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "audio_file.h"
#include "batch_plan.h"
#include "channel_map.h"
#include "command_line.h"
#include "demo_signal.h"
#include "editor_snapshot.h"
#include "json_writer.h"
#include "midi_file.h"
#include "param_resolver.h"
#include "platform/system/system_calls.h"
#include "plugin_chain.h"
#include "plugin_host.h"
#include "plugin_info.h"
#include "plugin_params.h"
#include "plugin_presets.h"
#include "plugin_scan.h"
#include "plugin_search.h"
#include "render_options.h"
#include "render_session.h"
#include "resampled_source.h"
#include "signal_source.h"

namespace {

using namespace vb;

constexpr double kDefaultSampleRate = 44100.0;     // Hz, when there is no input file
constexpr double kMaxReportedTailSeconds = 600.0;  // a longer reported tail is taken as "endless"
// The editor's picture: it settles, the first seconds of the input play
// through the plug-in (meters show them), and it catches up with that.
constexpr int kSnapshotSettleMs = 200;
constexpr double kSnapshotPlaySeconds = 2.0;
constexpr int kSnapshotShowMs = 300;
constexpr int kScanTimeoutSeconds = 10;  // for one plug-in to load in --list-plugins

TToolMessages GSay("vst-render");

std::string Seconds(double Seconds) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.2f s", Seconds);
  return buf;
}

std::string SummaryLine(const std::string& Output, const TRenderResult& R, double SampleRate,
                        const TAudioFormat& Format) {
  char buf[512];
  std::snprintf(buf, sizeof buf,
                "%s: in peak %s dBFS, RMS %s dBFS; out peak %s dBFS, RMS %s dBFS; %.2f s, %.1fx realtime",
                Output.empty() ? "(not written)" : Output.c_str(), TSignalStats::FormatDb(R.In.Peak()).c_str(),
                TSignalStats::FormatDb(R.In.Rms()).c_str(), TSignalStats::FormatDb(R.Out.Peak()).c_str(),
                TSignalStats::FormatDb(R.Out.Rms()).c_str(), static_cast<double>(R.Frames) / SampleRate,
                R.RealtimeFactor(SampleRate));
  std::string line = buf;
  if (!Output.empty() && !Format.IsFloat() && R.Out.Peak() > 1.0) line += " (clipped: " + Format.Describe() + ")";
  return line;
}

bool WritesToStdout(const std::string& Output) {
  if (Output == kStandardStream) return true;
  return !Output.empty() && SameFile(Output, kStandardOutputFd);
}

// The plug-in's file; a bare name not found anywhere is an error that
// lists where it was looked for.
bool ResolvePlugin(const std::string& Given, std::string& Path, std::string& Error) {
  const std::vector<std::string> folders = HostPluginFolders();
  Path = FindPlugin(Given, folders);
  if (!Path.empty()) return true;
  Error = "plug-in not found: '" + Given + "' (or " + Given + kPluginExtension + ") is in none of ";
  for (size_t k = 0; k < folders.size(); ++k) Error += (k ? ", " : "") + folders[k];
  Error += " or their subfolders";
  return false;
}

// Sets the requested parameters, switches first; says so when that is not
// the order they were given in.
bool ApplyParams(TPluginHost& Plugin, const std::vector<TParamRequest>& Requests, bool Normalised, std::string& Error) {
  TPluginParams params(Plugin);
  TParamResolver resolver(params);
  std::vector<size_t> order;
  if (!resolver.ApplyOrder(Requests, order, Error)) return false;
  std::string told;
  bool reordered = false;
  for (size_t k = 0; k < order.size(); ++k) {
    TParamSetting setting;
    if (!resolver.Apply(Requests[order[k]], Normalised, setting, Error)) return false;
    reordered = reordered || order[k] != k;
    told += (k ? ", " : "") + Requests[order[k]].Name + "=" + Requests[order[k]].Value;
  }
  if (reordered) GSay.Note("switches are set before continuous parameters: " + told);
  return true;
}

// The tail: the user's, else the one the plug-in reports (effGetTailSize:
// 0 means not told, 1 means none).
std::int64_t TailFrames(const TPluginChain& Chain, const TRenderOptions& O, double Rate) {
  if (O.AutoTail) return std::llround(O.TailMaxSeconds * Rate);
  if (O.TailSeconds >= 0) return std::llround(O.TailSeconds * Rate);
  const std::int64_t reported = Chain.ReportedTail();
  if (reported <= 1) return 0;
  if (static_cast<double>(reported) > kMaxReportedTailSeconds * Rate) {
    GSay.Note("the plug-in reports an endless tail; give --tail SECONDS to render one");
    return 0;
  }
  GSay.Note("adding the plug-in's tail of " + Seconds(static_cast<double>(reported) / Rate) +
            " (--tail 0 leaves it out)");
  return reported;
}

void ReportLatency(const TRenderResult& R, const TRenderOptions& O, double Rate) {
  if (R.LateLatency >= 0) {
    GSay.Warning("the plug-in changed its delay to " + std::to_string(R.LateLatency) +
                 " samples after output had been written; " + std::to_string(R.LatencyDropped) +
                 " were compensated, so the output from there on is " +
                 std::to_string(R.LateLatency - R.LatencyDropped) + " samples late");
    return;
  }
  if (R.ReportedLatency == 0 || !O.CompensateLatency) return;
  if (R.LatencyDropped == R.ReportedLatency)
    GSay.Note("compensated the plug-in's delay of " + std::to_string(R.ReportedLatency) + " samples");
  else
    GSay.Warning("the plug-in reports a delay of " + std::to_string(R.ReportedLatency) + " samples (" +
                 Seconds(R.ReportedLatency / Rate) + "); left as it is");
}

// What is played: the input file, or the built-in demo.
struct TInput {
  TAudioFileReader Reader;
  std::unique_ptr<TSignalSource> File;    // the file, when Source converts its rate
  std::unique_ptr<TSignalSource> Source;  // what is played
  std::string Name = "the built-in demo";
  double Rate = kDefaultSampleRate;
  bool FromFile = false;
  TMidiSong Song;  // --midi
};

bool ReadMidi(const std::string& Path, TMidiSong& Song, std::string& Error) {
  std::ifstream file(StreamPath(Path), std::ios::binary);
  if (!file) {
    Error = "cannot open '" + Path + "'";
    return false;
  }
  const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  return ParseMidiFile(bytes, Path, Song, Error);
}

// The MIDI events at the render's frames; a warning for an instrument that
// gets audio and no notes, and for notes sent to a plug-in that takes none.
int PlanMidi(const TRenderOptions& O, TInput& In, const TPluginChain& Chain, TRenderSettings& Settings) {
  std::string error;
  if (O.MidiPath.empty()) {
    if (Chain.IsInstrument() && In.FromFile)
      GSay.Warning("the plug-in is an instrument: it gets the audio of " + In.Name +
                   " and no notes; give --midi FILE.mid");
    return kExitOk;
  }
  if (In.FromFile && !ReadMidi(O.MidiPath, In.Song, error)) return GSay.Error(error);
  std::vector<char> receives(std::begin("receiveVstMidiEvent"), std::end("receiveVstMidiEvent"));
  if (!Chain.IsInstrument() && Chain.First().Dispatch(effCanDo, 0, 0, receives.data()) != 1)
    GSay.Warning("the plug-in does not say it takes MIDI; the notes of '" + O.MidiPath + "' are sent anyway");
  for (const TMidiEvent& e : In.Song.Events) {
    TTimedMidi t;
    t.Frame = std::llround(e.Seconds * In.Rate);
    std::copy(std::begin(e.Bytes), std::end(e.Bytes), t.Bytes);
    Settings.Midi.push_back(t);
  }
  return kExitOk;
}

// Opens the input first: a bad file fails before the plug-in is loaded.
// Answers the exit status, kExitOk to go on.
int OpenInput(const TRenderOptions& O, TInput& In) {
  std::string error;
  if (O.InputPath.empty() && !O.MidiPath.empty()) {
    // Silence as long as the MIDI file; its events are added once the
    // plug-in is loaded.
    if (O.SampleRate > 0) In.Rate = O.SampleRate;
    if (!ReadMidi(O.MidiPath, In.Song, error)) return GSay.Error(error);
    In.Source = std::make_unique<TSilenceSource>(std::llround(In.Song.LengthSeconds * In.Rate), 1, In.Rate);
    In.Name = "'" + O.MidiPath + "'";
    return kExitOk;
  }
  if (O.InputPath.empty()) {
    if (O.SampleRate > 0) In.Rate = O.SampleRate;
    TDemoSignal demo(In.Rate);
    In.Source = std::make_unique<TMemorySource>(demo.Render(), TDemoSignal::kChannels, In.Rate);
    return kExitOk;
  }
  if (!In.Reader.Open(O.InputPath, error)) return GSay.Error(error);
  In.Rate = In.Reader.SampleRate();
  if (In.Rate < kMinSampleRate || In.Rate > kMaxSampleRate)
    return GSay.Error("'" + O.InputPath + "' is " + std::to_string(static_cast<long long>(In.Rate)) +
                      " Hz; vst-render renders at " + std::to_string(static_cast<long>(kMinSampleRate)) + " to " +
                      std::to_string(static_cast<long>(kMaxSampleRate)) + " Hz");
  In.Source = std::make_unique<TFileSource>(In.Reader);
  In.Name = "'" + O.InputPath + "'";
  In.FromFile = true;
  if (O.SampleRate > 0 && O.SampleRate != In.Rate) {
    // The file's frames are converted on their way to the plug-in.
    In.File = std::move(In.Source);
    auto converted = std::make_unique<TResampledSource>(*In.File, O.SampleRate);
    if (!converted->Ok(error)) return GSay.Error("'" + O.InputPath + "': " + error, kExitUsage);
    GSay.Note("converting " + In.Name + " from " + std::to_string(static_cast<long>(In.Rate)) + " to " +
              std::to_string(static_cast<long>(O.SampleRate)) + " Hz (" + ResamplerName() + ")");
    In.Source = std::move(converted);
    In.Rate = O.SampleRate;
  }
  return kExitOk;
}

// The --param requests for stage `k` of the chain: those prefixed with its
// file name (without .so) or its number from 1, and unprefixed ones for the
// first stage.
std::vector<TParamRequest> StageParams(const TRenderOptions& O, size_t K) {
  std::vector<TParamRequest> mine;
  for (TParamRequest r : O.Params) {
    size_t owner = 0;
    if (const auto colon = r.Name.find(':'); colon != std::string::npos && O.PluginPaths.size() > 1) {
      const std::string prefix = r.Name.substr(0, colon);
      for (size_t s = 0; s < O.PluginPaths.size(); ++s) {
        std::string stem = O.PluginPaths[s].substr(O.PluginPaths[s].find_last_of(kPathSeparators) + 1);
        const size_t ext = std::char_traits<char>::length(kPluginExtension);
        if (stem.size() > ext && stem.compare(stem.size() - ext, ext, kPluginExtension) == 0)
          stem.resize(stem.size() - ext);
        if (prefix == stem || prefix == std::to_string(s + 1)) {
          owner = s;
          r.Name.erase(0, colon + 1);
          break;
        }
      }
    }
    if (owner == K) mine.push_back(r);
  }
  return mine;
}

// Loads and opens one plug-in at `rate`; `describing`: only its description
// is wanted, so a rate or precision it refuses does not matter.
int LoadStage(const TRenderOptions& O, size_t K, double Rate, bool Describing, TPluginHost& Plugin, std::string& Path) {
  std::string error;
  if (!ResolvePlugin(O.PluginPaths[K], Path, error) || !Plugin.Load(Path, error)) return GSay.Error(error);
  const bool wantDouble = O.Precision == 64;
  if (!Describing && wantDouble && !Plugin.HasFlag(effFlagsCanDoubleReplacing))
    return GSay.Error("'" + Path + "' cannot process 64-bit samples (no double-replacing support); use --precision 32");
  const std::string refusal = Plugin.Open(Rate, O.BlockSize, wantDouble);
  if (!Describing && !refusal.empty())
    return GSay.Error("the plug-in refuses to run at " + std::to_string(static_cast<long>(Rate)) + " Hz: " + refusal);
  if (std::string why = CheckChannelCounts(*Plugin.Effect()); !Describing && !why.empty()) return GSay.Error(why);
  // Presets are the first plug-in's.
  if (K == 0 && !O.PresetPath.empty() && !LoadPresetFile(Plugin, O.PresetPath, error)) return GSay.Error(error);
  if (K == 0 && O.Program >= 0 && !SelectProgram(Plugin, O.Program, error)) return GSay.Error(error, kExitUsage);
  // A --param the plug-in cannot take is a bad command line.
  if (!ApplyParams(Plugin, StageParams(O, K), O.Normalised, error)) return GSay.Error(error, kExitUsage);
  if (K == 0 && !O.SavePresetPath.empty()) {
    if (!SavePresetFile(Plugin, O.SavePresetPath, error)) return GSay.Error(error);
    GSay.Note("saved the plug-in's state as '" + O.SavePresetPath + "'");
  }
  return kExitOk;
}

// Every -p in order; `path`: the first one's file.
int LoadChain(const TRenderOptions& O, double Rate, bool Describing, TPluginChain& Chain, std::string& Path) {
  for (size_t k = 0; k < O.PluginPaths.size(); ++k) {
    std::string stagePath;
    if (int status = LoadStage(O, k, Rate, Describing, Chain.Add(), stagePath)) return status;
    if (k == 0) Path = stagePath;
  }
  return kExitOk;
}

// How the input feeds the plug-in, and which outputs are written.
int PlanSettings(const TRenderOptions& O, const TInput& In, const TPluginChain& Chain, TRenderSettings& Settings) {
  std::string error;
  if (!PlanChannels(In.Source->Channels(), Chain.NumInputs(), O.Channels, In.Name, !In.FromFile, Settings.Channels,
                    error))
    return GSay.Error(error);
  if (O.OutChannels > Chain.NumOutputs())
    return GSay.Error("--out-channels " + std::to_string(O.OutChannels) + " asks for more outputs than the plug-in's " +
                          std::to_string(Chain.NumOutputs()),
                      kExitUsage);
  Settings.OutChannels = O.OutChannels;
  Settings.CompensateLatency = O.CompensateLatency;
  return kExitOk;
}

int RunDescription(const TRenderOptions& O) {
  GSay.SetQuiet(true);
  TPluginChain chain;
  std::string path;
  if (int status = LoadChain(O, O.SampleRate > 0 ? O.SampleRate : kDefaultSampleRate, true, chain, path)) return status;
  TPluginHost& plugin = chain.First();  // the first plug-in is described
  const std::string text = O.Json ? (O.Info ? DescribePluginJson(plugin, path) : DescribeParametersJson(plugin))
                                  : (O.Info ? DescribePlugin(plugin, path) : DescribeParameters(plugin));
  std::fputs(text.c_str(), stdout);
  return kExitOk;
}

int RunSnapshot(const TRenderOptions& O) {
  TInput in;
  TPluginChain chain;
  std::string path, error;
  TRenderSettings settings;
  if (int status = OpenInput(O, in)) return status;
  if (int status = LoadChain(O, in.Rate, false, chain, path)) return status;
  if (int status = PlanSettings(O, in, chain, settings)) return status;
  GSay.Note(settings.Channels.Note);
  TEditorSnapshot snapshot(chain.First());
  if (!snapshot.Open(error)) return GSay.Error(error);
  snapshot.IdleFor(kSnapshotSettleMs);
  TLimitedSource played(*in.Source, std::llround(kSnapshotPlaySeconds * in.Rate));
  TRenderSession session(chain, O.BlockSize, O.Precision == 64);
  TRenderResult result;
  if (!session.Run(played, settings, nullptr, false, result, error)) return GSay.Error(error);
  snapshot.IdleFor(kSnapshotShowMs);
  if (!snapshot.Save(O.EditorSnapshotPath, error)) return GSay.Error(error);
  GSay.Note("saved the editor (" + std::to_string(snapshot.Width()) + " x " + std::to_string(snapshot.Height()) +
            " pixels) as '" + O.EditorSnapshotPath + "'");
  return kExitOk;
}

int SaveDemo(const TRenderOptions& O, double Rate) {
  TAudioFormat format;
  TDemoSignal demo(Rate);
  std::vector<double> dry = demo.Render();
  std::string error;
  if (!ChooseOutputFormat(O.DemoOutPath, TAudioFormat{}, format, error) ||
      !WriteAudioFile(O.DemoOutPath, format, dry.data(), demo.Frames(), TDemoSignal::kChannels, Rate, error))
    return GSay.Error(error);
  return kExitOk;
}

// After the render: an input that held nothing fails the render, a cut
// one is warned about. Answers the exit status.
int ReportInput(const TRenderOptions& O, TInput& In, const TRenderResult& Result) {
  const std::string cut = In.FromFile ? In.Reader.CutShortWarning() : std::string();
  if (In.FromFile && Result.SourceFrames == 0) {
    // An empty or unreadable file is no render; a tail alone is said to be one.
    const std::string why = "'" + O.InputPath + "' holds no audio" + (cut.empty() ? "" : " (" + cut + ")");
    if (Result.Frames == 0) return GSay.Error(why + "; nothing to render");
    GSay.Warning(why + "; rendered only the " + Seconds(static_cast<double>(Result.Frames) / In.Rate) + " of tail");
  } else if (!cut.empty()) {
    GSay.Warning(cut);
  }
  return kExitOk;
}

// Renders one input through the loaded plug-in into o.OutputPath (empty:
// measured only), with the notes, warnings and summary line of a render.
int RenderLoaded(const TRenderOptions& O, TInput& In, TAudioFormat Format, TPluginChain& Chain) {
  std::string error;
  TRenderSettings settings;
  if (int status = PlanSettings(O, In, Chain, settings)) return status;
  if (int status = PlanMidi(O, In, Chain, settings)) return status;
  GSay.Note(settings.Channels.Note);
  settings.TailFrames = TailFrames(Chain, O, In.Rate);
  settings.AutoTail = O.AutoTail;
  settings.QuietFrames = std::llround(kQuietHoldSeconds * In.Rate);
  if (!O.DemoOutPath.empty() && !In.FromFile)
    if (int status = SaveDemo(O, In.Rate)) return status;

  const bool writing = !O.OutputPath.empty();
  const int channels = settings.OutChannels > 0 ? settings.OutChannels : Chain.NumOutputs();
  TAudioFileWriter writer;
  if (writing) {
    const std::int64_t known = In.Source->Frames();
    std::string sizeNote;
    if (!PlanOutputSize(Format, channels, known > 0 ? known + settings.TailFrames : 0, In.Rate, sizeNote, error))
      return GSay.Error(error);
    GSay.Note(sizeNote);
    if (!writer.Open(O.OutputPath, Format, channels, In.Rate, error)) return GSay.Error(error);
    if (!writer.InPlaceReason().empty())
      GSay.Note("'" + O.OutputPath + "' is written in place once the render is complete (" + writer.InPlaceReason() +
                ")");
  }

  TRenderSession session(Chain, O.BlockSize, O.Precision == 64);
  const std::int64_t automatedBefore = Chain.AutomateCount();  // the --param search may have caused some
  TRenderResult result;
  if (!session.Run(*In.Source, settings, writing ? &writer : nullptr, !O.Quiet, result, error))
    return GSay.Error(error);
  if (int status = ReportInput(O, In, result)) return status;
  if (writing && !writer.Commit(error)) return GSay.Error(error);
  if (writing && !Format.IsFloat() && result.Out.Peak() > 1.0)
    GSay.Warning("the output clipped: its peak of " + TSignalStats::FormatDb(result.Out.Peak()) +
                 " dBFS does not fit in " + Format.Describe() + "; lower the level or write a floating-point format");
  ReportLatency(result, O, In.Rate);
  if (result.TailCut)
    GSay.Warning("the output was still sounding after the longest tail of " + Seconds(O.TailMaxSeconds) +
                 "; give a longer --tail-max");
  if (Chain.IsInstrument() && result.Out.Peak() == 0.0 && O.MidiPath.empty())
    GSay.Warning("the plug-in is an instrument and vst-render sends it no notes (MIDI events): it rendered silence");
  if (!O.Quiet) {
    std::string line = SummaryLine(O.OutputPath, result, In.Rate, Format);
    if (std::int64_t n = Chain.AutomateCount() - automatedBefore; n > 0)
      line += "; " + std::to_string(n) + " automation calls";
    // Audio on standard output keeps it to itself.
    std::fprintf(WritesToStdout(O.OutputPath) ? stderr : stdout, "%s\n", line.c_str());
  }
  return kExitOk;
}

// The output's format, from its name and the input's encoding.
int ChooseFormat(const TRenderOptions& O, const TInput& In, TAudioFormat& Format) {
  std::string error;
  if (O.OutputPath.empty()) return kExitOk;
  if (!ChooseOutputFormat(O.OutputPath, O.FormatName, In.FromFile ? In.Reader.Format() : TAudioFormat{}, Format, error))
    return GSay.Error(error);
  // --bits and --float against the container are a bad command line.
  if (!RequestEncoding(Format, O.Bits, O.Float, error))
    return GSay.Error("'" + O.OutputPath + "': " + error, kExitUsage);
  // Opus keeps its encoder's default: its scale runs to 512 kbps.
  const bool opus = Format.Describe() == "Ogg Opus";
  Format.Quality = O.Quality >= 0 ? O.Quality : opus ? -1.0 : kDefaultQuality;
  return kExitOk;
}

int RunRender(const TRenderOptions& O) {
  TInput in;
  TAudioFormat format;
  TPluginChain chain;
  std::string path;
  if (int status = OpenInput(O, in)) return status;
  if (int status = ChooseFormat(O, in, format)) return status;
  if (int status = LoadChain(O, in.Rate, false, chain, path)) return status;
  return RenderLoaded(O, in, format, chain);
}

// One file of a batch. The plug-in is loaded with the first file that
// opens and told each new rate between files (it is suspended then);
// `fatal` is set when the plug-in itself failed, which ends the batch.
int RenderBatchItem(const TRenderOptions& O, TPluginChain& Chain, bool& Loaded, bool& Fatal) {
  TInput in;
  TAudioFormat format;
  if (int status = OpenInput(O, in)) return status;
  if (int status = ChooseFormat(O, in, format)) return status;
  if (!Loaded) {
    std::string path;
    const int status = LoadChain(O, in.Rate, false, Chain, path);
    Fatal = status != kExitOk;
    Loaded = !Fatal;
    if (Fatal) return status;
  } else if (in.Rate != Chain.First().SampleRate()) {
    if (std::string refusal = Chain.SetSampleRate(in.Rate); !refusal.empty())
      return GSay.Error("the plug-in refuses to run at " + std::to_string(static_cast<long>(in.Rate)) +
                        " Hz: " + refusal);
  }
  return RenderLoaded(O, in, format, Chain);
}

// The folder part of a path ("" when there is none).
std::string OutputFolder(const std::string& Path) {
  const auto slash = Path.find_last_of(kPathSeparators);
  return slash == std::string::npos ? std::string() : Path.substr(0, slash);
}

// Makes `folder` and the folders above it that are missing; false with errno.
bool MakeFolders(const std::string& Folder) {
  if (Folder.empty()) return true;
  for (size_t at = Folder.find_first_of(kPathSeparators, 1);; at = Folder.find_first_of(kPathSeparators, at + 1)) {
    const std::string part = Folder.substr(0, at);
    if (MakeFolder(part) != 0 && errno != EEXIST) return false;
    if (at == std::string::npos) return true;
  }
}

// Every input in turn through one plug-in; the others go on when one
// fails, and the failures are listed at the end.
int RunBatch(const TRenderOptions& O) {
  std::vector<TBatchItem> items;
  std::string error;
  if (!PlanBatch(O.Inputs, O.OutputPath, items, error)) return GSay.Error(error, kExitUsage);
  for (const TBatchItem& item : items)
    if (std::string folder = OutputFolder(item.Output); !MakeFolders(folder))
      return GSay.Error("cannot make the folder '" + folder + "': " + std::strerror(errno));
  TPluginChain chain;
  bool loaded = false, fatal = false;
  std::vector<std::string> failed;
  for (const TBatchItem& item : items) {
    TRenderOptions one = O;
    one.InputPath = item.Input;
    one.OutputPath = item.Output;
    if (RenderBatchItem(one, chain, loaded, fatal) != kExitOk) failed.push_back(item.Input);
    if (fatal) return kExitFailure;
  }
  if (failed.empty()) {
    GSay.Note("rendered " + std::to_string(items.size()) + " files");
    return kExitOk;
  }
  std::string list;
  for (const std::string& f : failed) list += (list.empty() ? "'" : ", '") + f + "'";
  return GSay.Error(std::to_string(failed.size()) + " of " + std::to_string(items.size()) + " files failed: " + list);
}

// Every plug-in file in the search folders, each loaded in a child process.
int RunListPlugins(const TRenderOptions& O) {
  const std::vector<std::string> folders = HostPluginFolders();
  TJsonWriter json;
  json.BeginArray();
  std::string text;
  for (const std::string& path : ListPluginFiles(folders)) {
    const TScannedPlugin p = ScanPlugin(path, kScanTimeoutSeconds);
    json.BeginObject().Key("path").String(p.Path).Key("loads").Bool(p.Loaded);
    if (!p.Loaded) {
      json.Key("error").String(p.Error).EndObject();
      text += path + ": does not load: " + p.Error + "\n";
      continue;
    }
    json.Key("name").String(p.Name).Key("vendor").String(p.Vendor).Key("uniqueId").String(FourCharText(p.UniqueId));
    json.Key("inputs").Integer(p.Inputs).Key("outputs").Integer(p.Outputs);
    json.Key("kind").String(p.Synth ? "synth" : "effect").EndObject();
    text += path + ": " + p.Name + " (" + p.Vendor + ", '" + FourCharText(p.UniqueId) + "'), " +
            std::to_string(p.Inputs) + " in, " + std::to_string(p.Outputs) + " out, " + (p.Synth ? "synth" : "effect") +
            "\n";
  }
  json.EndArray();
  std::fputs(O.Json ? json.Text().c_str() : text.c_str(), stdout);
  return kExitOk;
}

int Run(const TRenderOptions& O) {
  if (O.ListPlugins) return RunListPlugins(O);
  if (O.Info || O.ListParams) return RunDescription(O);
  if (!O.EditorSnapshotPath.empty()) return RunSnapshot(O);
  if (IsBatch(O.Inputs, O.OutputPath)) return RunBatch(O);
  return RunRender(O);
}

}  // namespace

int main(int argc, char** argv) {
  vb::UseUtf8(argc, argv);
  if (argc == 3 && std::string_view(argv[1]) == vb::kScanChildOption) vb::RunScanChild(argv[2]);
  std::vector<std::string_view> args(argv + 1, argv + argc);
  const vb::TOptionsResult parsed = vb::ParseRenderOptions(args);
  if (!parsed.Ok()) return GSay.Error(parsed.Error, vb::kExitUsage);
  if (parsed.Options.Help) {
    std::fputs(vb::RenderUsage().c_str(), stdout);
    return vb::kExitOk;
  }
  if (parsed.Options.Version) {
    std::fputs(vb::VersionText("vst-render").c_str(), stdout);
    return vb::kExitOk;
  }
  GSay.SetQuiet(parsed.Options.Quiet);
  vb::RemoveTempFileOnFatalSignals();
  try {
    return Run(parsed.Options);
  } catch (const std::exception& e) {
    return GSay.Error(e.what());
  }
}
