#pragma once
// Parameter categories: named groups that descriptions may refer to by name.
// Each category keeps the number of descriptions naming it.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vb {

class TVstParameterOwner;

class TCustomVstParameterCategory {
 public:
  static constexpr std::size_t kMaxDisplayName = 24;

  TCustomVstParameterCategory(TVstParameterOwner* Owner, std::string DefaultName);

  const std::string& DisplayName() const { return FDisplayName; }
  // Renames the category (first 24 characters) and recounts its descriptions.
  void SetDisplayName(const std::string& Value);
  std::int32_t ParametersInCategory() const { return FParametersInCategory; }
  TVstParameterOwner* VSTModule() const { return FOwner; }

 private:
  friend class TCustomVstParameterCategories;
  std::string FDisplayName;
  std::int32_t FParametersInCategory = 0;
  TVstParameterOwner* FOwner;
};

class TCustomVstParameterCategories {
 public:
  explicit TCustomVstParameterCategories(TVstParameterOwner* Owner) : FOwner(Owner) {}

  // Appends a category named "Category <n>".
  TCustomVstParameterCategory& Add();
  // Descriptions naming the category lose their category first.
  void Delete(std::int32_t Index);
  void Clear();

  std::int32_t Count() const { return static_cast<std::int32_t>(FItems.size()); }
  TCustomVstParameterCategory& operator[](std::int32_t Index) { return *FItems[static_cast<std::size_t>(Index)]; }
  const TCustomVstParameterCategory& operator[](std::int32_t Index) const {
    return *FItems[static_cast<std::size_t>(Index)];
  }

  bool CategoryExists(const std::string& Name) const { return CategoryIndex(Name) >= 0; }
  // First position whose DisplayName equals Name exactly, or -1.
  std::int32_t CategoryIndex(const std::string& Name) const;
  // Recounts ParametersInCategory of every category from the owner's descriptions.
  void CheckParametersInUse();

  TVstParameterOwner* VSTModule() const { return FOwner; }

 private:
  std::vector<std::unique_ptr<TCustomVstParameterCategory>> FItems;
  TVstParameterOwner* FOwner;
};

}  // namespace vb
