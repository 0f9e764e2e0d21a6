// vst-render: renders audio through any VST 2.4 plug-in from the command line.
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "audio_file.h"
#include "demo_signal.h"
#include "param_resolver.h"
#include "plugin_host.h"
#include "plugin_info.h"
#include "plugin_params.h"
#include "render_options.h"
#include "render_session.h"
#include "signal_source.h"

namespace {

using namespace vb;

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
constexpr double kDefaultSampleRate = 44100.0;  // Hz, when there is no input file

int Fail(const std::string& message, int code = kExitFailure) {
  std::fprintf(stderr, "vst-render: %s\n", message.c_str());
  return code;
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

int Run(const TRenderOptions& o) {
  std::string error;
  const bool infoOnly = o.Info || o.ListParams;

  // Input first: a bad file should fail before the plug-in is even loaded.
  TAudioFileReader reader;
  std::unique_ptr<TSignalSource> source;
  double rate = o.SampleRate > 0 ? o.SampleRate : kDefaultSampleRate;
  if (!infoOnly) {
    if (!o.InputPath.empty()) {
      if (!reader.Open(o.InputPath, error)) return Fail(error);
      if (o.SampleRate > 0 && o.SampleRate != reader.SampleRate())
        return Fail("'" + o.InputPath + "' is " + std::to_string(static_cast<long>(reader.SampleRate())) +
                    " Hz and vst-render does not resample; leave out -s or give that rate");
      rate = reader.SampleRate();
      source = std::make_unique<TFileSource>(reader);
    } else {
      TDemoSignal demo(rate);
      source = std::make_unique<TMemorySource>(demo.Render(), TDemoSignal::kChannels, rate);
    }
  }
  TAudioFormat outFormat;
  if (!infoOnly && !o.OutputPath.empty() &&
      !ChooseOutputFormat(o.OutputPath, o.InputPath.empty() ? TAudioFormat{} : reader.Format(), outFormat, error))
    return Fail(error);

  TPluginHost plugin;
  if (!plugin.Load(o.PluginPath, error)) return Fail(error);
  const bool wantDouble = o.Precision == 64;
  if (!infoOnly && wantDouble && !plugin.HasFlag(effFlagsCanDoubleReplacing))
    return Fail("the plug-in cannot process 64-bit samples (no double-replacing support); use --precision 32");
  plugin.Open(rate, o.BlockSize, wantDouble);
  if (std::string why = CheckChannelCounts(*plugin.Effect()); !infoOnly && !why.empty()) return Fail(why);

  TPluginParams params(plugin);
  TParamResolver resolver(params);
  for (const TParamRequest& request : o.Params) {
    TParamSetting setting;
    if (!resolver.Apply(request, o.Normalised, setting, error)) return Fail(error);
  }

  if (o.Info) {
    std::fputs(DescribePlugin(plugin, o.PluginPath).c_str(), stdout);
    return 0;
  }
  if (o.ListParams) {
    std::fputs(DescribeParameters(plugin).c_str(), stdout);
    return 0;
  }

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
  if (writing && !writer.Open(o.OutputPath, outFormat, plugin.Effect()->numOutputs, rate, error)) return Fail(error);

  TRenderSession session(plugin, o.BlockSize, wantDouble);
  const std::int64_t automatedBefore = plugin.AutomateCount();  // the --param search may have caused some
  TRenderResult result;
  if (!session.Run(*source, writing ? &writer : nullptr, !o.Quiet, result, error)) return Fail(error);
  if (writing && !writer.Commit(error)) return Fail(error);
  if (!o.Quiet) {
    std::string line = SummaryLine(o.OutputPath, result, rate, outFormat);
    if (std::int64_t n = plugin.AutomateCount() - automatedBefore; n > 0)
      line += "; " + std::to_string(n) + " automation calls";
    std::printf("%s\n", line.c_str());
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
