#pragma once

#include <atomic>

namespace vb {

// A value that one thread writes while another reads it, with relaxed
// ordering. Parameter handlers retune filters on whichever thread sets a
// parameter while the audio thread keeps running them; the audio thread only
// needs each coefficient to be some value that was written, not a consistent
// snapshot of all of them. On x86-64 a relaxed load or store of a Double is a
// plain move, so the hot per-sample paths pay nothing for it.
template <class T>
class TRelaxed {
 public:
  constexpr TRelaxed(T Value = T()) noexcept : FValue(Value) {}
  TRelaxed(const TRelaxed& Other) noexcept : FValue(Other.Load()) {}
  TRelaxed& operator=(const TRelaxed& Other) noexcept {
    Store(Other.Load());
    return *this;
  }
  TRelaxed& operator=(T Value) noexcept {
    Store(Value);
    return *this;
  }

  operator T() const noexcept { return Load(); }
  T Load() const noexcept { return FValue.load(std::memory_order_relaxed); }
  void Store(T Value) noexcept { FValue.store(Value, std::memory_order_relaxed); }

 private:
  std::atomic<T> FValue;
};

}  // namespace vb
