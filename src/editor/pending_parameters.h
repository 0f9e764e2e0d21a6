#pragma once
// The parameters whose controls have to catch up with a value that another
// thread set: one bit per parameter. Writers on any thread (often the host's
// audio thread) only set their bit; the editor's thread takes all bits at
// once and shows the values as they are then. No lock, no allocation, no
// system call; a writer never waits.
//
// The protocol: a writer stores the new value before it marks, and the mark
// is a release that the taker's acquire pairs with; the taker clears every
// bit in the same step that reads them and reads the values afterwards.
// Whoever takes a bit reads that value or a later one, and a mark set after
// the take stays for the next one, so the controls always end up showing
// the latest value. TSync marks the gaps (processor/sync_points.h).

#include <atomic>
#include <cstdint>

#include "processor/drive_parameter.h"
#include "processor/sync_points.h"

namespace vb {

template <class TSync>
class TBasicPendingParameters {
 public:
  static_assert(kParamCount <= 32, "one bit per parameter");

  // Any thread, after storing the parameter's value.
  void Mark(TDriveParameter Parameter) {
    FSync.Reached(TSyncPoint::spMarking);
    FBits.fetch_or(Bit(Parameter), std::memory_order_release);
  }
  bool IsMarked(TDriveParameter Parameter) const {
    return (FBits.load(std::memory_order_relaxed) & Bit(Parameter)) != 0;
  }

  // Editor thread: every mark made so far, cleared. Read the values after.
  std::uint32_t Take() {
    const std::uint32_t bits = FBits.exchange(0, std::memory_order_acquire);
    FSync.Reached(TSyncPoint::spMarksTaken);
    return bits;
  }

  static constexpr std::uint32_t Bit(TDriveParameter Parameter) { return std::uint32_t(1) << Parameter; }

  // Tests only: the policy that observes the protocol's steps.
  TSync& SyncPoints() { return FSync; }

 private:
  template <class T>
  using TAtomic = typename TSync::template TAtomic<T>;

  TAtomic<std::uint32_t> FBits{0};
  [[no_unique_address]] TSync FSync;
};

using TPendingParameters = TBasicPendingParameters<TNoSyncPoints>;

}  // namespace vb
