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
  auto it = std::find(FItems.begin(), FItems.end(), Item);
  if (it != FItems.end()) FItems.erase(it);
}

void TZarnProcessingComponentList::SetSampleRate(float Value) {
  for (auto it = FItems.rbegin(); it != FItems.rend(); ++it) (*it)->SetSampleRate(Value);
}

void TZarnProcessingComponentList::SetChannels(std::int32_t Value) {
  for (auto it = FItems.rbegin(); it != FItems.rend(); ++it) (*it)->SetChannels(Value);
}

void TZarnProcessingComponentList::SetEnabled(bool Value) {
  for (auto it = FItems.rbegin(); it != FItems.rend(); ++it) (*it)->SetEnabled(Value);
}

void TZarnProcessingComponentList::SetBypass(bool Value) {
  for (auto it = FItems.rbegin(); it != FItems.rend(); ++it) (*it)->SetBypass(Value);
}

void TZarnProcessingComponentList::ProcessMidiEventQueue(const TVstMidiEvent& Event, bool& Filter) {
  for (auto it = FItems.rbegin(); it != FItems.rend(); ++it) {
    bool itemFilter = false;
    (*it)->ProcessMidiEventQueue(Event, itemFilter);
    Filter = Filter || itemFilter;
  }
}

void TZarnProcessingComponentList::NoteOffQueue() {
  for (auto it = FItems.rbegin(); it != FItems.rend(); ++it) (*it)->NoteOffQueue();
}

std::int32_t TZarnProcessingComponentList::TrailingSamplesQueue() const {
  std::int32_t result = 0;
  for (auto it = FItems.rbegin(); it != FItems.rend(); ++it) result = std::max(result, (*it)->TrailingSamples());
  return result;
}

}  // namespace vb
