#include "plugin_chain.h"

#include <algorithm>

#include "render_session.h"

namespace vb {

namespace {

void Call(TPluginHost& P, float** In, float** Out, int N) { P.Process32(In, Out, N); }
void Call(TPluginHost& P, double** In, double** Out, int N) { P.Process64(In, Out, N); }

}  // namespace

TPluginHost& TPluginChain::Add() {
  FStages.push_back(std::make_unique<TPluginHost>());
  return *FStages.back();
}

int TPluginChain::NumInputs() const { return std::max(0, First().Effect()->numInputs); }
int TPluginChain::NumOutputs() const { return FStages.back()->Effect()->numOutputs; }

std::int64_t TPluginChain::Latency() const {
  std::int64_t sum = 0;
  for (const auto& s : FStages) sum += std::max(0, s->Effect()->InitialDelay);
  return sum;
}

std::int64_t TPluginChain::ReportedTail() const {
  std::int64_t sum = 0;
  for (const auto& s : FStages)
    if (const std::intptr_t t = s->Dispatch(effGetTailSize); t > 1) sum += t;
  return sum;
}

std::int64_t TPluginChain::AutomateCount() const {
  std::int64_t sum = 0;
  for (const auto& s : FStages) sum += s->AutomateCount();
  return sum;
}

bool TPluginChain::IsInstrument() const {
  return First().HasFlag(effFlagsIsSynth) || First().Dispatch(effGetPlugCategory) == vpcSynth;
}

std::string TPluginChain::CheckChannels() const {
  for (size_t k = 0; k < FStages.size(); ++k)
    if (std::string why = CheckChannelCounts(*FStages[k]->Effect()); !why.empty())
      return FStages.size() > 1 ? "plug-in " + std::to_string(k + 1) + ": " + why : why;
  return {};
}

std::string TPluginChain::SetSampleRate(double Rate) {
  std::string refusal;
  for (const auto& s : FStages)
    if (std::string said = s->SetSampleRate(Rate); refusal.empty()) refusal = said;
  return refusal;
}

void TPluginChain::Resume() {
  for (const auto& s : FStages) s->Resume();
}

void TPluginChain::Suspend() {
  for (const auto& s : FStages) s->Suspend();
}

template <typename TSample>
void TPluginChain::PrepareBuffers(TBuffers<TSample>& B, int BlockSize) {
  const size_t between = FStages.size() - 1;
  B.Data.assign(between, {});
  B.Outputs.assign(between, {});
  B.Inputs.assign(between, {});
  for (size_t k = 0; k < between; ++k) {
    const int outs = FStages[k]->Effect()->numOutputs;
    B.Data[k].assign(static_cast<size_t>(outs), std::vector<TSample>(static_cast<size_t>(BlockSize)));
    for (auto& channel : B.Data[k]) B.Outputs[k].push_back(channel.data());
    // The next stage's input j is this stage's output j, wrapping round.
    const int ins = std::max(FStages[k + 1]->Effect()->numInputs, 1);
    for (int j = 0; j < ins; ++j) B.Inputs[k].push_back(B.Data[k][static_cast<size_t>(j % outs)].data());
  }
}

void TPluginChain::Prepare(int BlockSize) {
  PrepareBuffers(F32, BlockSize);
  PrepareBuffers(F64, BlockSize);
}

template <typename TSample>
void TPluginChain::Run(TBuffers<TSample>& B, TSample** Inputs, TSample** Outputs, int Frames) {
  for (size_t k = 0; k < FStages.size(); ++k) {
    const bool last = k + 1 == FStages.size();
    if (!last)  // the accumulating entry adds onto its outputs
      for (auto& channel : B.Data[k]) std::fill(channel.begin(), channel.begin() + Frames, TSample(0));
    Call(*FStages[k], k == 0 ? Inputs : B.Inputs[k - 1].data(), last ? Outputs : B.Outputs[k].data(), Frames);
  }
}

void TPluginChain::Process(float** Inputs, float** Outputs, int Frames) { Run(F32, Inputs, Outputs, Frames); }
void TPluginChain::Process(double** Inputs, double** Outputs, int Frames) { Run(F64, Inputs, Outputs, Frames); }

}  // namespace vb
