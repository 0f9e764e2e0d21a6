// The processing loop: reads the source block by block, feeds the plug-in's
// inputs through the channel map, calls its 32-bit or 64-bit processing
// entry, writes the outputs, and measures levels and speed on the way.
// After the source it feeds silence: the tail, and as many frames as the
// plug-in's reported delay, whose leading output frames it drops so that
// the output lines up with the input. A delay the plug-in changes while
// processing is followed until the first output frame is written.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "audio_file.h"
#include "channel_map.h"
#include "plugin_chain.h"
#include "plugin_host.h"
#include "signal_source.h"
#include "signal_stats.h"

namespace vb {

// Channel counts beyond this are taken as a broken record, not as a request
// for that many buffers.
constexpr int kMaxPluginChannels = 256;
// A reported delay above this many seconds is taken as broken and left alone.
constexpr double kMaxLatencySeconds = 60.0;

// Empty when the record's input and output counts can be rendered, else why not.
std::string CheckChannelCounts(const TVSTEffect& Effect);

// A MIDI event at a frame of the fed stream (the source, then the silence
// after it).
struct TTimedMidi {
  std::int64_t Frame = 0;
  std::uint8_t Bytes[3] = {};
};

struct TRenderSettings {
  TChannelMap Channels;           // one feed per plug-in input
  std::int64_t TailFrames = 0;    // silence fed after the source
  bool CompensateLatency = true;  // drop the reported delay from the start
  int OutChannels = 0;            // outputs written (the first ones); 0 = all
  // An automatic tail: after the source, render until every output has
  // stayed below QuietLevel for QuietFrames, TailFrames at most.
  // Sent to the first plug-in (effProcessEvents) before the block that
  // holds each one's frame, sample-accurately; sorted by frame.
  std::vector<TTimedMidi> Midi;
  bool AutoTail = false;
  double QuietLevel = 3.1622776601683795e-05;  // -90 dBFS
  std::int64_t QuietFrames = 0;
};

struct TRenderResult {
  TSignalStats In;
  TSignalStats Out;
  std::int64_t Frames = 0;      // sample frames written (or measured)
  double ProcessSeconds = 0.0;  // wall time spent inside the plug-in's processing calls
  int OutputChannels = 0;
  std::int64_t SourceFrames = 0;     // frames the source gave
  std::int32_t ReportedLatency = 0;  // the record's delay after resume, or as changed before any output, in samples
  std::int64_t LatencyDropped = 0;   // leading frames dropped for it
  // A delay the plug-in reported while processing, after output had been
  // written (so it could not be compensated); -1 when there was none.
  std::int32_t LateLatency = -1;
  bool TailCut = false;                            // an automatic tail reached TailFrames before the output went quiet
  double RealtimeFactor(double SampleRate) const;  // seconds of audio per second of processing
};

class TRenderSession {
 public:
  // The plug-ins must be open (TPluginHost::Open) and not yet resumed.
  TRenderSession(TPluginChain& Chain, int BlockSize, bool DoublePrecision);

  // Renders the whole source; writer may be null (measure only). Resumes
  // the plug-in before the first block, reads its delay, and suspends it
  // after the last.
  bool Run(TSignalSource& Source, const TRenderSettings& Settings, TAudioFileWriter* Writer, bool Progress,
           TRenderResult& Result, std::string& Error);

 private:
  template <typename TSample>
  bool Loop(TSignalSource& Source, const TRenderSettings& Settings, std::int64_t Latency, TAudioFileWriter* Writer,
            bool Progress, TRenderResult& Result, std::string& Error);
  // Follows a delay the chain reports anew; `latency`, `toDrop` and
  // `padding` are the loop's frames of delay, still to drop, still to feed.
  void FollowLatency(double SampleRate, bool Compensate, std::int64_t& Latency, std::int64_t& ToDrop,
                     std::int64_t& Padding, TRenderResult& Result) const;
  // The delay the record reports now, or -1 when it is out of range.
  std::int64_t UsableLatency(double SampleRate) const;

  TPluginChain& FChain;
  int FBlockSize;
  bool FDouble;
};

}  // namespace vb
