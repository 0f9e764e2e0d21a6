#include "dsp/class_list.h"

#include <algorithm>

#include "error/error.h"

namespace vb {

void TClassList::CheckIndex(int Index) const {
  if (Index < 0 || Index >= Count()) throw EDspError(TErrorCode::ecListIndexOutOfBounds, std::to_string(Index));
}

int TClassList::Add(const TDspClassInfo* Item) {
  FItems.push_back(Item);
  return Count() - 1;
}

void TClassList::Insert(int Index, const TDspClassInfo* Item) {
  if (Index < 0 || Index > Count()) throw EDspError(TErrorCode::ecListIndexOutOfBounds, std::to_string(Index));
  FItems.insert(FItems.begin() + Index, Item);
}

const TDspClassInfo* TClassList::Extract(const TDspClassInfo* Item) {
  const int Index = IndexOf(Item);
  if (Index < 0) return nullptr;
  FItems.erase(FItems.begin() + Index);
  return Item;
}

int TClassList::Remove(const TDspClassInfo* Item) {
  const int Index = IndexOf(Item);
  if (Index >= 0) FItems.erase(FItems.begin() + Index);
  return Index;
}

int TClassList::IndexOf(const TDspClassInfo* Item) const noexcept {
  const auto It = std::find(FItems.begin(), FItems.end(), Item);
  return It == FItems.end() ? -1 : static_cast<int>(It - FItems.begin());
}

const TDspClassInfo* TClassList::First() const { return Items(0); }

const TDspClassInfo* TClassList::Last() const { return Items(Count() - 1); }

const TDspClassInfo* TClassList::Items(int Index) const {
  CheckIndex(Index);
  return FItems[static_cast<std::size_t>(Index)];
}

void TClassList::SetItems(int Index, const TDspClassInfo* Item) {
  CheckIndex(Index);
  FItems[static_cast<std::size_t>(Index)] = Item;
}

const TDspClassInfo* TClassList::Find(const std::string& AClassName) const {
  for (const TDspClassInfo* Item : FItems)
    if (AClassName == Item->ClassName) return Item;
  return nullptr;
}

void TClassList::GetClassNames(std::vector<std::string>& Strings) const {
  for (const TDspClassInfo* Item : FItems) Strings.emplace_back(Item->ClassName);
}

}  // namespace vb
