// The parameter entries of a loaded plug-in, seen through TParamAccess.
#pragma once

#include "param_resolver.h"
#include "plugin_host.h"

namespace vb {

class TPluginParams final : public TParamAccess {
 public:
  explicit TPluginParams(TPluginHost& Plugin) : FPlugin(Plugin) {}
  int Count() override;
  std::string Name(int Index) override;
  std::string Display(int Index) override;
  std::string Label(int Index) override;
  float Get(int Index) override;
  void Set(int Index, float Normalised) override;
  bool FromString(int Index, const std::string& Text) override;

 private:
  TPluginHost& FPlugin;
};

}  // namespace vb
