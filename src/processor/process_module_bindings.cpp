#include "processor/process_module_bindings.h"

namespace vb {

const std::array<TProcessParameterBinding, kProcessParameterCount> kProcessParameterBindings = {{
    {&TProcessModule::ParamInputChange, 0.0f},          // 0 Input, dB * 0.1
    {&TProcessModule::ParamDriveChange, 0.0f},          // 1 Drive, %
    {&TProcessModule::ParamTrimChange, 45.0f},          // 2 Trim, %
    {&TProcessModule::ParamCurveFormChange, 80.0f},     // 3 CurveForm, %
    {&TProcessModule::ParamHiPassChange, 20.0f},        // 4 HiPass, Hz
    {&TProcessModule::ParamFreqChange, 275.0f},         // 5 Freq, Hz
    {&TProcessModule::ParamLowPassChange, 3000.0f},     // 6 LoPass, Hz
    {&TProcessModule::ParamLowChange, 0.0f},            // 7 Low, dB
    {&TProcessModule::ParamMidChange, 0.0f},            // 8 Mid, dB
    {&TProcessModule::ParamHighChange, 0.0f},           // 9 High, dB
    {&TProcessModule::ParamPresChange, 0.0f},           // 10 Pres, dB
    {&TProcessModule::ParamDryWetChange, 100.0f},       // 11 DryWet, %
    {&TProcessModule::ParamOutputChange, 0.0f},         // 12 Output, dB * 0.1
    {&TProcessModule::ParamPowerChange, 1.0f},          // 13 Power
    {&TProcessModule::ParamStereoChange, 0.0f},         // 14 Stereo
    {&TProcessModule::ParamAsymmetricChange, 0.0f},     // 15 Asymmetric
    {&TProcessModule::ParamOversamplingChange, 1.0f},   // 16 Oversampling, factor
}};

}  // namespace vb
