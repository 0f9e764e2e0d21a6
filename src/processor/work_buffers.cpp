#include "processor/work_buffers.h"

namespace vb {

TWorkBufferSet::TWorkBufferSet(int Inputs, int Outputs, std::size_t Samples) : FSamples(Samples) {
  auto add = [&](std::vector<double*>& View64, std::vector<float*>& View32) {
    // Byte storage: both views' sample objects may live in it (the 32-bit
    // view is the first half of the same memory). Zeroed.
    FStorage.emplace_back(new std::byte[Samples * sizeof(double)]());
    View64.push_back(reinterpret_cast<double*>(FStorage.back().get()));
    View32.push_back(reinterpret_cast<float*>(FStorage.back().get()));
  };
  for (int i = 0; i < Inputs; ++i) add(FIn64, FIn32);
  for (int i = 0; i < Outputs; ++i) add(FOut64, FOut32);
}

std::size_t TWorkBuffers::Size() const { return FActive ? FActive->Samples() : 0; }

void TWorkBuffers::Resize(int Inputs, int Outputs, std::size_t Samples) {
  if (FActive && FActive->Samples() == Samples && FActive->Inputs() == Inputs && FActive->Outputs() == Outputs) return;
  auto next = std::make_unique<TWorkBufferSet>(Inputs, Outputs, Samples);
  FCurrent.store(next.get(), std::memory_order_release);
  FRetired = std::move(FActive);
  FActive = std::move(next);
}

void TWorkBuffers::Release() {
  FCurrent.store(nullptr, std::memory_order_release);
  FActive.reset();
  FRetired.reset();
}

}  // namespace vb
