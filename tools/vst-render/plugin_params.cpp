#include "plugin_params.h"

#include <vector>

namespace vb {

int TPluginParams::Count() { return FPlugin.NumParams(); }
std::string TPluginParams::Name(int index) { return FPlugin.DispatchText(effGetParamName, index); }
std::string TPluginParams::Display(int index) { return FPlugin.DispatchText(effGetParamDisplay, index); }
std::string TPluginParams::Label(int index) { return FPlugin.DispatchText(effGetParamLabel, index); }
float TPluginParams::Get(int index) { return FPlugin.GetParameter(index); }
void TPluginParams::Set(int index, float normalised) { FPlugin.SetParameter(index, normalised); }

bool TPluginParams::FromString(int index, const std::string& text) {
  std::vector<char> buf(text.begin(), text.end());
  buf.push_back('\0');
  return FPlugin.Dispatch(effString2Parameter, index, 0, buf.data()) != 0;
}

}  // namespace vb
