#include "params/parameters_description.h"

namespace vb {

void ApplyParameterDescription(TCustomVstParameterProperty& Target, const TParameterPropertyDescription& Source) {
  Target.SetMin(Source.Min);
  Target.SetMax(Source.Max);
  Target.SetCurve(Source.Curve);
  // A stored factor of 1.0 is the default and leaves what the curve set.
  if (Source.CurveFactor != 1.0f) Target.SetCurveFactor(Source.CurveFactor);
  if (Source.DisplayName != nullptr) Target.SetDisplayName(Source.DisplayName);
  Target.SetUnits(Source.Units != nullptr ? Source.Units : "");
  Target.SetSmoothingFactor(Source.SmoothingFactor);
  Target.CanBeAutomated = Source.CanBeAutomated;
  Target.ReportVST2Properties = Source.ReportVST2Properties;
  Target.StepFloat = Source.StepFloat;
  Target.SmallStepFloat = Source.SmallStepFloat;
  Target.LargeStepFloat = Source.LargeStepFloat;
  Target.SetFlags(Source.Flags);
  Target.MinInteger = Source.MinInteger;
  Target.MaxInteger = Source.MaxInteger;
  Target.StepInteger = Source.StepInteger;
  Target.LargeStepInteger = Source.LargeStepInteger;
  Target.CC = Source.CC;
  if (Source.ShortLabel != nullptr) Target.SetShortLabel(Source.ShortLabel);
  Target.SetCategory(Source.Category != nullptr ? Source.Category : "");
  Target.UseDefaultString2ParameterHandler = Source.UseDefaultString2ParameterHandler;
}

}  // namespace vb
