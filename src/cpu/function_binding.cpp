#include "cpu/function_binding.h"

#include <algorithm>
#include <cstring>

#include "cpu/processor_info.h"
#include "error/error.h"

namespace vb {

namespace {

constinit TProcessorFeatures GProcessorFeatures;
constinit std::vector<TFunctionBinding*> GAllFunctionBindings;
constinit std::vector<TFunctionBindingList*> GAllFunctionBindingLists;

template <class T>
void EraseAll(std::vector<T*>& List, const T* Item) {
  List.erase(std::remove(List.begin(), List.end(), Item), List.end());
}

TProcessorFeatures FeaturesOf(const TProcessorInfo& Info) {
  TProcessorFeatures features;
  if (Info.HasMMX()) features.Include(TProcessorFeature::pfMMX);
  if (Info.HasExMMX()) features.Include(TProcessorFeature::pfEMMX);
  if (Info.Has3DNow()) features.Include(TProcessorFeature::pf3DNow);
  if (Info.HasEx3DNow()) features.Include(TProcessorFeature::pf3DNowExt);
  if (Info.HasConditionalMove()) features.Include(TProcessorFeature::pfCMOV);
  // TSSESupport and the SSE members of TProcessorFeature run in the same
  // order, starting at pfSSE.
  const TSSESupports sse = Info.SupportsSSE();
  for (unsigned level = 0; level <= unsigned(TSSESupport::ssAVX); ++level)
    if (sse.Contains(TSSESupport(level)))
      features.Include(TProcessorFeature(unsigned(TProcessorFeature::pfSSE) + level));
  if (Info.CanRunAVX2()) features.Include(TProcessorFeature::pfAVX2);
  return features;
}

}  // namespace

// --- binding -------------------------------------------------------------------

TFunctionBinding::TFunctionBinding(void* Prototype, TGenericProc DefaultProc)
    : FDefaultProc(DefaultProc), FPrototype(Prototype) {
  std::memcpy(FPrototype, &FDefaultProc, sizeof FDefaultProc);
  GAllFunctionBindings.push_back(this);
}

TFunctionBinding::~TFunctionBinding() {
  Clear();
  EraseAll(GAllFunctionBindings, this);
  for (TFunctionBindingList* list : GAllFunctionBindingLists) list->RemoveBinding(this);
}

void TFunctionBinding::Add(TGenericProc Proc, TProcessorFeatures RequiredFeatures, std::uint8_t MemoryAlignment) {
  FFunctions.push_back(std::make_unique<TFunctionInfo>(TFunctionInfo{Proc, RequiredFeatures, MemoryAlignment}));
}

void TFunctionBinding::Clear() { FFunctions.clear(); }

void TFunctionBinding::Rebind(TProcessorFeatures AvailableFeatures) {
  for (const auto& info : FFunctions)
    if (info->CPUFeatures.IsSubsetOf(AvailableFeatures)) std::memcpy(FPrototype, &info->Proc, sizeof info->Proc);
}

void TFunctionBinding::RebindProcessorSpecific() { Rebind(GProcessorFeatures); }

TGenericProc TFunctionBinding::CurrentProc() const {
  TGenericProc proc;
  std::memcpy(&proc, FPrototype, sizeof proc);
  return proc;
}

PFunctionInfo TFunctionBinding::Functions(std::int32_t Index) const {
  if (Index < 0 || Index >= FunctionCount()) throw ECpuError(TErrorCode::ecBindingIndexOutOfBounds);
  return FFunctions[std::size_t(Index)].get();
}

void TFunctionBinding::SetFunctions(std::int32_t Index, const TFunctionInfo& Info) { *Functions(Index) = Info; }

// --- binding list --------------------------------------------------------------

TFunctionBindingList::TFunctionBindingList() { GAllFunctionBindingLists.push_back(this); }

TFunctionBindingList::~TFunctionBindingList() { EraseAll(GAllFunctionBindingLists, this); }

void TFunctionBindingList::AddBinding(TFunctionBinding* Binding) { FList.push_back(Binding); }

void TFunctionBindingList::RemoveBinding(TFunctionBinding* Binding) { EraseAll(FList, Binding); }

bool TFunctionBindingList::HasBinding(const TFunctionBinding* Binding) const {
  return std::find(FList.begin(), FList.end(), Binding) != FList.end();
}

TFunctionBinding* TFunctionBindingList::GetBindingByPointer(const void* P) const {
  for (TFunctionBinding* binding : FList) {
    if (binding->Prototype() == P) return binding;
    for (std::int32_t i = 0; i < binding->FunctionCount(); ++i)
      if (reinterpret_cast<const void*>(binding->Functions(i)->Proc) == P) return binding;
  }
  return nullptr;
}

void TFunctionBindingList::Rebind(TProcessorFeatures AvailableFeatures) {
  for (TFunctionBinding* binding : FList) binding->Rebind(AvailableFeatures);
}

void TFunctionBindingList::RebindProcessorSpecific() { Rebind(GProcessorFeatures); }

// --- process-wide state ----------------------------------------------------------

TProcessorFeatures ProcessorFeatures() { return GProcessorFeatures; }
const std::vector<TFunctionBinding*>& AllFunctionBindings() { return GAllFunctionBindings; }
const std::vector<TFunctionBindingList*>& AllFunctionBindingLists() { return GAllFunctionBindingLists; }

void BindingsStartUp() {
  GProcessorFeatures = {};
  if (const TProcessorInfo* info = ProcessorInfo()) GProcessorFeatures = FeaturesOf(*info);
}

void BindingsShutDown() {
  while (!GAllFunctionBindings.empty()) delete GAllFunctionBindings.front();
  GAllFunctionBindingLists.clear();
  GAllFunctionBindingLists.shrink_to_fit();
  GAllFunctionBindings.shrink_to_fit();
}

}  // namespace vb
