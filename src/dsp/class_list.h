#pragma once

#include <string>
#include <vector>

#include "dsp/dsp_class.h"

namespace vb {

// An ordered list of classes; it does not own them (they are static).
// Indices outside 0 .. Count - 1 raise EDspError.
class TClassList {
 public:
  int Count() const noexcept { return static_cast<int>(FItems.size()); }
  int Add(const TDspClassInfo* Item);
  void Insert(int Index, const TDspClassInfo* Item);
  // Removes Item and returns it, or returns null when it is not listed.
  const TDspClassInfo* Extract(const TDspClassInfo* Item);
  // Removes Item and returns its former index, or -1.
  int Remove(const TDspClassInfo* Item);
  int IndexOf(const TDspClassInfo* Item) const noexcept;
  const TDspClassInfo* First() const;
  const TDspClassInfo* Last() const;
  const TDspClassInfo* Items(int Index) const;
  void SetItems(int Index, const TDspClassInfo* Item);
  void Clear() noexcept { FItems.clear(); }

  // The first class whose name equals AClassName exactly (case-sensitive),
  // or null.
  const TDspClassInfo* Find(const std::string& AClassName) const;
  // Appends every class name in list order.
  void GetClassNames(std::vector<std::string>& Strings) const;

 private:
  void CheckIndex(int Index) const;

  std::vector<const TDspClassInfo*> FItems;
};

}  // namespace vb
