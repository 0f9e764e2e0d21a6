#pragma once

#include <atomic>

namespace vb {

// A value that one thread may write while another reads it, with relaxed
// ordering: a read sees some value that was written, never a torn one, and
// implies no order with other fields. Parameter handlers and sample-rate
// changes only publish their values, and the audio thread retunes the
// filters from them at the start of its next block; a suspend clears filter
// states on the host's thread, where hosts stop processing first. What
// another thread reads meanwhile (a meter's peak on the editor's thread)
// needs no consistent snapshot. On x86-64 a relaxed load or store of a
// Double is a plain move, so the hot per-sample paths pay nothing for it.
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
