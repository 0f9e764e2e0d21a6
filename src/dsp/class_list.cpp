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
  const int index = IndexOf(Item);
  if (index < 0) return nullptr;
  FItems.erase(FItems.begin() + index);
  return Item;
}

int TClassList::Remove(const TDspClassInfo* Item) {
  const int index = IndexOf(Item);
  if (index >= 0) FItems.erase(FItems.begin() + index);
  return index;
}

int TClassList::IndexOf(const TDspClassInfo* Item) const noexcept {
  const auto it = std::find(FItems.begin(), FItems.end(), Item);
  return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
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
  for (const TDspClassInfo* item : FItems)
    if (AClassName == item->ClassName) return item;
  return nullptr;
}

void TClassList::GetClassNames(std::vector<std::string>& Strings) const {
  for (const TDspClassInfo* item : FItems) Strings.emplace_back(item->ClassName);
}

}  // namespace vb
