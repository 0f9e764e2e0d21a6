#include "platform/system/system_calls.h"
#include "plugin_search.h"

namespace vb {

const char* const kPluginExtension = ".so";
const char* const kPluginFolderHelp =
    "NAME or NAME.so in $LXVST_PATH, $VST_PATH (':'-separated),\n"
    "~/.vst, ~/.lxvst, /usr/local/lib/vst, /usr/local/lib/lxvst, /usr/lib/vst\n"
    "and /usr/lib/lxvst";

std::vector<std::string> HostPluginFolders() {
  return PluginFolders(Environment("LXVST_PATH").c_str(), Environment("VST_PATH").c_str(), Environment("HOME").c_str());
}

}  // namespace vb
