#pragma once
// The steps of the cross-thread protocols at which one thread may be stopped
// while another runs: between the two operations whose order the protocol
// relies on. Each protocol class (TDriveControls, TEditorLink,
// TPendingParameters) takes a sync-point policy as a template parameter.
// The plug-in builds them with TNoSyncPoints, whose calls compile to
// nothing; tests build them with a policy that holds a thread at a chosen
// step, so that every ordering the protocol allows is tried on purpose
// rather than hoped for under load.
//
// The named steps stand where the protocol's comments place them. The
// policy also names the type of every atomic a protocol shares: a test's
// policy substitutes one that reports each operation on it
// (spAtomicOperation), so a thread can be held between any two of its
// operations, including two that a later edit puts where one stood (a load
// and a store in place of an exchange, say).

#include <atomic>
#include <cstdint>

namespace vb {

enum class TSyncPoint : std::uint8_t {
  // TDriveControls::Publish: the value is stored, the generation not yet
  // bumped (nor the resamplers' retune mark set).
  spPublishStored,
  // TDriveControls::Take: the generation is read, the values not yet.
  spTakeGeneration,
  // TEditorLink::Notify: counted as running, the editor not yet read.
  spNotifyCounted,
  // TEditorLink::Notify: the editor is read and about to be called.
  spNotifyLoaded,
  // TEditorLink::Detach: the editor is cleared, the wait not yet begun.
  spDetachCleared,
  // TEditorLink::Detach: one round of waiting for running notifications.
  spDetachWaiting,
  // TPendingParameters::Mark: the value is stored, the mark not yet set.
  spMarking,
  // TPendingParameters::Take: the marks are taken; the caller has not yet
  // read the values they stand for.
  spMarksTaken,
  // Any operation on one of a protocol's atomics, reported just before it
  // (test policies only).
  spAtomicOperation,
  spCount
};

// The plug-in's policy: no step is observed.
struct TNoSyncPoints {
  constexpr void Reached(TSyncPoint) const noexcept {}
  template <class T>
  using TAtomic = std::atomic<T>;
};

}  // namespace vb
