// A loaded plug-in's programs and state from and to preset files (.fxp,
// .fxb): as parameter lists, or as the plug-in's own chunks when it says it
// keeps its state in chunks (effFlagsProgramChunks).
//
// Threads: the thread that loaded the plug-in, before processing starts.
#pragma once

#include <string>

#include "plugin_host.h"

namespace vb {

// Loads `path` (.fxp: the current program; .fxb: every program, then the
// bank's current one). A preset of another plug-in is refused with both
// IDs in the message; so is one whose parameter count or chunk kind does
// not fit the plug-in.
bool LoadPresetFile(TPluginHost& Plugin, const std::string& Path, std::string& Error);

// Saves the current program (a name ending in .fxp) or the bank (.fxb).
bool SavePresetFile(TPluginHost& Plugin, const std::string& Path, std::string& Error);

// Selects program `index` (effSetProgram); false with a message when the
// plug-in has no such program.
bool SelectProgram(TPluginHost& Plugin, int Index, std::string& Error);

}  // namespace vb
