#include "render_session.h"

#include <algorithm>
#include <chrono>
#include <vector>

#include "progress_bar.h"

namespace vb {

namespace {

void CallPlugin(TPluginHost& p, float** in, float** out, int n) { p.Process32(in, out, n); }
void CallPlugin(TPluginHost& p, double** in, double** out, int n) { p.Process64(in, out, n); }

constexpr double kProgressMinSeconds = 5.0;  // shorter renders need no progress bar

}  // namespace

std::string CheckChannelCounts(const TVSTEffect& effect) {
  if (effect.numOutputs < 1) return "the plug-in has no audio outputs";
  if (effect.numOutputs > kMaxPluginChannels || effect.numInputs > kMaxPluginChannels || effect.numInputs < 0)
    return "the plug-in reports " + std::to_string(effect.numInputs) + " inputs and " +
           std::to_string(effect.numOutputs) + " outputs; vst-render handles 0 to " +
           std::to_string(kMaxPluginChannels) + " inputs and 1 to " + std::to_string(kMaxPluginChannels) + " outputs";
  return {};
}

double TRenderResult::RealtimeFactor(double sampleRate) const {
  if (ProcessSeconds <= 0.0 || sampleRate <= 0.0) return 0.0;
  return static_cast<double>(Frames) / sampleRate / ProcessSeconds;
}

TRenderSession::TRenderSession(TPluginHost& plugin, int blockSize, bool doublePrecision)
    : FPlugin(plugin), FBlockSize(blockSize), FDouble(doublePrecision) {}

bool TRenderSession::Run(TSignalSource& source, TAudioFileWriter* writer, bool progress, TRenderResult& result,
                         std::string& error) {
  FPlugin.Resume();
  if (std::string why = CheckChannelCounts(*FPlugin.Effect()); !why.empty()) {
    FPlugin.Suspend();
    error = why;
    return false;
  }
  bool ok = FDouble ? Loop<double>(source, writer, progress, result, error)
                    : Loop<float>(source, writer, progress, result, error);
  FPlugin.Suspend();
  return ok;
}

template <typename TSample>
bool TRenderSession::Loop(TSignalSource& source, TAudioFileWriter* writer, bool progress, TRenderResult& result,
                          std::string& error) {
  using TClock = std::chrono::steady_clock;
  const int inCh = std::max(0, FPlugin.Effect()->numInputs);
  const int outCh = FPlugin.Effect()->numOutputs;
  const int srcCh = source.Channels();
  const size_t block = static_cast<size_t>(FBlockSize);

  // All buffers are made here, none in the loop. Pointer arrays get at
  // least one entry so that a plug-in without inputs still sees an array.
  std::vector<std::vector<TSample>> inBuf(static_cast<size_t>(inCh), std::vector<TSample>(block));
  std::vector<std::vector<TSample>> outBuf(static_cast<size_t>(outCh), std::vector<TSample>(block));
  std::vector<TSample*> inPtr(static_cast<size_t>(std::max(inCh, 1)), nullptr);
  std::vector<TSample*> outPtr(static_cast<size_t>(outCh), nullptr);
  for (int c = 0; c < inCh; ++c) inPtr[c] = inBuf[c].data();
  for (int c = 0; c < outCh; ++c) outPtr[c] = outBuf[c].data();
  std::vector<double> readBuf(block * static_cast<size_t>(srcCh));
  std::vector<double> writeBuf(block * static_cast<size_t>(outCh));

  if (writer && writer->Channels() != outCh) {
    error = "the plug-in changed its number of outputs from " + std::to_string(writer->Channels()) + " to " +
            std::to_string(outCh) + " when it was switched on";
    return false;
  }
  result.OutputChannels = outCh;
  const bool showProgress =
      progress && static_cast<double>(source.Frames()) > kProgressMinSeconds * source.SampleRate();
  TProgressBar bar(source.Frames(), showProgress);
  TClock::duration busy{};

  for (;;) {
    std::int64_t n = source.Read(readBuf.data(), static_cast<std::int64_t>(block), error);
    if (n < 0) return false;
    if (n == 0) break;
    result.In.Add(readBuf.data(), n * srcCh);
    for (int c = 0; c < inCh; ++c) {
      const int from = c % srcCh;
      for (std::int64_t i = 0; i < n; ++i) inBuf[c][i] = static_cast<TSample>(readBuf[i * srcCh + from]);
    }
    // Cleared outputs: the accumulating entry adds onto them, and a
    // plug-in that leaves an output alone yields silence, not stale data.
    for (auto& o : outBuf) std::fill(o.begin(), o.end(), TSample(0));

    auto t0 = TClock::now();
    CallPlugin(FPlugin, inPtr.data(), outPtr.data(), static_cast<int>(n));
    busy += TClock::now() - t0;

    for (int c = 0; c < outCh; ++c)
      for (std::int64_t i = 0; i < n; ++i) writeBuf[i * outCh + c] = static_cast<double>(outBuf[c][i]);
    result.Out.Add(writeBuf.data(), n * outCh);
    if (writer && !writer->Write(writeBuf.data(), n, error)) return false;
    result.Frames += n;
    bar.Update(result.Frames);
  }
  bar.Finish();
  result.ProcessSeconds = std::chrono::duration<double>(busy).count();
  return true;
}

}  // namespace vb
