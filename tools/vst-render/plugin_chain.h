// The plug-ins a render runs through, in order (-p A -p B ...): the first
// takes the input, each next one takes the outputs of the one before (input
// j from output j, wrapping round when it has fewer), the last one's
// outputs are the render's. The chain's delay is the sum of the stages'
// delays, so that compensating it lines the output up with the input.
//
// Threads: the thread that loaded the plug-ins; Process from the render
// loop only, after Prepare (which makes every buffer: processing allocates
// nothing).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "plugin_host.h"

namespace vb {

class TPluginChain {
 public:
  // A new, empty stage at the end; load it before using the chain.
  TPluginHost& Add();
  size_t Size() const { return FStages.size(); }
  TPluginHost& Stage(size_t K) const { return *FStages[K]; }
  TPluginHost& First() const { return *FStages.front(); }

  int NumInputs() const;
  int NumOutputs() const;
  // The sum of the stages' reported delays (a negative one counts as 0).
  std::int64_t Latency() const;
  // The sum of the tails the stages report (effGetTailSize above 1).
  std::int64_t ReportedTail() const;
  std::int64_t AutomateCount() const;
  bool IsInstrument() const;
  // Empty when every stage's channel counts can be rendered, else why not.
  std::string CheckChannels() const;
  // effSetSampleRate on every stage (suspended); the first refusal, if any.
  std::string SetSampleRate(double Rate);

  void Resume();
  void Suspend();
  void Prepare(int BlockSize);
  void Process(float** Inputs, float** Outputs, int Frames);
  void Process(double** Inputs, double** Outputs, int Frames);

 private:
  template <typename TSample>
  struct TBuffers {
    std::vector<std::vector<std::vector<TSample>>> Data;  // per stage but the last, per output
    std::vector<std::vector<TSample*>> Outputs;           // per stage but the last
    std::vector<std::vector<TSample*>> Inputs;            // per stage but the first
  };
  template <typename TSample>
  void PrepareBuffers(TBuffers<TSample>& B, int BlockSize);
  template <typename TSample>
  void Run(TBuffers<TSample>& B, TSample** Inputs, TSample** Outputs, int Frames);

  std::vector<std::unique_ptr<TPluginHost>> FStages;
  TBuffers<float> F32;
  TBuffers<double> F64;
};

}  // namespace vb
