#include "render_session.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <iterator>
#include <vector>

#include "progress_bar.h"

namespace vb {

namespace {

constexpr double kProgressMinSeconds = 5.0;  // shorter renders need no progress bar

}  // namespace

std::string CheckChannelCounts(const TVSTEffect& Effect) {
  if (Effect.numOutputs < 1) return "the plug-in has no audio outputs";
  if (Effect.numOutputs > kMaxPluginChannels || Effect.numInputs > kMaxPluginChannels || Effect.numInputs < 0)
    return "the plug-in reports " + std::to_string(Effect.numInputs) + " inputs and " +
           std::to_string(Effect.numOutputs) + " outputs; vst-render handles 0 to " +
           std::to_string(kMaxPluginChannels) + " inputs and 1 to " + std::to_string(kMaxPluginChannels) + " outputs";
  return {};
}

double TRenderResult::RealtimeFactor(double SampleRate) const {
  if (ProcessSeconds <= 0.0 || SampleRate <= 0.0) return 0.0;
  return static_cast<double>(Frames) / SampleRate / ProcessSeconds;
}

TRenderSession::TRenderSession(TPluginChain& Chain, int BlockSize, bool DoublePrecision)
    : FChain(Chain), FBlockSize(BlockSize), FDouble(DoublePrecision) {}

bool TRenderSession::Run(TSignalSource& Source, const TRenderSettings& Settings, TAudioFileWriter* Writer,
                         bool Progress, TRenderResult& Result, std::string& Error) {
  FChain.Resume();
  if (std::string why = FChain.CheckChannels(); !why.empty()) {
    FChain.Suspend();
    Error = why;
    return false;
  }
  // Plug-ins may settle their delay only when switched on.
  Result.ReportedLatency = static_cast<std::int32_t>(FChain.Latency());
  FChain.Prepare(FBlockSize);
  const std::int64_t latency =
      Settings.CompensateLatency ? std::max<std::int64_t>(0, UsableLatency(Source.SampleRate())) : 0;
  bool ok = FDouble ? Loop<double>(Source, Settings, latency, Writer, Progress, Result, Error)
                    : Loop<float>(Source, Settings, latency, Writer, Progress, Result, Error);
  FChain.Suspend();
  return ok;
}

std::int64_t TRenderSession::UsableLatency(double SampleRate) const {
  const std::int64_t reported = FChain.Latency();
  return reported >= 0 && reported <= kMaxLatencySeconds * SampleRate ? reported : -1;
}

namespace {

// The MIDI events of a render as the VST 2.4 records a plug-in takes, made
// before the loop: handing over a block's events allocates nothing.
class TMidiFeed {
 public:
  explicit TMidiFeed(const std::vector<TTimedMidi>& Timed)
      : FTimed(Timed),
        FEvents(Timed.size()),
        FList(sizeof(TVstEvents) + sizeof(TVstEvent*) * std::max<size_t>(Timed.size(), 2)) {
    for (size_t k = 0; k < Timed.size(); ++k) {
      FEvents[k].EventType = etMidi;
      FEvents[k].ByteSize = sizeof(TVstMidiEvent);
      std::copy(std::begin(Timed[k].Bytes), std::end(Timed[k].Bytes), FEvents[k].MidiData);
    }
  }
  // The events of frames [start, start + frames), offsets set; null when none.
  TVstEvents* Block(std::int64_t Start, std::int64_t Frames) {
    auto* list = reinterpret_cast<TVstEvents*>(FList.data());
    list->NumEvents = 0;
    for (; FNext < FTimed.size() && FTimed[FNext].Frame < Start + Frames; ++FNext) {
      if (FTimed[FNext].Frame < Start) continue;  // before the stream started: dropped
      FEvents[FNext].DeltaFrames = static_cast<std::int32_t>(FTimed[FNext].Frame - Start);
      list->Events[list->NumEvents++] = reinterpret_cast<TVstEvent*>(&FEvents[FNext]);
    }
    return list->NumEvents > 0 ? list : nullptr;
  }

 private:
  const std::vector<TTimedMidi>& FTimed;
  std::vector<TVstMidiEvent> FEvents;
  std::vector<std::uint8_t> FList;  // a TVstEvents with room for every event
  size_t FNext = 0;
};

// The run of quiet frames at the end of the output, after `frames` more
// interleaved frames: a frame is quiet when every channel is below `level`.
std::int64_t QuietRunAfter(const double* Interleaved, std::int64_t Frames, int Channels, double Level,
                           std::int64_t Run) {
  for (std::int64_t i = 0; i < Frames; ++i) {
    bool quiet = true;
    for (int c = 0; c < Channels && quiet; ++c) quiet = std::fabs(Interleaved[i * Channels + c]) < Level;
    Run = quiet ? Run + 1 : 0;
  }
  return Run;
}

// Each plug-in input gets the mean of the source channels its feed names
// (silence for an empty feed).
template <typename TSample>
void FeedInputs(const double* Read, std::int64_t Frames, int SrcCh, const std::vector<TChannelFeed>& Feeds,
                std::vector<std::vector<TSample>>& Inputs) {
  for (size_t c = 0; c < Feeds.size(); ++c) {
    const TChannelFeed& feed = Feeds[c];
    const double scale = feed.empty() ? 0.0 : 1.0 / static_cast<double>(feed.size());
    for (std::int64_t i = 0; i < Frames; ++i) {
      double sum = 0.0;
      for (int from : feed) sum += Read[i * SrcCh + from];
      Inputs[c][static_cast<size_t>(i)] = static_cast<TSample>(sum * scale);
    }
  }
}

// The first `channels` outputs, frames [skip, skip + keep), interleaved.
template <typename TSample>
void Interleave(const std::vector<std::vector<TSample>>& Outputs, std::int64_t Skip, std::int64_t Keep, int Channels,
                double* Interleaved) {
  for (int c = 0; c < Channels; ++c)
    for (std::int64_t i = 0; i < Keep; ++i)
      Interleaved[i * Channels + c] = static_cast<double>(Outputs[static_cast<size_t>(c)][Skip + i]);
}

}  // namespace

void TRenderSession::FollowLatency(double SampleRate, bool Compensate, std::int64_t& Latency, std::int64_t& ToDrop,
                                   std::int64_t& Padding, TRenderResult& Result) const {
  // A delay told while processing (amIOChanged): followed while no output
  // frame is written yet, so the output still lines up with the input.
  const auto now = static_cast<std::int32_t>(FChain.Latency());
  if (now == Result.ReportedLatency) return;
  const std::int64_t usable = UsableLatency(SampleRate);
  const std::int64_t dropped = Latency - ToDrop;
  if (Compensate && Result.Frames == 0 && usable >= dropped) {
    Padding = std::max<std::int64_t>(0, Padding + usable - Latency);
    ToDrop = usable - dropped;
    Latency = usable;
  } else if (Compensate) {
    Result.LateLatency = now;
  }
  Result.ReportedLatency = now;
}

template <typename TSample>
bool TRenderSession::Loop(TSignalSource& Source, const TRenderSettings& Settings, std::int64_t Latency,
                          TAudioFileWriter* Writer, bool Progress, TRenderResult& Result, std::string& Error) {
  using TClock = std::chrono::steady_clock;
  const int inCh = FChain.NumInputs();
  const int outCh = FChain.NumOutputs();
  const int srcCh = Source.Channels();
  const size_t block = static_cast<size_t>(FBlockSize);
  const std::vector<TChannelFeed>& feeds = Settings.Channels.Feeds;

  if (static_cast<int>(feeds.size()) != inCh) {
    Error = "the plug-in changed its number of inputs from " + std::to_string(feeds.size()) + " to " +
            std::to_string(inCh) + " when it was switched on";
    return false;
  }
  // The outputs written: the first OutChannels, or all.
  const int wCh = Settings.OutChannels > 0 ? Settings.OutChannels : outCh;
  if (wCh > outCh || (Writer && Writer->Channels() != wCh)) {
    Error = "the plug-in changed its number of outputs to " + std::to_string(outCh) + " when it was switched on";
    return false;
  }

  // All buffers are made here, none in the loop. Pointer arrays get at
  // least one entry so that a plug-in without inputs still sees an array.
  std::vector<std::vector<TSample>> inBuf(static_cast<size_t>(inCh), std::vector<TSample>(block));
  std::vector<std::vector<TSample>> outBuf(static_cast<size_t>(outCh), std::vector<TSample>(block));
  std::vector<TSample*> inPtr(static_cast<size_t>(std::max(inCh, 1)), nullptr);
  std::vector<TSample*> outPtr(static_cast<size_t>(outCh), nullptr);
  for (int c = 0; c < inCh; ++c) inPtr[c] = inBuf[c].data();
  for (int c = 0; c < outCh; ++c) outPtr[c] = outBuf[c].data();
  std::vector<double> readBuf(block * static_cast<size_t>(srcCh));
  std::vector<double> writeBuf(block * static_cast<size_t>(wCh));

  Result.OutputChannels = wCh;
  std::int64_t padding = Settings.TailFrames + Latency;  // silent frames still to feed
  std::int64_t toDrop = Latency;                         // leading output frames still to drop
  const std::int64_t total = Source.Frames() > 0 ? Source.Frames() + padding : 0;
  const bool showProgress = Progress && static_cast<double>(total) > kProgressMinSeconds * Source.SampleRate();
  TProgressBar bar(total, showProgress);
  TClock::duration busy{};
  bool sourceEnded = false;
  std::int64_t fed = 0;
  std::int64_t quietRun = 0;  // output frames below QuietLevel since the source ended
  TMidiFeed midi(Settings.Midi);

  for (;;) {
    std::int64_t n = 0;
    if (!sourceEnded) {
      n = Source.Read(readBuf.data(), static_cast<std::int64_t>(block), Error);
      if (n < 0) return false;
      sourceEnded = n == 0;
    }
    if (sourceEnded) {
      n = std::min<std::int64_t>(padding, static_cast<std::int64_t>(block));
      if (n == 0) {
        Result.TailCut = Settings.AutoTail && quietRun < Settings.QuietFrames;
        break;
      }
      padding -= n;
      std::fill(readBuf.begin(), readBuf.end(), 0.0);
    } else {
      Result.In.Add(readBuf.data(), n * srcCh);
      Result.SourceFrames += n;
    }
    FeedInputs(readBuf.data(), n, srcCh, feeds, inBuf);
    // Cleared outputs: the accumulating entry adds onto them, and a
    // plug-in that leaves an output alone yields silence, not stale data.
    for (auto& o : outBuf) std::fill(o.begin(), o.end(), TSample(0));

    auto t0 = TClock::now();
    if (TVstEvents* events = midi.Block(fed, n)) FChain.First().Dispatch(effProcessEvents, 0, 0, events);
    FChain.Process(inPtr.data(), outPtr.data(), static_cast<int>(n));
    busy += TClock::now() - t0;
    fed += n;

    FollowLatency(Source.SampleRate(), Settings.CompensateLatency, Latency, toDrop, padding, Result);

    const std::int64_t skip = std::min(toDrop, n);
    toDrop -= skip;
    const std::int64_t keep = n - skip;
    Interleave(outBuf, skip, keep, wCh, writeBuf.data());
    Result.Out.Add(writeBuf.data(), keep * wCh);
    if (keep > 0 && Writer && !Writer->Write(writeBuf.data(), keep, Error)) return false;
    Result.Frames += keep;
    bar.Update(fed);
    if (Settings.AutoTail && sourceEnded) {
      quietRun = QuietRunAfter(writeBuf.data(), keep, wCh, Settings.QuietLevel, quietRun);
      if (quietRun >= Settings.QuietFrames) break;
    }
  }
  bar.Finish();
  Result.LatencyDropped = Latency - toDrop;
  Result.ProcessSeconds = std::chrono::duration<double>(busy).count();
  return true;
}

}  // namespace vb
