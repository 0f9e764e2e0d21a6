#include "plugin_chain.h"

#include <algorithm>

#include "render_session.h"

namespace vb {

namespace {

void Call(TPluginHost& p, float** in, float** out, int n) { p.Process32(in, out, n); }
void Call(TPluginHost& p, double** in, double** out, int n) { p.Process64(in, out, n); }

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

std::string TPluginChain::SetSampleRate(double rate) {
  std::string refusal;
  for (const auto& s : FStages)
    if (std::string said = s->SetSampleRate(rate); refusal.empty()) refusal = said;
  return refusal;
}

void TPluginChain::Resume() {
  for (const auto& s : FStages) s->Resume();
}

void TPluginChain::Suspend() {
  for (const auto& s : FStages) s->Suspend();
}

template <typename TSample>
void TPluginChain::PrepareBuffers(TBuffers<TSample>& b, int blockSize) {
  const size_t between = FStages.size() - 1;
  b.Data.assign(between, {});
  b.Outputs.assign(between, {});
  b.Inputs.assign(between, {});
  for (size_t k = 0; k < between; ++k) {
    const int outs = FStages[k]->Effect()->numOutputs;
    b.Data[k].assign(static_cast<size_t>(outs), std::vector<TSample>(static_cast<size_t>(blockSize)));
    for (auto& channel : b.Data[k]) b.Outputs[k].push_back(channel.data());
    // The next stage's input j is this stage's output j, wrapping round.
    const int ins = std::max(FStages[k + 1]->Effect()->numInputs, 1);
    for (int j = 0; j < ins; ++j) b.Inputs[k].push_back(b.Data[k][static_cast<size_t>(j % outs)].data());
  }
}

void TPluginChain::Prepare(int blockSize) {
  PrepareBuffers(F32, blockSize);
  PrepareBuffers(F64, blockSize);
}

template <typename TSample>
void TPluginChain::Run(TBuffers<TSample>& b, TSample** inputs, TSample** outputs, int frames) {
  for (size_t k = 0; k < FStages.size(); ++k) {
    const bool last = k + 1 == FStages.size();
    if (!last)  // the accumulating entry adds onto its outputs
      for (auto& channel : b.Data[k]) std::fill(channel.begin(), channel.begin() + frames, TSample(0));
    Call(*FStages[k], k == 0 ? inputs : b.Inputs[k - 1].data(), last ? outputs : b.Outputs[k].data(), frames);
  }
}

void TPluginChain::Process(float** inputs, float** outputs, int frames) { Run(F32, inputs, outputs, frames); }
void TPluginChain::Process(double** inputs, double** outputs, int frames) { Run(F64, inputs, outputs, frames); }

}  // namespace vb
