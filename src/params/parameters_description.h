#pragma once
// Stored description of a module class's parameters, categories and
// programs: plain constant data, applied once while the module is built.

#include <cstdint>
#include <span>

#include "params/vst_parameter_property.h"

namespace vb {

// One parameter description; fields and defaults as TCustomVstParameterProperty.
struct TParameterPropertyDescription {
  const char* DisplayName = nullptr;  // null keeps "Parameter <n>"
  const char* ShortLabel = nullptr;   // null keeps what DisplayName gave
  const char* Units = "";
  float Min = 0.0f;
  float Max = 1.0f;
  TCurveType Curve = ctLinear;
  float CurveFactor = 1.0f;  // 1.0 keeps the factor the curve gave
  float SmoothingFactor = 0.0f;
  bool CanBeAutomated = true;
  bool ReportVST2Properties = false;
  float StepFloat = 1.0f;
  float SmallStepFloat = 0.5f;
  float LargeStepFloat = 2.0f;
  TVstParameterPropertiesFlags Flags = 0;
  std::int32_t MinInteger = 0;
  std::int32_t MaxInteger = 100;
  std::int32_t StepInteger = 1;
  std::int32_t LargeStepInteger = 10;
  std::int32_t CC = -1;
  const char* Category = "";
  bool UseDefaultString2ParameterHandler = false;
};

struct TProgramDescription {
  const char* DisplayName = "Init";
};

struct TParametersDescription {
  std::span<const char* const> Categories;
  std::span<const TProgramDescription> Programs;
  std::span<const TParameterPropertyDescription> Parameters;
};

// Applies one parameter description's values through the setters, in the
// order the fields are declared.
void ApplyParameterDescription(TCustomVstParameterProperty& Target, const TParameterPropertyDescription& Source);

}  // namespace vb
