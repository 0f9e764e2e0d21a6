#pragma once
// A stand-in for the module: owns the three lists and records the counts it
// is told, so descriptions, categories and programs are tested on their own.

#include <cstdint>

#include "params/parameter_owner.h"
#include "params/vst_parameter_category.h"
#include "params/vst_parameter_property.h"
#include "params/vst_program.h"

namespace vb::test {

class TFakeParameterOwner : public TVstParameterOwner {
 public:
  TCustomVstParameterProperties& ParameterProperties() override { return Properties; }
  TCustomVstParameterCategories& ParameterCategories() override { return Categories; }
  void ParameterCountChanged(std::int32_t Count) override {
    NumParams = Count;
    if (!ChunkMode) Programs.SetParameterCount(Count);
  }
  void ProgramCountChanged(std::int32_t Count) override {
    NumPrograms = Count;
    if (CurrentProgram < 0 && Count > 0) CurrentProgram = 0;
  }
  bool ProgramChunksEnabled() const override { return ChunkMode; }
  std::int32_t ParameterCount() const override { return NumParams; }

  TCustomVstParameterProperties Properties{this};
  TCustomVstParameterCategories Categories{this};
  TCustomVstPrograms Programs{this};
  std::int32_t CurrentProgram = -1;
  std::int32_t NumParams = 0;
  std::int32_t NumPrograms = 0;
  bool ChunkMode = false;
};

}  // namespace vb::test
