#include "params/vst_parameter_category.h"

#include <utility>

#include "params/parameter_owner.h"
#include "params/vst_parameter_property.h"

namespace vb {

TCustomVstParameterCategory::TCustomVstParameterCategory(TVstParameterOwner* Owner, std::string DefaultName)
    : FDisplayName(std::move(DefaultName)), FOwner(Owner) {}

void TCustomVstParameterCategory::SetDisplayName(const std::string& Value) {
  std::string name = Value.substr(0, kMaxDisplayName);
  if (name == FDisplayName) return;
  FDisplayName = std::move(name);
  if (FOwner != nullptr) FOwner->ParameterCategories().CheckParametersInUse();
}

TCustomVstParameterCategory& TCustomVstParameterCategories::Add() {
  FItems.push_back(
      std::make_unique<TCustomVstParameterCategory>(FOwner, "Category " + std::to_string(FItems.size() + 1)));
  CheckParametersInUse();
  return *FItems.back();
}

void TCustomVstParameterCategories::Delete(std::int32_t Index) {
  if (Index < 0 || Index >= Count()) return;
  const std::string name = FItems[static_cast<std::size_t>(Index)]->DisplayName();
  if (FOwner != nullptr) {
    auto& params = FOwner->ParameterProperties();
    for (std::int32_t i = 0; i < params.Count(); ++i)
      if (params[i].Category() == name) params[i].SetCategory("");
  }
  FItems.erase(FItems.begin() + Index);
  CheckParametersInUse();
}

void TCustomVstParameterCategories::Clear() {
  while (!FItems.empty()) Delete(Count() - 1);
}

std::int32_t TCustomVstParameterCategories::CategoryIndex(const std::string& Name) const {
  for (std::size_t i = 0; i < FItems.size(); ++i)
    if (FItems[i]->DisplayName() == Name) return static_cast<std::int32_t>(i);
  return -1;
}

void TCustomVstParameterCategories::CheckParametersInUse() {
  for (auto& cat : FItems) {
    cat->FParametersInCategory = 0;
    if (FOwner == nullptr) continue;
    const auto& params = FOwner->ParameterProperties();
    for (std::int32_t i = 0; i < params.Count(); ++i)
      if (params[i].Category() == cat->DisplayName()) ++cat->FParametersInCategory;
  }
}

}  // namespace vb
