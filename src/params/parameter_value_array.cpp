#include "params/parameter_value_array.h"

#include <algorithm>

namespace vb {

TParameterValueArray& TParameterValueArray::operator=(const TParameterValueArray& Other) {
  if (this == &Other) return *this;
  Resize(Other.FCount);
  for (std::int32_t i = 0; i < FCount; ++i) Set(i, Other.Get(i));
  return *this;
}

void TParameterValueArray::Resize(std::int32_t Count) {
  Count = std::max<std::int32_t>(Count, 0);
  if (Count == FCount) return;
  auto values = std::make_unique<std::atomic<float>[]>(static_cast<std::size_t>(Count));
  for (std::int32_t i = 0; i < Count; ++i) values[i].store(i < FCount ? Get(i) : 0.0f, std::memory_order_relaxed);
  FValues = std::move(values);
  FCount = Count;
}

}  // namespace vb
