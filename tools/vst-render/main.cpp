// vst-render: renders audio through any VST 2.4 plug-in from the command line.
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "audio_file.h"
#include "channel_map.h"
#include "demo_signal.h"
#include "editor_snapshot.h"
#include "param_resolver.h"
#include "plugin_host.h"
#include "plugin_info.h"
#include "plugin_params.h"
#include "plugin_search.h"
#include "render_options.h"
#include "render_session.h"
#include "signal_source.h"

namespace {

using namespace vb;

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
constexpr double kDefaultSampleRate = 44100.0;     // Hz, when there is no input file
constexpr double kMaxReportedTailSeconds = 600.0;  // a longer reported tail is taken as "endless"
// The editor's picture: it settles, the first seconds of the input play
// through the plug-in (meters show them), and it catches up with that.
constexpr int kSnapshotSettleMs = 200;
constexpr double kSnapshotPlaySeconds = 2.0;
constexpr int kSnapshotShowMs = 300;

int Fail(const std::string& message, int code = kExitFailure) {
  std::fprintf(stderr, "vst-render: %s\n", message.c_str());
  return code;
}

void Warn(const std::string& message) { std::fprintf(stderr, "vst-render: warning: %s\n", message.c_str()); }

// Notes tell what vst-render decided for the user; -q hides them.
class TNotes {
 public:
  explicit TNotes(bool quiet) : FQuiet(quiet) {}
  void operator()(const std::string& message) const {
    if (!FQuiet && !message.empty()) std::fprintf(stderr, "vst-render: note: %s\n", message.c_str());
  }

 private:
  bool FQuiet;
};

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
  struct stat file {
  }, out{};
  return !output.empty() && ::stat(output.c_str(), &file) == 0 && ::fstat(STDOUT_FILENO, &out) == 0 &&
         file.st_dev == out.st_dev && file.st_ino == out.st_ino;
}

// The plug-in's file; a bare name not found anywhere is an error that
// lists where it was looked for.
bool ResolvePlugin(const std::string& given, std::string& path, std::string& error) {
  const std::vector<std::string> folders =
      PluginFolders(std::getenv("LXVST_PATH"), std::getenv("VST_PATH"), std::getenv("HOME"));
  path = FindPlugin(given, folders);
  if (!path.empty()) return true;
  error = "plug-in not found: '" + given + "' (or " + given + ".so) is in none of ";
  for (size_t k = 0; k < folders.size(); ++k) error += (k ? ", " : "") + folders[k];
  error += " or their subfolders";
  return false;
}

// Sets the requested parameters, switches first; says so when that is not
// the order they were given in.
bool ApplyParams(TPluginHost& plugin, const TRenderOptions& o, const TNotes& note, std::string& error) {
  TPluginParams params(plugin);
  TParamResolver resolver(params);
  std::vector<size_t> order;
  if (!resolver.ApplyOrder(o.Params, order, error)) return false;
  std::string told;
  bool reordered = false;
  for (size_t k = 0; k < order.size(); ++k) {
    TParamSetting setting;
    if (!resolver.Apply(o.Params[order[k]], o.Normalised, setting, error)) return false;
    reordered = reordered || order[k] != k;
    told += (k ? ", " : "") + o.Params[order[k]].Name + "=" + o.Params[order[k]].Value;
  }
  if (reordered) note("switches are set before continuous parameters: " + told);
  return true;
}

// The tail: the user's, else the one the plug-in reports (effGetTailSize:
// 0 means not told, 1 means none).
std::int64_t TailFrames(TPluginHost& plugin, const TRenderOptions& o, double rate, const TNotes& note) {
  if (o.TailSeconds >= 0) return std::llround(o.TailSeconds * rate);
  const std::intptr_t reported = plugin.Dispatch(effGetTailSize);
  if (reported <= 1) return 0;
  if (static_cast<double>(reported) > kMaxReportedTailSeconds * rate) {
    note("the plug-in reports an endless tail; give --tail SECONDS to render one");
    return 0;
  }
  note("adding the plug-in's tail of " + Seconds(static_cast<double>(reported) / rate) + " (--tail 0 leaves it out)");
  return reported;
}

void ReportLatency(const TRenderResult& r, const TRenderOptions& o, double rate, const TNotes& note) {
  if (r.LateLatency >= 0) {
    Warn("the plug-in changed its delay to " + std::to_string(r.LateLatency) +
         " samples after output had been written; " + std::to_string(r.LatencyDropped) +
         " were compensated, so the output from there on is " + std::to_string(r.LateLatency - r.LatencyDropped) +
         " samples late");
    return;
  }
  if (r.ReportedLatency == 0 || !o.CompensateLatency) return;
  if (r.LatencyDropped == r.ReportedLatency)
    note("compensated the plug-in's delay of " + std::to_string(r.ReportedLatency) + " samples");
  else
    Warn("the plug-in reports a delay of " + std::to_string(r.ReportedLatency) + " samples (" +
         Seconds(r.ReportedLatency / rate) + "); left as it is");
}

int SnapshotEditor(TPluginHost& plugin, const TRenderOptions& o, TSignalSource& source, TRenderSettings settings,
                   double rate, const TNotes& note) {
  std::string error;
  TEditorSnapshot snapshot(plugin);
  if (!snapshot.Open(error)) return Fail(error);
  snapshot.IdleFor(kSnapshotSettleMs);
  TLimitedSource played(source, std::llround(kSnapshotPlaySeconds * rate));
  settings.TailFrames = 0;
  TRenderSession session(plugin, o.BlockSize, o.Precision == 64);
  TRenderResult result;
  if (!session.Run(played, settings, nullptr, false, result, error)) return Fail(error);
  snapshot.IdleFor(kSnapshotShowMs);
  if (!snapshot.Save(o.EditorSnapshotPath, error)) return Fail(error);
  note("saved the editor (" + std::to_string(snapshot.Width()) + " x " + std::to_string(snapshot.Height()) +
       " pixels) as '" + o.EditorSnapshotPath + "'");
  return 0;
}

int Run(const TRenderOptions& o) {
  std::string error;
  const bool infoOnly = o.Info || o.ListParams;
  const TNotes note(o.Quiet || infoOnly);

  // Input first: a bad file should fail before the plug-in is even loaded.
  TAudioFileReader reader;
  std::unique_ptr<TSignalSource> source;
  std::string sourceName = "the built-in demo";
  double rate = o.SampleRate > 0 ? o.SampleRate : kDefaultSampleRate;
  if (!infoOnly) {
    if (!o.InputPath.empty()) {
      if (!reader.Open(o.InputPath, error)) return Fail(error);
      if (o.SampleRate > 0 && o.SampleRate != reader.SampleRate())
        return Fail("'" + o.InputPath + "' is " + std::to_string(static_cast<long>(reader.SampleRate())) +
                    " Hz and vst-render does not resample; leave out -s or give that rate");
      rate = reader.SampleRate();
      if (rate < kMinSampleRate || rate > kMaxSampleRate)
        return Fail("'" + o.InputPath + "' is " + std::to_string(static_cast<long long>(rate)) +
                    " Hz; vst-render renders at " + std::to_string(static_cast<long>(kMinSampleRate)) + " to " +
                    std::to_string(static_cast<long>(kMaxSampleRate)) + " Hz");
      source = std::make_unique<TFileSource>(reader);
      sourceName = "'" + o.InputPath + "'";
    } else {
      TDemoSignal demo(rate);
      source = std::make_unique<TMemorySource>(demo.Render(), TDemoSignal::kChannels, rate);
    }
  }
  TAudioFormat outFormat;
  if (!infoOnly && !o.OutputPath.empty() &&
      !ChooseOutputFormat(o.OutputPath, o.FormatName, o.InputPath.empty() ? TAudioFormat{} : reader.Format(), outFormat,
                          error))
    return Fail(error);

  std::string pluginPath;
  if (!ResolvePlugin(o.PluginPath, pluginPath, error)) return Fail(error);
  TPluginHost plugin;
  if (!plugin.Load(pluginPath, error)) return Fail(error);
  const bool wantDouble = o.Precision == 64;
  if (!infoOnly && wantDouble && !plugin.HasFlag(effFlagsCanDoubleReplacing))
    return Fail("the plug-in cannot process 64-bit samples (no double-replacing support); use --precision 32");
  if (std::string refusal = plugin.Open(rate, o.BlockSize, wantDouble); !refusal.empty() && !infoOnly)
    return Fail("the plug-in refuses to run at " + std::to_string(static_cast<long>(rate)) + " Hz: " + refusal);
  if (std::string why = CheckChannelCounts(*plugin.Effect()); !infoOnly && !why.empty()) return Fail(why);

  TRenderSettings settings;
  if (!infoOnly && !PlanChannels(source->Channels(), plugin.Effect()->numInputs, o.Channels, sourceName,
                                 o.InputPath.empty(), settings.Channels, error))
    return Fail(error);
  if (!ApplyParams(plugin, o, note, error)) return Fail(error, kExitUsage);  // a --param the plug-in cannot take

  if (o.Info) {
    std::fputs(DescribePlugin(plugin, pluginPath).c_str(), stdout);
    return 0;
  }
  if (o.ListParams) {
    std::fputs(DescribeParameters(plugin).c_str(), stdout);
    return 0;
  }
  note(settings.Channels.Note);
  if (!o.EditorSnapshotPath.empty()) return SnapshotEditor(plugin, o, *source, settings, rate, note);
  settings.TailFrames = TailFrames(plugin, o, rate, note);
  settings.CompensateLatency = o.CompensateLatency;

  if (!o.DemoOutPath.empty() && o.InputPath.empty()) {
    TAudioFormat demoFormat;
    TDemoSignal demo(rate);
    std::vector<double> dry = demo.Render();
    if (!ChooseOutputFormat(o.DemoOutPath, TAudioFormat{}, demoFormat, error) ||
        !WriteAudioFile(o.DemoOutPath, demoFormat, dry.data(), demo.Frames(), TDemoSignal::kChannels, rate, error))
      return Fail(error);
  }

  TAudioFileWriter writer;
  const bool writing = !o.OutputPath.empty();
  if (writing) {
    const std::int64_t known = source->Frames();
    std::string sizeNote;
    if (!PlanOutputSize(outFormat, plugin.Effect()->numOutputs, known > 0 ? known + settings.TailFrames : 0, rate,
                        sizeNote, error))
      return Fail(error);
    note(sizeNote);
  }
  if (writing && !writer.Open(o.OutputPath, outFormat, plugin.Effect()->numOutputs, rate, error)) return Fail(error);
  if (writing && !writer.InPlaceReason().empty())
    note("'" + o.OutputPath + "' is written in place once the render is complete (" + writer.InPlaceReason() + ")");

  TRenderSession session(plugin, o.BlockSize, wantDouble);
  const std::int64_t automatedBefore = plugin.AutomateCount();  // the --param search may have caused some
  TRenderResult result;
  if (!session.Run(*source, settings, writing ? &writer : nullptr, !o.Quiet, result, error)) return Fail(error);
  const std::string cut = o.InputPath.empty() ? std::string() : reader.CutShortWarning();
  if (!o.InputPath.empty() && result.SourceFrames == 0) {
    // An empty or unreadable file is no render; a tail alone is said to be one.
    const std::string why = "'" + o.InputPath + "' holds no audio" + (cut.empty() ? "" : " (" + cut + ")");
    if (result.Frames == 0) return Fail(why + "; nothing to render");
    Warn(why + "; rendered only the " + Seconds(static_cast<double>(result.Frames) / rate) + " of tail");
  } else if (!cut.empty()) {
    Warn(cut);
  }
  if (writing && !writer.Commit(error)) return Fail(error);
  if (writing && !outFormat.IsFloat() && result.Out.Peak() > 1.0)
    Warn("the output clipped: its peak of " + TSignalStats::FormatDb(result.Out.Peak()) + " dBFS does not fit in " +
         outFormat.Describe() + "; lower the level or write a floating-point format");

  ReportLatency(result, o, rate, note);
  const bool instrument = plugin.HasFlag(effFlagsIsSynth) || plugin.Dispatch(effGetPlugCategory) == vpcSynth;
  if (instrument && result.Out.Peak() == 0.0)
    Warn("the plug-in is an instrument and vst-render sends it no notes (MIDI events): it rendered silence");
  if (!o.Quiet) {
    std::string line = SummaryLine(o.OutputPath, result, rate, outFormat);
    if (std::int64_t n = plugin.AutomateCount() - automatedBefore; n > 0)
      line += "; " + std::to_string(n) + " automation calls";
    // Audio on standard output keeps it to itself.
    std::fprintf(WritesToStdout(o.OutputPath) ? stderr : stdout, "%s\n", line.c_str());
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string_view> args(argv + 1, argv + argc);
  vb::TOptionsResult parsed = vb::ParseRenderOptions(args);
  if (!parsed.Ok()) return Fail(parsed.Error, kExitUsage);
  if (parsed.Options.Help) {
    std::fputs(vb::RenderUsage().c_str(), stdout);
    return 0;
  }
  vb::RemoveTempFileOnFatalSignals();
  try {
    return Run(parsed.Options);
  } catch (const std::exception& e) {
    return Fail(e.what());
  }
}
