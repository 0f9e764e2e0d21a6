// What a host learns about a plug-in, as text: identity, flags, can-dos,
// pins, counts (--info) and the parameter list (--list-params).
#pragma once

#include <string>

#include "plugin_host.h"

namespace vb {

// The parameter list as a host shows it: index, name, short label (when the
// plug-in describes its parameters), display text, unit label, normalised.
std::string DescribeParameters(TPluginHost& Plugin);

// Everything --info prints, the parameter list included.
std::string DescribePlugin(TPluginHost& Plugin, const std::string& Path);

// The same as JSON (--json), for scripts: the parameter list with each
// parameter's unit, display text, normalised value, the display texts at 0
// and 1 (its range), whether it is a switch and then its settings, and the
// properties the plug-in gives (steps, integer range, category). The scans
// leave every parameter as they found it.
std::string DescribeParametersJson(TPluginHost& Plugin);
std::string DescribePluginJson(TPluginHost& Plugin, const std::string& Path);

// Four characters of a packed ID, first from the most significant byte;
// bytes that are not printable are written as \xNN.
std::string FourCharText(std::int32_t Id);

}  // namespace vb
