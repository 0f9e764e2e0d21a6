#include "plugin_info.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <vector>

namespace vb {

namespace {

// Capability strings a host may ask an effect about (effCanDo).
constexpr const char* kCanDoStrings[] = {
    "sendVstEvents",
    "sendVstMidiEvent",
    "sendVstTimeInfo",
    "receiveVstEvents",
    "receiveVstMidiEvent",
    "receiveVstTimeInfo",
    "offline",
    "plugAsChannelInsert",
    "plugAsSend",
    "mixDryWet",
    "noRealTime",
    "multipass",
    "metapass",
    "1in1out",
    "1in2out",
    "2in1out",
    "2in2out",
    "2in4out",
    "4in2out",
    "4in4out",
    "4in8out",
    "8in4out",
    "8in8out",
    "midiProgramNames",
    "LiveWithoutToolbar",
    "conformsToWindowRules",
    "bypass",
    "hasCockosExtensions",
    "ChainPluginAPI",
};
static_assert(std::size(kCanDoStrings) == 29);

constexpr const char* kFlagNames[] = {
    "hasEditor", "hasClip", "hasVu",         "canMono",    "canReplacing", "programChunks",      "unused1",
    "unused2",   "isSynth", "noSoundInStop", "extIsAsync", "extHasBuffer", "canDoubleReplacing",
};

constexpr const char* kCategoryNames[] = {
    "unknown",     "effect",          "synth",       "analysis",        "mastering", "spatializer",
    "room effect", "surround effect", "restoration", "offline process", "shell",     "generator",
};

std::string Printf(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
std::string Printf(const char* fmt, ...) {
  char buf[512];
  va_list ap;
  va_start(ap, fmt);
  std::vsnprintf(buf, sizeof buf, fmt, ap);
  va_end(ap);
  return buf;
}

// A fixed-size text field of a record, which the plug-in may not have ended.
std::string FieldText(const char* field, size_t size) { return std::string(field, strnlen(field, size)); }

std::string CanDoAnswer(std::intptr_t answer) {
  if (answer == 1) return "yes";
  if (answer == -1) return "no";
  if (answer == 0) return "don't know";
  return Printf("0x%08x", static_cast<unsigned>(answer & 0xffffffffu));
}

std::string Pins(TPluginHost& plugin, bool inputs) {
  const int count = inputs ? plugin.Effect()->numInputs : plugin.Effect()->numOutputs;
  std::string out = inputs ? "Input pins:\n" : "Output pins:\n";
  for (int i = 0; i < count; ++i) {
    TVstPinProperties pin{};
    auto answer = plugin.Dispatch(inputs ? effGetInputProperties : effGetOutputProperties, i, 0, &pin);
    if (answer == 0) {
      out += Printf("  %d  (not described)\n", i);
      continue;
    }
    std::string flags;
    if (pin.Flags & (1 << vppIsActive)) flags += " active";
    if (pin.Flags & (1 << vppIsStereo)) flags += " stereo";
    if (pin.Flags & (1 << vppUseSpeaker)) flags += " speaker";
    out += Printf("  %d  %-16s %-8s%s, arrangement %d\n", i, FieldText(pin.Caption, sizeof pin.Caption).c_str(),
                  FieldText(pin.ShortLabel, sizeof pin.ShortLabel).c_str(), flags.c_str(), pin.ArrangementType);
  }
  return out;
}

}  // namespace

std::string FourCharText(std::int32_t id) {
  std::string s;
  for (int shift = 24; shift >= 0; shift -= 8) {
    unsigned char c = static_cast<unsigned char>((static_cast<std::uint32_t>(id) >> shift) & 0xff);
    if (c >= 32 && c < 127)
      s += static_cast<char>(c);
    else
      s += Printf("\\x%02X", c);
  }
  return s;
}

std::string DescribeParameters(TPluginHost& plugin) {
  struct TRow {
    std::string Index, Name, Short, Display, Label, Value;
  };
  std::vector<TRow> rows;
  rows.push_back({"#", "name", "short", "display", "label", "normalised"});
  for (int i = 0; i < plugin.NumParams(); ++i) {
    TVstParameterPropertiesRecord props{};
    std::string shortLabel;
    if (plugin.Dispatch(effGetParameterProperties, i, 0, &props) == 1)
      shortLabel = FieldText(props.ShortLabel, sizeof props.ShortLabel);
    rows.push_back({std::to_string(i), plugin.DispatchText(effGetParamName, i), shortLabel,
                    plugin.DispatchText(effGetParamDisplay, i), plugin.DispatchText(effGetParamLabel, i),
                    Printf("%.6f", plugin.GetParameter(i))});
  }
  size_t w[6] = {};
  for (const TRow& r : rows) {
    const std::string* f[6] = {&r.Index, &r.Name, &r.Short, &r.Display, &r.Label, &r.Value};
    for (int k = 0; k < 6; ++k) w[k] = std::max(w[k], f[k]->size());
  }
  std::string out;
  for (const TRow& r : rows) {
    out +=
        Printf("  %*s  %-*s  %-*s  %*s  %-*s  %s\n", int(w[0]), r.Index.c_str(), int(w[1]), r.Name.c_str(), int(w[2]),
               r.Short.c_str(), int(w[3]), r.Display.c_str(), int(w[4]), r.Label.c_str(), r.Value.c_str());
  }
  return out;
}

std::string DescribePlugin(TPluginHost& plugin, const std::string& path) {
  TVSTEffect* e = plugin.Effect();
  std::string out;
  out += "Plug-in:         " + path + "\n";
  out += "Effect name:     " + plugin.DispatchText(effGetEffectName) + "\n";
  out += "Vendor:          " + plugin.DispatchText(effGetVendorString) + "\n";
  out += "Product:         " + plugin.DispatchText(effGetProductString) + "\n";
  out += Printf("Vendor version:  %ld\n", static_cast<long>(plugin.Dispatch(effGetVendorVersion)));
  out +=
      Printf("Unique ID:       %s (0x%08X)\n", FourCharText(e->UniqueID).c_str(), static_cast<unsigned>(e->UniqueID));
  out += Printf("Record version:  %d\n", e->Version);
  out += Printf("VST version:     %ld\n", static_cast<long>(plugin.Dispatch(effGetVstVersion)));
  auto category = plugin.Dispatch(effGetPlugCategory);
  out += Printf("Category:        %s (%ld)\n",
                category >= 0 && category < static_cast<std::intptr_t>(std::size(kCategoryNames))
                    ? kCategoryNames[category]
                    : "unknown",
                static_cast<long>(category));
  std::string flags;
  for (size_t b = 0; b < std::size(kFlagNames); ++b)
    if (e->EffectFlags & (1u << b)) flags += std::string(" ") + kFlagNames[b];
  out += Printf("Flags:           0x%04X%s\n", static_cast<unsigned>(e->EffectFlags), flags.c_str());
  out += Printf("Counts:          %d programs, %d parameters, %d inputs, %d outputs\n", e->numPrograms, e->numParams,
                e->numInputs, e->numOutputs);
  out += Printf("Latency:         %d samples initial delay, tail %ld samples\n", e->InitialDelay,
                static_cast<long>(plugin.Dispatch(effGetTailSize)));
  out += "Can do:\n";
  for (const char* s : kCanDoStrings) {
    std::vector<char> text(s, s + std::strlen(s) + 1);
    out += Printf("  %-24s %s\n", s, CanDoAnswer(plugin.Dispatch(effCanDo, 0, 0, text.data())).c_str());
  }
  out += Pins(plugin, true);
  out += Pins(plugin, false);
  out += "Parameters:\n";
  out += DescribeParameters(plugin);
  return out;
}

}  // namespace vb
