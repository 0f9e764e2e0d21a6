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

std::string Seconds(double seconds) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.2f s", seconds);
  return buf;
}

std::string SummaryLine(const std::string& output, const TRenderResult& r, double sampleRate,
                        const TAudioFormat& format) {
  char buf[512];
  std::snprintf(buf, sizeof buf,
                "%s: in peak %s dBFS, RMS %s dBFS; out peak %s dBFS, RMS %s dBFS; %.2f s, %.1fx realtime",
                output.empty() ? "(not written)" : output.c_str(), TSignalStats::FormatDb(r.In.Peak()).c_str(),
                TSignalStats::FormatDb(r.In.Rms()).c_str(), TSignalStats::FormatDb(r.Out.Peak()).c_str(),
                TSignalStats::FormatDb(r.Out.Rms()).c_str(), static_cast<double>(r.Frames) / sampleRate,
                r.RealtimeFactor(sampleRate));
  std::string line = buf;
  if (!output.empty() && !format.IsFloat() && r.Out.Peak() > 1.0) line += " (clipped: " + format.Describe() + ")";
  return line;
}

bool WritesToStdout(const std::string& output) {
  if (output == kStandardStream) return true;
  return !output.empty() && SameFile(output, kStandardOutputFd);
}

// The plug-in's file; a bare name not found anywhere is an error that
// lists where it was looked for.
bool ResolvePlugin(const std::string& given, std::string& path, std::string& error) {
  const std::vector<std::string> folders = HostPluginFolders();
  path = FindPlugin(given, folders);
  if (!path.empty()) return true;
  error = "plug-in not found: '" + given + "' (or " + given + kPluginExtension + ") is in none of ";
  for (size_t k = 0; k < folders.size(); ++k) error += (k ? ", " : "") + folders[k];
  error += " or their subfolders";
  return false;
}

// Sets the requested parameters, switches first; says so when that is not
// the order they were given in.
bool ApplyParams(TPluginHost& plugin, const std::vector<TParamRequest>& requests, bool normalised, std::string& error) {
  TPluginParams params(plugin);
  TParamResolver resolver(params);
  std::vector<size_t> order;
  if (!resolver.ApplyOrder(requests, order, error)) return false;
  std::string told;
  bool reordered = false;
  for (size_t k = 0; k < order.size(); ++k) {
    TParamSetting setting;
    if (!resolver.Apply(requests[order[k]], normalised, setting, error)) return false;
    reordered = reordered || order[k] != k;
    told += (k ? ", " : "") + requests[order[k]].Name + "=" + requests[order[k]].Value;
  }
  if (reordered) GSay.Note("switches are set before continuous parameters: " + told);
  return true;
}

// The tail: the user's, else the one the plug-in reports (effGetTailSize:
// 0 means not told, 1 means none).
std::int64_t TailFrames(const TPluginChain& chain, const TRenderOptions& o, double rate) {
  if (o.AutoTail) return std::llround(o.TailMaxSeconds * rate);
  if (o.TailSeconds >= 0) return std::llround(o.TailSeconds * rate);
  const std::int64_t reported = chain.ReportedTail();
  if (reported <= 1) return 0;
  if (static_cast<double>(reported) > kMaxReportedTailSeconds * rate) {
    GSay.Note("the plug-in reports an endless tail; give --tail SECONDS to render one");
    return 0;
  }
  GSay.Note("adding the plug-in's tail of " + Seconds(static_cast<double>(reported) / rate) +
            " (--tail 0 leaves it out)");
  return reported;
}

void ReportLatency(const TRenderResult& r, const TRenderOptions& o, double rate) {
  if (r.LateLatency >= 0) {
    GSay.Warning("the plug-in changed its delay to " + std::to_string(r.LateLatency) +
                 " samples after output had been written; " + std::to_string(r.LatencyDropped) +
                 " were compensated, so the output from there on is " +
                 std::to_string(r.LateLatency - r.LatencyDropped) + " samples late");
    return;
  }
  if (r.ReportedLatency == 0 || !o.CompensateLatency) return;
  if (r.LatencyDropped == r.ReportedLatency)
    GSay.Note("compensated the plug-in's delay of " + std::to_string(r.ReportedLatency) + " samples");
  else
    GSay.Warning("the plug-in reports a delay of " + std::to_string(r.ReportedLatency) + " samples (" +
                 Seconds(r.ReportedLatency / rate) + "); left as it is");
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

bool ReadMidi(const std::string& path, TMidiSong& song, std::string& error) {
  std::ifstream file(StreamPath(path), std::ios::binary);
  if (!file) {
    error = "cannot open '" + path + "'";
    return false;
  }
  const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  return ParseMidiFile(bytes, path, song, error);
}

// The MIDI events at the render's frames; a warning for an instrument that
// gets audio and no notes, and for notes sent to a plug-in that takes none.
int PlanMidi(const TRenderOptions& o, TInput& in, const TPluginChain& chain, TRenderSettings& settings) {
  std::string error;
  if (o.MidiPath.empty()) {
    if (chain.IsInstrument() && in.FromFile)
      GSay.Warning("the plug-in is an instrument: it gets the audio of " + in.Name +
                   " and no notes; give --midi FILE.mid");
    return kExitOk;
  }
  if (in.FromFile && !ReadMidi(o.MidiPath, in.Song, error)) return GSay.Error(error);
  std::vector<char> receives(std::begin("receiveVstMidiEvent"), std::end("receiveVstMidiEvent"));
  if (!chain.IsInstrument() && chain.First().Dispatch(effCanDo, 0, 0, receives.data()) != 1)
    GSay.Warning("the plug-in does not say it takes MIDI; the notes of '" + o.MidiPath + "' are sent anyway");
  for (const TMidiEvent& e : in.Song.Events) {
    TTimedMidi t;
    t.Frame = std::llround(e.Seconds * in.Rate);
    std::copy(std::begin(e.Bytes), std::end(e.Bytes), t.Bytes);
    settings.Midi.push_back(t);
  }
  return kExitOk;
}

// Opens the input first: a bad file fails before the plug-in is loaded.
// Answers the exit status, kExitOk to go on.
int OpenInput(const TRenderOptions& o, TInput& in) {
  std::string error;
  if (o.InputPath.empty() && !o.MidiPath.empty()) {
    // Silence as long as the MIDI file; its events are added once the
    // plug-in is loaded.
    if (o.SampleRate > 0) in.Rate = o.SampleRate;
    if (!ReadMidi(o.MidiPath, in.Song, error)) return GSay.Error(error);
    in.Source = std::make_unique<TSilenceSource>(std::llround(in.Song.LengthSeconds * in.Rate), 1, in.Rate);
    in.Name = "'" + o.MidiPath + "'";
    return kExitOk;
  }
  if (o.InputPath.empty()) {
    if (o.SampleRate > 0) in.Rate = o.SampleRate;
    TDemoSignal demo(in.Rate);
    in.Source = std::make_unique<TMemorySource>(demo.Render(), TDemoSignal::kChannels, in.Rate);
    return kExitOk;
  }
  if (!in.Reader.Open(o.InputPath, error)) return GSay.Error(error);
  in.Rate = in.Reader.SampleRate();
  if (in.Rate < kMinSampleRate || in.Rate > kMaxSampleRate)
    return GSay.Error("'" + o.InputPath + "' is " + std::to_string(static_cast<long long>(in.Rate)) +
                      " Hz; vst-render renders at " + std::to_string(static_cast<long>(kMinSampleRate)) + " to " +
                      std::to_string(static_cast<long>(kMaxSampleRate)) + " Hz");
  in.Source = std::make_unique<TFileSource>(in.Reader);
  in.Name = "'" + o.InputPath + "'";
  in.FromFile = true;
  if (o.SampleRate > 0 && o.SampleRate != in.Rate) {
    // The file's frames are converted on their way to the plug-in.
    in.File = std::move(in.Source);
    auto converted = std::make_unique<TResampledSource>(*in.File, o.SampleRate);
    if (!converted->Ok(error)) return GSay.Error("'" + o.InputPath + "': " + error, kExitUsage);
    GSay.Note("converting " + in.Name + " from " + std::to_string(static_cast<long>(in.Rate)) + " to " +
              std::to_string(static_cast<long>(o.SampleRate)) + " Hz (" + ResamplerName() + ")");
    in.Source = std::move(converted);
    in.Rate = o.SampleRate;
  }
  return kExitOk;
}

// The --param requests for stage `k` of the chain: those prefixed with its
// file name (without .so) or its number from 1, and unprefixed ones for the
// first stage.
std::vector<TParamRequest> StageParams(const TRenderOptions& o, size_t k) {
  std::vector<TParamRequest> mine;
  for (TParamRequest r : o.Params) {
    size_t owner = 0;
    if (const auto colon = r.Name.find(':'); colon != std::string::npos && o.PluginPaths.size() > 1) {
      const std::string prefix = r.Name.substr(0, colon);
      for (size_t s = 0; s < o.PluginPaths.size(); ++s) {
        std::string stem = o.PluginPaths[s].substr(o.PluginPaths[s].find_last_of(kPathSeparators) + 1);
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
    if (owner == k) mine.push_back(r);
  }
  return mine;
}

// Loads and opens one plug-in at `rate`; `describing`: only its description
// is wanted, so a rate or precision it refuses does not matter.
int LoadStage(const TRenderOptions& o, size_t k, double rate, bool describing, TPluginHost& plugin, std::string& path) {
  std::string error;
  if (!ResolvePlugin(o.PluginPaths[k], path, error) || !plugin.Load(path, error)) return GSay.Error(error);
  const bool wantDouble = o.Precision == 64;
  if (!describing && wantDouble && !plugin.HasFlag(effFlagsCanDoubleReplacing))
    return GSay.Error("'" + path + "' cannot process 64-bit samples (no double-replacing support); use --precision 32");
  const std::string refusal = plugin.Open(rate, o.BlockSize, wantDouble);
  if (!describing && !refusal.empty())
    return GSay.Error("the plug-in refuses to run at " + std::to_string(static_cast<long>(rate)) + " Hz: " + refusal);
  if (std::string why = CheckChannelCounts(*plugin.Effect()); !describing && !why.empty()) return GSay.Error(why);
  // Presets are the first plug-in's.
  if (k == 0 && !o.PresetPath.empty() && !LoadPresetFile(plugin, o.PresetPath, error)) return GSay.Error(error);
  if (k == 0 && o.Program >= 0 && !SelectProgram(plugin, o.Program, error)) return GSay.Error(error, kExitUsage);
  // A --param the plug-in cannot take is a bad command line.
  if (!ApplyParams(plugin, StageParams(o, k), o.Normalised, error)) return GSay.Error(error, kExitUsage);
  if (k == 0 && !o.SavePresetPath.empty()) {
    if (!SavePresetFile(plugin, o.SavePresetPath, error)) return GSay.Error(error);
    GSay.Note("saved the plug-in's state as '" + o.SavePresetPath + "'");
  }
  return kExitOk;
}

// Every -p in order; `path`: the first one's file.
int LoadChain(const TRenderOptions& o, double rate, bool describing, TPluginChain& chain, std::string& path) {
  for (size_t k = 0; k < o.PluginPaths.size(); ++k) {
    std::string stagePath;
    if (int status = LoadStage(o, k, rate, describing, chain.Add(), stagePath)) return status;
    if (k == 0) path = stagePath;
  }
  return kExitOk;
}

// How the input feeds the plug-in, and which outputs are written.
int PlanSettings(const TRenderOptions& o, const TInput& in, const TPluginChain& chain, TRenderSettings& settings) {
  std::string error;
  if (!PlanChannels(in.Source->Channels(), chain.NumInputs(), o.Channels, in.Name, !in.FromFile, settings.Channels,
                    error))
    return GSay.Error(error);
  if (o.OutChannels > chain.NumOutputs())
    return GSay.Error("--out-channels " + std::to_string(o.OutChannels) + " asks for more outputs than the plug-in's " +
                          std::to_string(chain.NumOutputs()),
                      kExitUsage);
  settings.OutChannels = o.OutChannels;
  settings.CompensateLatency = o.CompensateLatency;
  return kExitOk;
}

int RunDescription(const TRenderOptions& o) {
  GSay.SetQuiet(true);
  TPluginChain chain;
  std::string path;
  if (int status = LoadChain(o, o.SampleRate > 0 ? o.SampleRate : kDefaultSampleRate, true, chain, path)) return status;
  TPluginHost& plugin = chain.First();  // the first plug-in is described
  const std::string text = o.Json ? (o.Info ? DescribePluginJson(plugin, path) : DescribeParametersJson(plugin))
                                  : (o.Info ? DescribePlugin(plugin, path) : DescribeParameters(plugin));
  std::fputs(text.c_str(), stdout);
  return kExitOk;
}

int RunSnapshot(const TRenderOptions& o) {
  TInput in;
  TPluginChain chain;
  std::string path, error;
  TRenderSettings settings;
  if (int status = OpenInput(o, in)) return status;
  if (int status = LoadChain(o, in.Rate, false, chain, path)) return status;
  if (int status = PlanSettings(o, in, chain, settings)) return status;
  GSay.Note(settings.Channels.Note);
  TEditorSnapshot snapshot(chain.First());
  if (!snapshot.Open(error)) return GSay.Error(error);
  snapshot.IdleFor(kSnapshotSettleMs);
  TLimitedSource played(*in.Source, std::llround(kSnapshotPlaySeconds * in.Rate));
  TRenderSession session(chain, o.BlockSize, o.Precision == 64);
  TRenderResult result;
  if (!session.Run(played, settings, nullptr, false, result, error)) return GSay.Error(error);
  snapshot.IdleFor(kSnapshotShowMs);
  if (!snapshot.Save(o.EditorSnapshotPath, error)) return GSay.Error(error);
  GSay.Note("saved the editor (" + std::to_string(snapshot.Width()) + " x " + std::to_string(snapshot.Height()) +
            " pixels) as '" + o.EditorSnapshotPath + "'");
  return kExitOk;
}

int SaveDemo(const TRenderOptions& o, double rate) {
  TAudioFormat format;
  TDemoSignal demo(rate);
  std::vector<double> dry = demo.Render();
  std::string error;
  if (!ChooseOutputFormat(o.DemoOutPath, TAudioFormat{}, format, error) ||
      !WriteAudioFile(o.DemoOutPath, format, dry.data(), demo.Frames(), TDemoSignal::kChannels, rate, error))
    return GSay.Error(error);
  return kExitOk;
}

// After the render: an input that held nothing fails the render, a cut
// one is warned about. Answers the exit status.
int ReportInput(const TRenderOptions& o, TInput& in, const TRenderResult& result) {
  const std::string cut = in.FromFile ? in.Reader.CutShortWarning() : std::string();
  if (in.FromFile && result.SourceFrames == 0) {
    // An empty or unreadable file is no render; a tail alone is said to be one.
    const std::string why = "'" + o.InputPath + "' holds no audio" + (cut.empty() ? "" : " (" + cut + ")");
    if (result.Frames == 0) return GSay.Error(why + "; nothing to render");
    GSay.Warning(why + "; rendered only the " + Seconds(static_cast<double>(result.Frames) / in.Rate) + " of tail");
  } else if (!cut.empty()) {
    GSay.Warning(cut);
  }
  return kExitOk;
}

// Renders one input through the loaded plug-in into o.OutputPath (empty:
// measured only), with the notes, warnings and summary line of a render.
int RenderLoaded(const TRenderOptions& o, TInput& in, TAudioFormat format, TPluginChain& chain) {
  std::string error;
  TRenderSettings settings;
  if (int status = PlanSettings(o, in, chain, settings)) return status;
  if (int status = PlanMidi(o, in, chain, settings)) return status;
  GSay.Note(settings.Channels.Note);
  settings.TailFrames = TailFrames(chain, o, in.Rate);
  settings.AutoTail = o.AutoTail;
  settings.QuietFrames = std::llround(kQuietHoldSeconds * in.Rate);
  if (!o.DemoOutPath.empty() && !in.FromFile)
    if (int status = SaveDemo(o, in.Rate)) return status;

  const bool writing = !o.OutputPath.empty();
  const int channels = settings.OutChannels > 0 ? settings.OutChannels : chain.NumOutputs();
  TAudioFileWriter writer;
  if (writing) {
    const std::int64_t known = in.Source->Frames();
    std::string sizeNote;
    if (!PlanOutputSize(format, channels, known > 0 ? known + settings.TailFrames : 0, in.Rate, sizeNote, error))
      return GSay.Error(error);
    GSay.Note(sizeNote);
    if (!writer.Open(o.OutputPath, format, channels, in.Rate, error)) return GSay.Error(error);
    if (!writer.InPlaceReason().empty())
      GSay.Note("'" + o.OutputPath + "' is written in place once the render is complete (" + writer.InPlaceReason() +
                ")");
  }

  TRenderSession session(chain, o.BlockSize, o.Precision == 64);
  const std::int64_t automatedBefore = chain.AutomateCount();  // the --param search may have caused some
  TRenderResult result;
  if (!session.Run(*in.Source, settings, writing ? &writer : nullptr, !o.Quiet, result, error))
    return GSay.Error(error);
  if (int status = ReportInput(o, in, result)) return status;
  if (writing && !writer.Commit(error)) return GSay.Error(error);
  if (writing && !format.IsFloat() && result.Out.Peak() > 1.0)
    GSay.Warning("the output clipped: its peak of " + TSignalStats::FormatDb(result.Out.Peak()) +
                 " dBFS does not fit in " + format.Describe() + "; lower the level or write a floating-point format");
  ReportLatency(result, o, in.Rate);
  if (result.TailCut)
    GSay.Warning("the output was still sounding after the longest tail of " + Seconds(o.TailMaxSeconds) +
                 "; give a longer --tail-max");
  if (chain.IsInstrument() && result.Out.Peak() == 0.0 && o.MidiPath.empty())
    GSay.Warning("the plug-in is an instrument and vst-render sends it no notes (MIDI events): it rendered silence");
  if (!o.Quiet) {
    std::string line = SummaryLine(o.OutputPath, result, in.Rate, format);
    if (std::int64_t n = chain.AutomateCount() - automatedBefore; n > 0)
      line += "; " + std::to_string(n) + " automation calls";
    // Audio on standard output keeps it to itself.
    std::fprintf(WritesToStdout(o.OutputPath) ? stderr : stdout, "%s\n", line.c_str());
  }
  return kExitOk;
}

// The output's format, from its name and the input's encoding.
int ChooseFormat(const TRenderOptions& o, const TInput& in, TAudioFormat& format) {
  std::string error;
  if (o.OutputPath.empty()) return kExitOk;
  if (!ChooseOutputFormat(o.OutputPath, o.FormatName, in.FromFile ? in.Reader.Format() : TAudioFormat{}, format, error))
    return GSay.Error(error);
  // --bits and --float against the container are a bad command line.
  if (!RequestEncoding(format, o.Bits, o.Float, error))
    return GSay.Error("'" + o.OutputPath + "': " + error, kExitUsage);
  // Opus keeps its encoder's default: its scale runs to 512 kbps.
  const bool opus = format.Describe() == "Ogg Opus";
  format.Quality = o.Quality >= 0 ? o.Quality : opus ? -1.0 : kDefaultQuality;
  return kExitOk;
}

int RunRender(const TRenderOptions& o) {
  TInput in;
  TAudioFormat format;
  TPluginChain chain;
  std::string path;
  if (int status = OpenInput(o, in)) return status;
  if (int status = ChooseFormat(o, in, format)) return status;
  if (int status = LoadChain(o, in.Rate, false, chain, path)) return status;
  return RenderLoaded(o, in, format, chain);
}

// One file of a batch. The plug-in is loaded with the first file that
// opens and told each new rate between files (it is suspended then);
// `fatal` is set when the plug-in itself failed, which ends the batch.
int RenderBatchItem(const TRenderOptions& o, TPluginChain& chain, bool& loaded, bool& fatal) {
  TInput in;
  TAudioFormat format;
  if (int status = OpenInput(o, in)) return status;
  if (int status = ChooseFormat(o, in, format)) return status;
  if (!loaded) {
    std::string path;
    const int status = LoadChain(o, in.Rate, false, chain, path);
    fatal = status != kExitOk;
    loaded = !fatal;
    if (fatal) return status;
  } else if (in.Rate != chain.First().SampleRate()) {
    if (std::string refusal = chain.SetSampleRate(in.Rate); !refusal.empty())
      return GSay.Error("the plug-in refuses to run at " + std::to_string(static_cast<long>(in.Rate)) +
                        " Hz: " + refusal);
  }
  return RenderLoaded(o, in, format, chain);
}

// The folder part of a path ("" when there is none).
std::string OutputFolder(const std::string& path) {
  const auto slash = path.find_last_of(kPathSeparators);
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// Makes `folder` and the folders above it that are missing; false with errno.
bool MakeFolders(const std::string& folder) {
  if (folder.empty()) return true;
  for (size_t at = folder.find_first_of(kPathSeparators, 1);; at = folder.find_first_of(kPathSeparators, at + 1)) {
    const std::string part = folder.substr(0, at);
    if (MakeFolder(part) != 0 && errno != EEXIST) return false;
    if (at == std::string::npos) return true;
  }
}

// Every input in turn through one plug-in; the others go on when one
// fails, and the failures are listed at the end.
int RunBatch(const TRenderOptions& o) {
  std::vector<TBatchItem> items;
  std::string error;
  if (!PlanBatch(o.Inputs, o.OutputPath, items, error)) return GSay.Error(error, kExitUsage);
  for (const TBatchItem& item : items)
    if (std::string folder = OutputFolder(item.Output); !MakeFolders(folder))
      return GSay.Error("cannot make the folder '" + folder + "': " + std::strerror(errno));
  TPluginChain chain;
  bool loaded = false, fatal = false;
  std::vector<std::string> failed;
  for (const TBatchItem& item : items) {
    TRenderOptions one = o;
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
int RunListPlugins(const TRenderOptions& o) {
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
  std::fputs(o.Json ? json.Text().c_str() : text.c_str(), stdout);
  return kExitOk;
}

int Run(const TRenderOptions& o) {
  if (o.ListPlugins) return RunListPlugins(o);
  if (o.Info || o.ListParams) return RunDescription(o);
  if (!o.EditorSnapshotPath.empty()) return RunSnapshot(o);
  if (IsBatch(o.Inputs, o.OutputPath)) return RunBatch(o);
  return RunRender(o);
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
