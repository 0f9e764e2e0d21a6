#pragma once
// Function bindings: process-wide routine pointers ("procedure variables")
// that point at the best of several implementations of a routine for the
// running processor. Callers always call through the variable; a binding
// writes the chosen implementation into it.
//
// Bindings are created during start-up on the thread that loads the library
// and must be heap objects: BindingsShutDown deletes those still alive.
// Rebinding while other threads call through a variable is not protected.

#include <cstdint>
#include <memory>
#include <type_traits>
#include <vector>

#include "cpu/enum_set.h"

namespace vb {

enum class TProcessorFeature : std::uint8_t {
  pfMMX,
  pfEMMX,
  pf3DNow,
  pf3DNowExt,
  pfCMOV,
  pfSSE,
  pfSSE2,
  pfSSE3,
  pfSSE3x,
  pfSSE4A,
  pfSSE4B,
  pfSSE5,
  pfAVX,
  // Beyond the vendor answers: AVX2 that the processor and the operating
  // system support (TProcessorInfo::CanRunAVX2), on any vendor's processor.
  pfAVX2,
};
using TProcessorFeatures = TEnumSet<TProcessorFeature, std::uint16_t>;

// The common type in which implementations are stored; converted back to
// the variable's own type when written.
using TGenericProc = void (*)();

template <class F>
concept FunctionPointer = std::is_pointer_v<F> && std::is_function_v<std::remove_pointer_t<F>>;

template <FunctionPointer F>
TGenericProc ToGenericProc(F Proc) {
  return reinterpret_cast<TGenericProc>(Proc);
}

struct TFunctionInfo {
  TGenericProc Proc = nullptr;
  TProcessorFeatures CPUFeatures;    // features the implementation needs
  std::uint8_t MemoryAlignment = 1;  // stored only; nothing consults it
};
using PFunctionInfo = TFunctionInfo*;

class TFunctionBinding {
 public:
  // Controls the variable at Prototype (which must hold a TGenericProc-sized
  // function pointer) and writes DefaultProc into it at once.
  TFunctionBinding(void* Prototype, TGenericProc DefaultProc);
  template <FunctionPointer F>
  TFunctionBinding(F* Variable, F DefaultProc)
      : TFunctionBinding(static_cast<void*>(Variable), ToGenericProc(DefaultProc)) {}
  // Removes the binding from the process-wide list and from every list.
  ~TFunctionBinding();
  TFunctionBinding(const TFunctionBinding&) = delete;
  TFunctionBinding& operator=(const TFunctionBinding&) = delete;

  // Appends an implementation. Register from the most general to the most
  // specific: the last one the processor supports wins.
  void Add(TGenericProc Proc, TProcessorFeatures RequiredFeatures = {}, std::uint8_t MemoryAlignment = 1);
  template <FunctionPointer F>
  void Add(F Proc, TProcessorFeatures RequiredFeatures = {}, std::uint8_t MemoryAlignment = 1) {
    Add(ToGenericProc(Proc), RequiredFeatures, MemoryAlignment);
  }
  void Clear();
  // Writes the last registered implementation whose features are all in
  // AvailableFeatures; keeps the variable when none qualifies.
  void Rebind(TProcessorFeatures AvailableFeatures);
  void RebindProcessorSpecific();

  void* Prototype() const { return FPrototype; }
  TGenericProc DefaultProc() const { return FDefaultProc; }
  // What the controlled variable holds now.
  TGenericProc CurrentProc() const;
  std::int32_t FunctionCount() const { return std::int32_t(FFunctions.size()); }
  PFunctionInfo Functions(std::int32_t Index) const;
  void SetFunctions(std::int32_t Index, const TFunctionInfo& Info);

 private:
  std::vector<std::unique_ptr<TFunctionInfo>> FFunctions;
  TGenericProc FDefaultProc;
  void* FPrototype;
};

// A list of bindings it does not own (a unit's bindings, rebound together).
class TFunctionBindingList {
 public:
  TFunctionBindingList();
  ~TFunctionBindingList();
  TFunctionBindingList(const TFunctionBindingList&) = delete;
  TFunctionBindingList& operator=(const TFunctionBindingList&) = delete;

  void AddBinding(TFunctionBinding* Binding);
  // Removes every occurrence.
  void RemoveBinding(TFunctionBinding* Binding);
  bool HasBinding(const TFunctionBinding* Binding) const;
  // The first binding whose Prototype is P or one of whose implementations
  // is P; null when there is none.
  TFunctionBinding* GetBindingByPointer(const void* P) const;
  template <FunctionPointer F>
  TFunctionBinding* GetBindingByPointer(F Proc) const {
    return GetBindingByPointer(reinterpret_cast<const void*>(Proc));
  }
  void Rebind(TProcessorFeatures AvailableFeatures);
  void RebindProcessorSpecific();

  std::int32_t BindingCount() const { return std::int32_t(FList.size()); }
  TFunctionBinding* Binding(std::int32_t Index) const { return FList[std::size_t(Index)]; }

 private:
  std::vector<TFunctionBinding*> FList;
};

// The feature set of the running processor (empty before BindingsStartUp).
TProcessorFeatures ProcessorFeatures();
// Every binding and every binding list in existence.
const std::vector<TFunctionBinding*>& AllFunctionBindings();
const std::vector<TFunctionBindingList*>& AllFunctionBindingLists();

// Start-up: the feature set from ProcessorInfo (empty when there is none).
void BindingsStartUp();
// Shut-down: deletes every remaining binding, forgets the lists.
void BindingsShutDown();

}  // namespace vb
