#pragma once
// Programs (presets): one complete set of parameter values and a name, or,
// in chunk mode, an opaque byte chunk. The list's order is the program number.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "params/chunk_stream.h"
#include "params/parameter_value_array.h"

namespace vb {

class TVstParameterOwner;
class TCustomVstProgram;
class TCustomVstPrograms;

using TProgramNotifyEvent = std::function<void(TCustomVstProgram& Sender)>;
using TProgramChunkEvent = std::function<void(TCustomVstProgram& Sender, std::int32_t Index, bool IsPreset)>;

class TCustomVstProgram {
 public:
  static constexpr std::size_t kMaxDisplayName = 50;

  // Values or chunk is decided here, from the owner's flags at this moment.
  TCustomVstProgram(TVstParameterOwner* Owner, TCustomVstPrograms* List);

  const std::string& DisplayName() const { return FDisplayName; }
  void SetDisplayName(const std::string& Value) { FDisplayName = Value.substr(0, kMaxDisplayName); }

  // 0.0 outside 0..numParams-1 (or in chunk mode). Any thread.
  float GetParameter(std::int32_t Index) const;
  // Ignored outside 0..numParams-1 and in chunk mode. Any thread.
  void SetParameter(std::int32_t Index, float Value);
  std::int32_t ParameterCount() const { return FValues.Count(); }
  // New entries 0.0, existing ones kept (setup thread only).
  void SetParameterCount(std::int32_t Count) { FValues.Resize(Count); }
  // Copies Values to indices 0, 1, ...; more values than ParameterCount fail
  // with "Parameter mismatch (%d)" and nothing is stored.
  void SetParameters(const std::vector<float>& Values);
  std::vector<float> Parameters() const;
  // SetParameters with the values of program ProgramNr of the same list.
  void CopyParameters(std::int32_t ProgramNr);

  bool HasChunk() const { return FChunk != nullptr; }
  // Null outside chunk mode.
  TChunkStream* Chunk() { return FChunk.get(); }
  const TChunkStream* Chunk() const { return FChunk.get(); }

  // Values (resized to the source's), chunk bytes and position, events, name.
  void Assign(const TCustomVstProgram& Source);

  TVstParameterOwner* VSTModule() const { return FOwner; }

  TProgramNotifyEvent OnInitialize;
  TProgramChunkEvent OnStoreChunk;
  TProgramChunkEvent OnLoadChunk;

 private:
  bool IsValidIndex(std::int32_t Index) const;

  std::string FDisplayName = "Init";
  TParameterValueArray FValues;
  std::unique_ptr<TChunkStream> FChunk;
  TVstParameterOwner* FOwner;
  TCustomVstPrograms* FList;
};

// The list's item class; publishes the same properties.
class TVstProgram : public TCustomVstProgram {
 public:
  using TCustomVstProgram::TCustomVstProgram;
};

class TCustomVstPrograms {
 public:
  explicit TCustomVstPrograms(TVstParameterOwner* Owner) : FOwner(Owner) {}

  // Creating a program tells the owner the new count, which makes program 0
  // current when none is (setup thread only).
  TVstProgram& Add();
  TVstProgram& Insert(std::int32_t Index);
  void Delete(std::int32_t Index);
  void Clear();

  std::int32_t Count() const { return static_cast<std::int32_t>(FItems.size()); }
  bool IsValidIndex(std::int32_t Index) const { return Index >= 0 && Index < Count(); }
  TVstProgram& operator[](std::int32_t Index) { return *FItems[static_cast<std::size_t>(Index)]; }
  const TVstProgram& operator[](std::int32_t Index) const { return *FItems[static_cast<std::size_t>(Index)]; }
  // Replaces program Index's contents by Source's (assign).
  void SetItem(std::int32_t Index, const TCustomVstProgram& Source) { (*this)[Index].Assign(Source); }
  // Resizes every program's value array (setup thread only).
  void SetParameterCount(std::int32_t Count);

  TVstParameterOwner* VSTModule() const { return FOwner; }

 private:
  std::vector<std::unique_ptr<TVstProgram>> FItems;
  TVstParameterOwner* FOwner;
};

}  // namespace vb
