#include "host/processing_component.h"

#include <algorithm>

namespace vb {

TZarnProcessingComponent::~TZarnProcessingComponent() = default;
void TZarnProcessingComponent::ProcessBlock32(float**, std::uint32_t) {}
void TZarnProcessingComponent::ProcessBlock64(double**, std::uint32_t) {}

bool TZarnProcessingComponentList::Contains(const TZarnProcessingComponent* Item) const {
  return std::find(FItems.begin(), FItems.end(), Item) != FItems.end();
}

void TZarnProcessingComponentList::Add(TZarnProcessingComponent* Item) {
  if (Item && !Contains(Item)) FItems.push_back(Item);
}

void TZarnProcessingComponentList::Remove(TZarnProcessingComponent* Item) {
  auto It = std::find(FItems.begin(), FItems.end(), Item);
  if (It != FItems.end()) FItems.erase(It);
}

void TZarnProcessingComponentList::SetSampleRate(float Value) {
  for (auto It = FItems.rbegin(); It != FItems.rend(); ++It) (*It)->SetSampleRate(Value);
}

void TZarnProcessingComponentList::SetChannels(std::int32_t Value) {
  for (auto It = FItems.rbegin(); It != FItems.rend(); ++It) (*It)->SetChannels(Value);
}

void TZarnProcessingComponentList::SetEnabled(bool Value) {
  for (auto It = FItems.rbegin(); It != FItems.rend(); ++It) (*It)->SetEnabled(Value);
}

void TZarnProcessingComponentList::SetBypass(bool Value) {
  for (auto It = FItems.rbegin(); It != FItems.rend(); ++It) (*It)->SetBypass(Value);
}

void TZarnProcessingComponentList::ProcessMidiEventQueue(const TVstMidiEvent& Event, bool& Filter) {
  for (auto It = FItems.rbegin(); It != FItems.rend(); ++It) {
    bool ItemFilter = false;
    (*It)->ProcessMidiEventQueue(Event, ItemFilter);
    Filter = Filter || ItemFilter;
  }
}

void TZarnProcessingComponentList::NoteOffQueue() {
  for (auto It = FItems.rbegin(); It != FItems.rend(); ++It) (*It)->NoteOffQueue();
}

std::int32_t TZarnProcessingComponentList::TrailingSamplesQueue() const {
  std::int32_t Result = 0;
  for (auto It = FItems.rbegin(); It != FItems.rend(); ++It) Result = std::max(Result, (*It)->TrailingSamples());
  return Result;
}

}  // namespace vb
