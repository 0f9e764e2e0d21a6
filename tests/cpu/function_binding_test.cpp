// Guards against bindings that pick the wrong implementation, forget to
// leave lists when destroyed, or are not found by their addresses.
#include "cpu/function_binding.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "cpu/processor_info.h"

namespace vb {
namespace {

using TIntFunction = int (*)();
int ImplementationA() { return 1; }
int ImplementationB() { return 2; }
int ImplementationC() { return 3; }

TIntFunction GRoutine = nullptr;
TIntFunction GOtherRoutine = nullptr;

bool IsRegistered(const TFunctionBinding* Binding) {
  const auto& all = AllFunctionBindings();
  return std::find(all.begin(), all.end(), Binding) != all.end();
}

TEST(FunctionBinding, WritesTheDefaultAtCreation) {
  GRoutine = nullptr;
  auto binding = std::make_unique<TFunctionBinding>(&GRoutine, &ImplementationC);
  ASSERT_NE(GRoutine, nullptr);
  EXPECT_EQ(GRoutine(), 3);
  EXPECT_TRUE(IsRegistered(binding.get()));
  EXPECT_EQ(binding->Prototype(), static_cast<void*>(&GRoutine));
}

TEST(FunctionBinding, RebindChoosesTheLastImplementationTheFeaturesAllow) {
  auto binding = std::make_unique<TFunctionBinding>(&GRoutine, &ImplementationC);
  binding->Add(&ImplementationA);
  binding->Add(&ImplementationB, TProcessorFeatures{TProcessorFeature::pfSSE2});
  binding->Rebind(TProcessorFeatures{TProcessorFeature::pfMMX, TProcessorFeature::pfSSE2});
  EXPECT_EQ(GRoutine(), 2);
  binding->Rebind(TProcessorFeatures{});
  EXPECT_EQ(GRoutine(), 1);
  EXPECT_EQ(binding->FunctionCount(), 2);
  EXPECT_EQ(binding->Functions(1)->MemoryAlignment, 1);
}

TEST(FunctionBinding, RebindWithoutMatchKeepsTheVariable) {
  auto binding = std::make_unique<TFunctionBinding>(&GRoutine, &ImplementationC);
  binding->Add(&ImplementationB, TProcessorFeatures{TProcessorFeature::pfAVX});
  binding->Rebind(TProcessorFeatures{TProcessorFeature::pfSSE2});
  EXPECT_EQ(GRoutine(), 3);
  binding->Clear();
  binding->Rebind(TProcessorFeatures{TProcessorFeature::pfAVX});
  EXPECT_EQ(GRoutine(), 3);
}

TEST(FunctionBinding, DestroyingABindingRemovesItFromEveryList) {
  TFunctionBindingList first;
  TFunctionBindingList second;
  auto* binding = new TFunctionBinding(&GRoutine, &ImplementationA);
  auto* other = new TFunctionBinding(&GOtherRoutine, &ImplementationB);
  first.AddBinding(binding);
  first.AddBinding(other);
  second.AddBinding(binding);
  second.AddBinding(binding);
  delete binding;
  EXPECT_FALSE(first.HasBinding(binding));
  EXPECT_FALSE(second.HasBinding(binding));
  EXPECT_EQ(first.BindingCount(), 1);
  EXPECT_EQ(second.BindingCount(), 0);
  EXPECT_FALSE(IsRegistered(binding));
  delete other;
}

TEST(FunctionBindingList, DestroyingAListKeepsItsBindings) {
  auto binding = std::make_unique<TFunctionBinding>(&GRoutine, &ImplementationA);
  {
    TFunctionBindingList list;
    list.AddBinding(binding.get());
    EXPECT_EQ(AllFunctionBindingLists().back(), &list);
  }
  EXPECT_TRUE(IsRegistered(binding.get()));
  for (const TFunctionBindingList* list : AllFunctionBindingLists()) EXPECT_FALSE(list->HasBinding(binding.get()));
}

TEST(FunctionBindingList, FindsABindingByVariableOrImplementation) {
  TFunctionBindingList list;
  auto first = std::make_unique<TFunctionBinding>(&GRoutine, &ImplementationA);
  auto second = std::make_unique<TFunctionBinding>(&GOtherRoutine, &ImplementationA);
  first->Add(&ImplementationA);
  second->Add(&ImplementationB);
  list.AddBinding(first.get());
  list.AddBinding(second.get());
  EXPECT_EQ(list.GetBindingByPointer(&ImplementationB), second.get());
  EXPECT_EQ(list.GetBindingByPointer(static_cast<const void*>(&GOtherRoutine)), second.get());
  // The first in list order wins when two bindings share an implementation.
  second->Add(&ImplementationA);
  EXPECT_EQ(list.GetBindingByPointer(&ImplementationA), first.get());
  EXPECT_EQ(list.GetBindingByPointer(&ImplementationC), nullptr);
}

TEST(FunctionBindingList, RemoveBindingRemovesEveryOccurrence) {
  TFunctionBindingList list;
  auto binding = std::make_unique<TFunctionBinding>(&GRoutine, &ImplementationA);
  list.AddBinding(binding.get());
  list.AddBinding(binding.get());
  list.RemoveBinding(binding.get());
  EXPECT_EQ(list.BindingCount(), 0);
}

TEST(FunctionBindingList, RebindReachesEveryBinding) {
  TFunctionBindingList list;
  auto first = std::make_unique<TFunctionBinding>(&GRoutine, &ImplementationA);
  auto second = std::make_unique<TFunctionBinding>(&GOtherRoutine, &ImplementationA);
  first->Add(&ImplementationB, TProcessorFeatures{TProcessorFeature::pfCMOV});
  second->Add(&ImplementationC, TProcessorFeatures{TProcessorFeature::pfCMOV});
  list.AddBinding(first.get());
  list.AddBinding(second.get());
  list.Rebind(TProcessorFeatures{TProcessorFeature::pfCMOV});
  EXPECT_EQ(GRoutine(), 2);
  EXPECT_EQ(GOtherRoutine(), 3);
}

TEST(ProcessorFeatureSet, FollowsTheProcessorInformation) {
  ASSERT_NE(ProcessorInfo(), nullptr);
  const TProcessorInfo& info = *ProcessorInfo();
  const TProcessorFeatures features = ProcessorFeatures();
  EXPECT_EQ(features.Contains(TProcessorFeature::pfMMX), info.HasMMX());
  EXPECT_EQ(features.Contains(TProcessorFeature::pfCMOV), info.HasConditionalMove());
  EXPECT_EQ(features.Contains(TProcessorFeature::pfSSE2), info.SupportsSSE().Contains(TSSESupport::ssSSE2));
  EXPECT_EQ(features.Contains(TProcessorFeature::pfAVX), info.SupportsSSE().Contains(TSSESupport::ssAVX));
  EXPECT_EQ(features.Contains(TProcessorFeature::pfAVX2), info.CanRunAVX2());
  // Bit k of the 16-bit set is member k.
  EXPECT_EQ(TProcessorFeatures{TProcessorFeature::pfAVX}.Bits(), 1u << 12);
}

}  // namespace
}  // namespace vb
