#include "plugin_search.h"
#include "system_calls.h"

namespace vb {

const char* const kPluginExtension = ".so";

std::vector<std::string> HostPluginFolders() {
  return PluginFolders(Environment("LXVST_PATH").c_str(), Environment("VST_PATH").c_str(),
                       Environment("HOME").c_str());
}

}  // namespace vb
