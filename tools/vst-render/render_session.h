// The processing loop: reads the source block by block, feeds the plug-in's
// inputs, calls its 32-bit or 64-bit processing entry, writes the outputs,
// and measures levels and speed on the way.
#pragma once

#include <cstdint>
#include <string>

#include "audio_file.h"
#include "plugin_host.h"
#include "signal_source.h"
#include "signal_stats.h"

namespace vb {

// Channel counts beyond this are taken as a broken record, not as a request
// for that many buffers.
constexpr int kMaxPluginChannels = 256;

// Empty when the record's input and output counts can be rendered, else why not.
std::string CheckChannelCounts(const TVSTEffect& effect);

struct TRenderResult {
  TSignalStats In;
  TSignalStats Out;
  std::int64_t Frames = 0;      // sample frames rendered
  double ProcessSeconds = 0.0;  // wall time spent inside the plug-in's processing calls
  int OutputChannels = 0;
  double RealtimeFactor(double sampleRate) const;  // seconds of audio per second of processing
};

class TRenderSession {
 public:
  // The plug-in must be open (TPluginHost::Open) and not yet resumed.
  TRenderSession(TPluginHost& plugin, int blockSize, bool doublePrecision);

  // Renders the whole source; writer may be null (measure only). Resumes
  // the plug-in before the first block and suspends it after the last.
  // Source channel c % channels feeds plug-in input c, so a mono file
  // reaches every input.
  bool Run(TSignalSource& source, TAudioFileWriter* writer, bool progress, TRenderResult& result, std::string& error);

 private:
  template <typename TSample>
  bool Loop(TSignalSource& source, TAudioFileWriter* writer, bool progress, TRenderResult& result, std::string& error);

  TPluginHost& FPlugin;
  int FBlockSize;
  bool FDouble;
};

}  // namespace vb
