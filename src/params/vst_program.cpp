#include "params/vst_program.h"

#include <string>

#include "error/error.h"
#include "params/parameter_owner.h"

namespace vb {

TCustomVstProgram::TCustomVstProgram(TVstParameterOwner* Owner, TCustomVstPrograms* List) : FOwner(Owner), FList(List) {
  if (FOwner != nullptr && FOwner->ProgramChunksEnabled())
    FChunk = std::make_unique<TChunkStream>();
  else
    FValues.Resize(FOwner != nullptr ? FOwner->ParameterCount() : 0);
}

bool TCustomVstProgram::IsValidIndex(std::int32_t Index) const {
  // Both the record's count and the array's own length bound the index, so a
  // count that runs ahead of the array never reads past it.
  const std::int32_t numParams = FOwner != nullptr ? FOwner->ParameterCount() : FValues.Count();
  return Index >= 0 && Index < numParams && FValues.IsValidIndex(Index);
}

float TCustomVstProgram::GetParameter(std::int32_t Index) const {
  return IsValidIndex(Index) ? FValues.Get(Index) : 0.0f;
}

void TCustomVstProgram::SetParameter(std::int32_t Index, float Value) {
  if (HasChunk() || !IsValidIndex(Index)) return;
  FValues.Set(Index, Value);
}

void TCustomVstProgram::SetParameters(const std::vector<float>& Values) {
  if (Values.empty()) return;
  if (static_cast<std::int64_t>(Values.size()) > ParameterCount())
    throw EParameterError(TErrorCode::ecParameterMismatch, std::to_string(Values.size()));
  for (std::size_t i = 0; i < Values.size(); ++i) SetParameter(static_cast<std::int32_t>(i), Values[i]);
}

std::vector<float> TCustomVstProgram::Parameters() const {
  std::vector<float> values(static_cast<std::size_t>(FValues.Count()));
  for (std::int32_t i = 0; i < FValues.Count(); ++i) values[static_cast<std::size_t>(i)] = FValues.Get(i);
  return values;
}

void TCustomVstProgram::CopyParameters(std::int32_t ProgramNr) {
  if (FList == nullptr || !FList->IsValidIndex(ProgramNr)) return;
  SetParameters((*FList)[ProgramNr].Parameters());
}

void TCustomVstProgram::Assign(const TCustomVstProgram& Source) {
  if (this == &Source) return;
  FValues = Source.FValues;
  if (Source.FChunk != nullptr) {
    if (FChunk == nullptr) FChunk = std::make_unique<TChunkStream>();
    *FChunk = *Source.FChunk;
  }
  OnInitialize = Source.OnInitialize;
  OnStoreChunk = Source.OnStoreChunk;
  OnLoadChunk = Source.OnLoadChunk;
  SetDisplayName(Source.DisplayName());
}

TVstProgram& TCustomVstPrograms::Add() { return Insert(Count()); }

TVstProgram& TCustomVstPrograms::Insert(std::int32_t Index) {
  if (Index < 0 || Index > Count()) Index = Count();
  auto it = FItems.insert(FItems.begin() + Index, std::make_unique<TVstProgram>(FOwner, this));
  if (FOwner != nullptr) FOwner->ProgramCountChanged(Count());
  return **it;
}

void TCustomVstPrograms::Delete(std::int32_t Index) {
  if (!IsValidIndex(Index)) return;
  FItems.erase(FItems.begin() + Index);
  if (FOwner != nullptr) FOwner->ProgramCountChanged(Count());
}

void TCustomVstPrograms::SetParameterCount(std::int32_t Count) {
  for (auto& program : FItems)
    if (!program->HasChunk()) program->SetParameterCount(Count);
}

void TCustomVstPrograms::Clear() {
  while (!FItems.empty()) Delete(Count() - 1);
}

}  // namespace vb
