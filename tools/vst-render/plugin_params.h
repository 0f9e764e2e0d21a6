// The parameter entries of a loaded plug-in, seen through TParamAccess.
#pragma once

#include "param_resolver.h"
#include "plugin_host.h"

namespace vb {

class TPluginParams final : public TParamAccess {
 public:
  explicit TPluginParams(TPluginHost& plugin) : FPlugin(plugin) {}
  int Count() override;
  std::string Name(int index) override;
  std::string Display(int index) override;
  std::string Label(int index) override;
  float Get(int index) override;
  void Set(int index, float normalised) override;
  bool FromString(int index, const std::string& text) override;

 private:
  TPluginHost& FPlugin;
};

}  // namespace vb
