#pragma once
// One line on stderr for a failure caught where a host called in: the C
// entries (dispatcher, parameters, processing, the library's entry point)
// never let an exception reach the host, so without this line a user's
// "the editor did not open" would leave nothing to go on.
//
// The lines are rate-limited by count, not by clock: the first
// kFailuresTraced failures of a trace are written, after that only the
// 2^k-th (64, 128, 256, ...), so a host calling a failing entry in a loop
// gets a few dozen lines in a lifetime, each carrying the running count.
//
// Threads: any thread may report, including the audio thread; a report
// takes no lock, allocates nothing and makes one write(2) call, and only
// for the lines the limit lets through.
#include <atomic>
#include <cstddef>
#include <cstdint>

namespace vb {

// Marks an entry that is not a dispatcher opcode.
constexpr std::int32_t kNoOpcode = -1;

class TFailureTrace {
 public:
  static constexpr std::uint64_t kFailuresTraced = 32;
  static constexpr std::size_t kMaxOwnerLength = 63;

  // The name the lines start with (the plug-in library's file name); cut
  // to kMaxOwnerLength bytes. Set once, at the library's start-up, before
  // any module exists: it is read without synchronisation.
  void SetOwner(const char* Name) noexcept;

  // Reports the exception being handled: call only from inside a catch
  // block. Entry names the C entry or opcode ("effEditOpen",
  // "processReplacing"); Opcode is the dispatcher's opcode or kNoOpcode.
  void Report(const char* Entry, std::int32_t Opcode = kNoOpcode) noexcept;

  std::uint64_t Failures() const noexcept { return FFailures.load(std::memory_order_relaxed); }

 private:
  std::atomic<std::uint64_t> FFailures{0};
  char FOwner[kMaxOwnerLength + 1] = "plug-in";
};

// Whether the Count-th failure (1-based) gets a line.
bool IsFailureTraced(std::uint64_t Count) noexcept;

// The opcode's name ("effEditOpen"), or nullptr for a number outside the
// dispatcher's list.
const char* DispatcherOpcodeName(std::int32_t Opcode) noexcept;

// The library's one trace: every entry of every module reports here (a
// module may be gone by the time its failure is reported), as do the
// library's entry point and its unloading.
TFailureTrace& LibraryFailureTrace() noexcept;

}  // namespace vb
