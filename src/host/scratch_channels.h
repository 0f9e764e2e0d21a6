#pragma once
// Per-channel scratch buffers used where a processing entry needs buffers
// of its own (the accumulating entry, the queue mode). Sized outside the
// audio thread; the audio thread only clears and uses them, processing host
// blocks longer than Frames() in pieces.

#include <cstdint>
#include <vector>

namespace vb {

template <typename T>
class TScratchChannels {
 public:
  // Allocates Channels buffers of Frames samples each (not on the audio thread).
  void Resize(std::int32_t Channels, std::int32_t Frames) {
    if (Channels < 0) Channels = 0;
    if (Frames < 1) Frames = 1;
    FFrames = Frames;
    FData.assign(static_cast<std::size_t>(Channels) * static_cast<std::size_t>(Frames), T{});
    FPointers.assign(static_cast<std::size_t>(Channels), nullptr);
    for (std::int32_t c = 0; c < Channels; ++c)
      FPointers[static_cast<std::size_t>(c)] = FData.data() + static_cast<std::size_t>(c) * Frames;
  }

  std::int32_t Channels() const { return static_cast<std::int32_t>(FPointers.size()); }
  std::int32_t Frames() const { return FFrames; }
  T** Pointers() { return FPointers.data(); }
  T* Channel(std::int32_t C) { return FPointers[static_cast<std::size_t>(C)]; }

  // Zeroes the first Count samples of every channel (Count <= Frames()).
  void Clear(std::int32_t Count) {
    for (T* p : FPointers)
      for (std::int32_t i = 0; i < Count; ++i) p[i] = T{};
  }

 private:
  std::int32_t FFrames = 0;
  std::vector<T> FData;
  std::vector<T*> FPointers;
};

}  // namespace vb
