#pragma once
// Parameter values that the audio thread may read while a host or editor
// thread writes them: each element is a relaxed atomic 32-bit float. Resizing
// happens only while parameters are being set up, never during processing.

#include <atomic>
#include <cstdint>
#include <memory>

namespace vb {

class TParameterValueArray {
 public:
  TParameterValueArray() = default;
  explicit TParameterValueArray(std::int32_t Count) { Resize(Count); }
  TParameterValueArray(const TParameterValueArray& Other) { *this = Other; }
  TParameterValueArray& operator=(const TParameterValueArray& Other);

  std::int32_t Count() const { return FCount; }
  bool IsValidIndex(std::int32_t Index) const { return Index >= 0 && Index < FCount; }

  // Callers pass a valid index.
  float Get(std::int32_t Index) const { return FValues[Index].load(std::memory_order_relaxed); }
  void Set(std::int32_t Index, float Value) { FValues[Index].store(Value, std::memory_order_relaxed); }

  // New entries are 0.0; existing entries keep their values. Allocates.
  void Resize(std::int32_t Count);

 private:
  std::unique_ptr<std::atomic<float>[]> FValues;
  std::int32_t FCount = 0;
};

}  // namespace vb
