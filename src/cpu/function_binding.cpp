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
void EraseAll(std::vector<T*>& list, const T* item) {
  list.erase(std::remove(list.begin(), list.end(), item), list.end());
}

TProcessorFeatures FeaturesOf(const TProcessorInfo& info) {
  TProcessorFeatures features;
  if (info.HasMMX()) features.Include(TProcessorFeature::pfMMX);
  if (info.HasExMMX()) features.Include(TProcessorFeature::pfEMMX);
  if (info.Has3DNow()) features.Include(TProcessorFeature::pf3DNow);
  if (info.HasEx3DNow()) features.Include(TProcessorFeature::pf3DNowExt);
  if (info.HasConditionalMove()) features.Include(TProcessorFeature::pfCMOV);
  // TSSESupport and the SSE members of TProcessorFeature run in the same
  // order, starting at pfSSE.
  const TSSESupports sse = info.SupportsSSE();
  for (unsigned level = 0; level <= unsigned(TSSESupport::ssAVX); ++level)
    if (sse.Contains(TSSESupport(level)))
      features.Include(TProcessorFeature(unsigned(TProcessorFeature::pfSSE) + level));
  if (info.CanRunAVX2()) features.Include(TProcessorFeature::pfAVX2);
  return features;
}

}  // namespace

// --- binding -------------------------------------------------------------------

TFunctionBinding::TFunctionBinding(void* prototype, TGenericProc defaultProc)
    : FDefaultProc(defaultProc), FPrototype(prototype) {
  std::memcpy(FPrototype, &FDefaultProc, sizeof FDefaultProc);
  GAllFunctionBindings.push_back(this);
}

TFunctionBinding::~TFunctionBinding() {
  Clear();
  EraseAll(GAllFunctionBindings, this);
  for (TFunctionBindingList* list : GAllFunctionBindingLists) list->RemoveBinding(this);
}

void TFunctionBinding::Add(TGenericProc proc, TProcessorFeatures requiredFeatures, std::uint8_t memoryAlignment) {
  FFunctions.push_back(std::make_unique<TFunctionInfo>(TFunctionInfo{proc, requiredFeatures, memoryAlignment}));
}

void TFunctionBinding::Clear() { FFunctions.clear(); }

void TFunctionBinding::Rebind(TProcessorFeatures availableFeatures) {
  for (const auto& info : FFunctions)
    if (info->CPUFeatures.IsSubsetOf(availableFeatures)) std::memcpy(FPrototype, &info->Proc, sizeof info->Proc);
}

void TFunctionBinding::RebindProcessorSpecific() { Rebind(GProcessorFeatures); }

TGenericProc TFunctionBinding::CurrentProc() const {
  TGenericProc proc;
  std::memcpy(&proc, FPrototype, sizeof proc);
  return proc;
}

PFunctionInfo TFunctionBinding::Functions(std::int32_t index) const {
  if (index < 0 || index >= FunctionCount()) throw ECpuError(TErrorCode::ecBindingIndexOutOfBounds);
  return FFunctions[std::size_t(index)].get();
}

void TFunctionBinding::SetFunctions(std::int32_t index, const TFunctionInfo& info) { *Functions(index) = info; }

// --- binding list --------------------------------------------------------------

TFunctionBindingList::TFunctionBindingList() { GAllFunctionBindingLists.push_back(this); }

TFunctionBindingList::~TFunctionBindingList() { EraseAll(GAllFunctionBindingLists, this); }

void TFunctionBindingList::AddBinding(TFunctionBinding* binding) { FList.push_back(binding); }

void TFunctionBindingList::RemoveBinding(TFunctionBinding* binding) { EraseAll(FList, binding); }

bool TFunctionBindingList::HasBinding(const TFunctionBinding* binding) const {
  return std::find(FList.begin(), FList.end(), binding) != FList.end();
}

TFunctionBinding* TFunctionBindingList::GetBindingByPointer(const void* p) const {
  for (TFunctionBinding* binding : FList) {
    if (binding->Prototype() == p) return binding;
    for (std::int32_t i = 0; i < binding->FunctionCount(); ++i)
      if (reinterpret_cast<const void*>(binding->Functions(i)->Proc) == p) return binding;
  }
  return nullptr;
}

void TFunctionBindingList::Rebind(TProcessorFeatures availableFeatures) {
  for (TFunctionBinding* binding : FList) binding->Rebind(availableFeatures);
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
