#pragma once
// The oversampled work buffers of the drive: per input and per output
// channel one buffer of Doubles, whose first half is also the 32-bit view.
//
// The audio thread takes the current set once per block (Acquire) and uses
// only that set for the whole block. Resize builds a new set and publishes
// it; the set it replaces stays alive until the next Resize or the
// destruction, so a block that raced a resize still works on valid memory.
// Resize and Release run on the host's set-up thread.

#include <atomic>
#include <cstddef>
#include <memory>
#include <vector>

namespace vb {

class TWorkBufferSet {
 public:
  TWorkBufferSet(int Inputs, int Outputs, std::size_t Samples);

  std::size_t Samples() const { return FSamples; }
  int Inputs() const { return static_cast<int>(FIn64.size()); }
  int Outputs() const { return static_cast<int>(FOut64.size()); }
  // Arrays of channel pointers (the shapes the chain takes).
  double** In64() { return FIn64.data(); }
  double** Out64() { return FOut64.data(); }
  float** In32() { return FIn32.data(); }
  float** Out32() { return FOut32.data(); }

 private:
  std::size_t FSamples;
  std::vector<std::unique_ptr<std::byte[]>> FStorage;
  std::vector<double*> FIn64, FOut64;
  std::vector<float*> FIn32, FOut32;
};

class TWorkBuffers {
 public:
  // Samples per channel of the current set; 0 while there is none.
  std::size_t Size() const;
  // Replaces the set by one of Samples per channel (contents start at 0).
  // Equal sizes and channel counts change nothing.
  void Resize(int Inputs, int Outputs, std::size_t Samples);
  // Frees every set; processing afterwards finds none.
  void Release();
  // Audio thread: the set to use for one block, or null.
  TWorkBufferSet* Acquire() const { return FCurrent.load(std::memory_order_acquire); }

 private:
  std::unique_ptr<TWorkBufferSet> FActive, FRetired;
  std::atomic<TWorkBufferSet*> FCurrent{nullptr};
};

}  // namespace vb
