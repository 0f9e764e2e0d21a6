#include "plugin_params.h"

#include <vector>

namespace vb {

int TPluginParams::Count() { return FPlugin.NumParams(); }
std::string TPluginParams::Name(int Index) { return FPlugin.DispatchText(effGetParamName, Index); }
std::string TPluginParams::Display(int Index) { return FPlugin.DispatchText(effGetParamDisplay, Index); }
std::string TPluginParams::Label(int Index) { return FPlugin.DispatchText(effGetParamLabel, Index); }
float TPluginParams::Get(int Index) { return FPlugin.GetParameter(Index); }
void TPluginParams::Set(int Index, float Normalised) { FPlugin.SetParameter(Index, Normalised); }

bool TPluginParams::FromString(int Index, const std::string& Text) {
  std::vector<char> buf(Text.begin(), Text.end());
  buf.push_back('\0');
  return FPlugin.Dispatch(effString2Parameter, Index, 0, buf.data()) != 0;
}

}  // namespace vb
