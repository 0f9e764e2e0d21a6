// Finding a plug-in by name where Linux VST 2.4 hosts look for them, so
// that `vst-render -p VordaBrasswick --info` checks an installation the way
// a host would see it.
#pragma once

#include <string>
#include <vector>

namespace vb {

// The folders hosts search, in this order: each entry of $LXVST_PATH, then
// of $VST_PATH (colon-separated), ~/.vst, ~/.lxvst, /usr/local/lib/vst,
// /usr/local/lib/lxvst, /usr/lib/vst, /usr/lib/lxvst. Null or empty
// variables add nothing.
std::vector<std::string> PluginFolders(const char* LxvstPath, const char* VstPath, const char* Home);

// The file a -p argument names: the argument itself when it holds a '/' or
// names an existing file, else the first NAME or NAME.so found in
// `folders`, each searched before its subfolders (4 levels deep, in name
// order, as packages put plug-ins in folders of their own); empty when
// there is none.
std::string FindPlugin(const std::string& Given, const std::vector<std::string>& Folders);

// Every NAME.so below `folders` (4 levels deep, each folder before its
// subfolders, in name order), each file once even when several folders or
// links lead to it.
std::vector<std::string> ListPluginFiles(const std::vector<std::string>& Folders);

// The folders this system's hosts search: on Linux PluginFolders() of the
// environment; on Windows each entry of %VST_PATH% (';'-separated), then
// %CommonProgramFiles%\VST2, %ProgramFiles%\VSTPlugins,
// %ProgramFiles%\Steinberg\VSTPlugins and the VSTPluginsPath value under
// HKLM\SOFTWARE\VST.
std::vector<std::string> HostPluginFolders();
// A plug-in file's extension here (".so", ".dll"): NAME.so above.
extern const char* const kPluginExtension;
// Those folders and names as --help describes them.
extern const char* const kPluginFolderHelp;

}  // namespace vb
