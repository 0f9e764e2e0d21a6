#pragma once
// The parameters whose controls have to catch up with a value that another
// thread set: one bit per parameter. Writers on any thread (often the host's
// audio thread) only set their bit; the editor's thread takes all bits at
// once and shows the values as they are then. No lock, no allocation, no
// system call; a writer never waits.
//
// A writer stores the new value before it marks, and the mark is a release
// that the taker's acquire pairs with: whoever takes a bit reads that value
// or a later one, so the controls always end up showing the latest value.

#include <atomic>
#include <cstdint>

#include "processor/drive_parameter.h"

namespace vb {

class TPendingParameters {
 public:
  static_assert(kParamCount <= 32, "one bit per parameter");

  // Any thread.
  void Mark(TDriveParameter parameter) { FBits.fetch_or(Bit(parameter), std::memory_order_release); }
  bool IsMarked(TDriveParameter parameter) const {
    return (FBits.load(std::memory_order_relaxed) & Bit(parameter)) != 0;
  }

  // Editor thread: every mark made so far, cleared.
  std::uint32_t Take() { return FBits.exchange(0, std::memory_order_acquire); }

  static constexpr std::uint32_t Bit(TDriveParameter parameter) { return std::uint32_t(1) << parameter; }

 private:
  std::atomic<std::uint32_t> FBits{0};
};

}  // namespace vb
