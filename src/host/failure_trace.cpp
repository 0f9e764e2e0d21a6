#include "host/failure_trace.h"

#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstring>
#include <exception>

#include "host/vst_abi.h"

namespace vb {

namespace {

// The text of the exception being handled; rethrowing the current
// exception copies nothing.
const char* CurrentFailureText() noexcept {
  try {
    throw;
  } catch (const std::exception& failure) {
    return failure.what();
  } catch (...) {
    return "an exception that is not a std::exception";
  }
}

}  // namespace

bool IsFailureTraced(std::uint64_t Count) noexcept {
  return Count <= TFailureTrace::kFailuresTraced || std::has_single_bit(Count);
}

const char* DispatcherOpcodeName(std::int32_t Opcode) noexcept {
  switch (Opcode) {
#define VB_OPCODE_NAME(Name, Code, Answer) \
  case Code:                               \
    return "eff" #Name;
    VB_DISPATCHER_OPCODES(VB_OPCODE_NAME)
#undef VB_OPCODE_NAME
    default:
      return nullptr;
  }
}

void TFailureTrace::SetOwner(const char* Name) noexcept {
  const std::size_t length = Name ? std::min(std::strlen(Name), kMaxOwnerLength) : 0;
  std::memcpy(FOwner, Name ? Name : "", length);
  FOwner[length] = '\0';
}

void TFailureTrace::Report(const char* Entry, std::int32_t Opcode) noexcept {
  const std::uint64_t count = FFailures.fetch_add(1, std::memory_order_relaxed) + 1;
  if (!IsFailureTraced(count)) return;
  char line[512];
  char where[48] = "";
  if (Opcode != kNoOpcode) std::snprintf(where, sizeof(where), " (opcode %d)", int(Opcode));
  int length =
      std::snprintf(line, sizeof(line), "%s: %s%s failed: %s [failure %llu%s]\n", FOwner[0] ? FOwner : "plug-in",
                    Entry ? Entry : "?", where, CurrentFailureText(), static_cast<unsigned long long>(count),
                    count == kFailuresTraced ? "; from now on only every doubling is shown" : "");
  if (length <= 0) return;
  if (std::size_t(length) >= sizeof(line)) {
    // Cut: the line still ends the line.
    length = int(sizeof(line) - 1);
    line[length - 1] = '\n';
  }
  // One write: the line is not interleaved with other threads' output.
  [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, line, std::size_t(length));
}

TFailureTrace& LibraryFailureTrace() noexcept {
  static TFailureTrace trace;
  return trace;
}

}  // namespace vb
