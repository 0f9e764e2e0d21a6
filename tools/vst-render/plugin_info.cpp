#include "plugin_info.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <vector>

#include "host/vst_can_do.h"
#include "json_writer.h"
#include "param_resolver.h"
#include "plugin_params.h"

namespace vb {

namespace {

constexpr int kSettingScanSteps = 64;  // normalised values looked at for a switch's settings

constexpr const char* kPropertyFlagNames[] = {"isSwitch",    "usesIntegerMinMax",    "usesFloatStep",
                                              "usesIntStep", "supportsDisplayIndex", "supportsDisplayCategory",
                                              "canRamp"};

constexpr const char* kFlagNames[] = {
    "hasEditor", "hasClip", "hasVu",         "canMono",    "canReplacing", "programChunks",      "unused1",
    "unused2",   "isSynth", "noSoundInStop", "extIsAsync", "extHasBuffer", "canDoubleReplacing",
};

constexpr const char* kCategoryNames[] = {
    "unknown",     "effect",          "synth",       "analysis",        "mastering", "spatializer",
    "room effect", "surround effect", "restoration", "offline process", "shell",     "generator",
};

std::string Printf(const char* Fmt, ...) __attribute__((format(printf, 1, 2)));
std::string Printf(const char* Fmt, ...) {
  char buf[512];
  va_list ap;
  va_start(ap, Fmt);
  std::vsnprintf(buf, sizeof buf, Fmt, ap);
  va_end(ap);
  return buf;
}

// A fixed-size text field of a record, which the plug-in may not have ended.
std::string FieldText(const char* Field, size_t Size) { return std::string(Field, strnlen(Field, Size)); }

std::string CanDoAnswer(std::intptr_t Answer) {
  if (Answer == 1) return "yes";
  if (Answer == -1) return "no";
  if (Answer == 0) return "don't know";
  return Printf("0x%08x", static_cast<unsigned>(Answer & 0xffffffffu));
}

std::string Pins(TPluginHost& Plugin, bool Inputs) {
  const int count = Inputs ? Plugin.Effect()->numInputs : Plugin.Effect()->numOutputs;
  std::string out = Inputs ? "Input pins:\n" : "Output pins:\n";
  for (int i = 0; i < count; ++i) {
    TVstPinProperties pin{};
    auto answer = Plugin.Dispatch(Inputs ? effGetInputProperties : effGetOutputProperties, i, 0, &pin);
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

std::string FourCharText(std::int32_t Id) {
  std::string s;
  for (int shift = 24; shift >= 0; shift -= 8) {
    unsigned char c = static_cast<unsigned char>((static_cast<std::uint32_t>(Id) >> shift) & 0xff);
    if (c >= 32 && c < 127)
      s += static_cast<char>(c);
    else
      s += Printf("\\x%02X", c);
  }
  return s;
}

std::string DescribeParameters(TPluginHost& Plugin) {
  struct TRow {
    std::string Index, Name, Short, Display, Label, Value;
  };
  std::vector<TRow> rows;
  rows.push_back({"#", "name", "short", "display", "label", "normalised"});
  for (int i = 0; i < Plugin.NumParams(); ++i) {
    TVstParameterPropertiesRecord props{};
    std::string shortLabel;
    if (Plugin.Dispatch(effGetParameterProperties, i, 0, &props) == 1)
      shortLabel = FieldText(props.ShortLabel, sizeof props.ShortLabel);
    rows.push_back({std::to_string(i), Plugin.DispatchText(effGetParamName, i), shortLabel,
                    Plugin.DispatchText(effGetParamDisplay, i), Plugin.DispatchText(effGetParamLabel, i),
                    Printf("%.6f", Plugin.GetParameter(i))});
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

std::string DescribePlugin(TPluginHost& Plugin, const std::string& Path) {
  TVSTEffect* e = Plugin.Effect();
  std::string out;
  out += "Plug-in:         " + Path + "\n";
  out += "Effect name:     " + Plugin.DispatchText(effGetEffectName) + "\n";
  out += "Vendor:          " + Plugin.DispatchText(effGetVendorString) + "\n";
  out += "Product:         " + Plugin.DispatchText(effGetProductString) + "\n";
  out += Printf("Vendor version:  %ld\n", static_cast<long>(Plugin.Dispatch(effGetVendorVersion)));
  out +=
      Printf("Unique ID:       %s (0x%08X)\n", FourCharText(e->UniqueID).c_str(), static_cast<unsigned>(e->UniqueID));
  out += Printf("Record version:  %d\n", e->Version);
  out += Printf("VST version:     %ld\n", static_cast<long>(Plugin.Dispatch(effGetVstVersion)));
  auto category = Plugin.Dispatch(effGetPlugCategory);
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
                static_cast<long>(Plugin.Dispatch(effGetTailSize)));
  out += "Can do:\n";
  for (const char* s : kVstCanDoStrings) {
    std::vector<char> text(s, s + std::strlen(s) + 1);
    out += Printf("  %-24s %s\n", s, CanDoAnswer(Plugin.Dispatch(effCanDo, 0, 0, text.data())).c_str());
  }
  out += Pins(Plugin, true);
  out += Pins(Plugin, false);
  out += "Parameters:\n";
  out += DescribeParameters(Plugin);
  return out;
}

namespace {

// Sets a parameter for a look at its display and puts it back on leaving.
class TParamProbe {
 public:
  TParamProbe(TPluginHost& Plugin, int Index) : FPlugin(Plugin), FIndex(Index), FSaved(Plugin.GetParameter(Index)) {}
  ~TParamProbe() { FPlugin.SetParameter(FIndex, FSaved); }
  TParamProbe(const TParamProbe&) = delete;
  TParamProbe& operator=(const TParamProbe&) = delete;
  std::string DisplayAt(float Normalised) {
    FPlugin.SetParameter(FIndex, Normalised);
    return FPlugin.DispatchText(effGetParamDisplay, FIndex);
  }

 private:
  TPluginHost& FPlugin;
  int FIndex;
  float FSaved;
};

void WriteProperties(TJsonWriter& Json, const TVstParameterPropertiesRecord& P) {
  Json.Key("properties").BeginObject();
  Json.Key("flags").BeginArray();
  for (size_t b = 0; b < std::size(kPropertyFlagNames); ++b)
    if (P.Flags & (1 << b)) Json.String(kPropertyFlagNames[b]);
  Json.EndArray();
  if (P.Flags & (1 << ppfParameterUsesFloatStep))
    Json.Key("step")
        .Number(P.StepFloat)
        .Key("smallStep")
        .Number(P.SmallStepFloat)
        .Key("largeStep")
        .Number(P.LargeStepFloat);
  if (P.Flags & (1 << ppfParameterUsesIntegerMinMax))
    Json.Key("minInteger").Integer(P.MinInteger).Key("maxInteger").Integer(P.MaxInteger);
  if (P.Flags & (1 << ppfParameterUsesIntStep))
    Json.Key("stepInteger").Integer(P.StepInteger).Key("largeStepInteger").Integer(P.LargeStepInteger);
  if (P.Flags & (1 << ppfParameterSupportsDisplayCategory))
    Json.Key("category")
        .Integer(P.Category)
        .Key("categoryLabel")
        .String(FieldText(P.CategoryLabel, sizeof P.CategoryLabel));
  Json.EndObject();
}

void WriteParameters(TJsonWriter& Json, TPluginHost& Plugin) {
  TPluginParams params(Plugin);
  TParamResolver resolver(params);
  Json.BeginArray();
  for (int i = 0; i < Plugin.NumParams(); ++i) {
    Json.BeginObject();
    Json.Key("index").Integer(i).Key("name").String(Plugin.DispatchText(effGetParamName, i));
    Json.Key("label").String(Plugin.DispatchText(effGetParamLabel, i));
    Json.Key("display").String(Plugin.DispatchText(effGetParamDisplay, i));
    Json.Key("normalised").Number(Plugin.GetParameter(i));
    const bool isSwitch = resolver.IsSwitch(i);
    {
      TParamProbe probe(Plugin, i);
      Json.Key("displayAt0").String(probe.DisplayAt(0.0f)).Key("displayAt1").String(probe.DisplayAt(1.0f));
      Json.Key("switch").Bool(isSwitch);
      if (isSwitch) {
        Json.Key("settings").BeginArray();
        std::string last;
        for (int k = 0; k <= kSettingScanSteps; ++k)
          if (std::string text = probe.DisplayAt(static_cast<float>(k) / kSettingScanSteps); k == 0 || text != last) {
            Json.String(text);
            last = text;
          }
        Json.EndArray();
      }
    }
    TVstParameterPropertiesRecord props{};
    if (Plugin.Dispatch(effGetParameterProperties, i, 0, &props) == 1) {
      Json.Key("shortLabel").String(FieldText(props.ShortLabel, sizeof props.ShortLabel));
      WriteProperties(Json, props);
    }
    Json.EndObject();
  }
  Json.EndArray();
}

}  // namespace

std::string DescribeParametersJson(TPluginHost& Plugin) {
  TJsonWriter json;
  WriteParameters(json, Plugin);
  return json.Text();
}

std::string DescribePluginJson(TPluginHost& Plugin, const std::string& Path) {
  TVSTEffect* e = Plugin.Effect();
  TJsonWriter json;
  json.BeginObject();
  json.Key("path").String(Path);
  json.Key("name").String(Plugin.DispatchText(effGetEffectName));
  json.Key("vendor").String(Plugin.DispatchText(effGetVendorString));
  json.Key("product").String(Plugin.DispatchText(effGetProductString));
  json.Key("vendorVersion").Integer(Plugin.Dispatch(effGetVendorVersion));
  json.Key("uniqueId")
      .String(FourCharText(e->UniqueID))
      .Key("uniqueIdNumber")
      .Integer(static_cast<std::uint32_t>(e->UniqueID));
  json.Key("vstVersion").Integer(Plugin.Dispatch(effGetVstVersion));
  const auto category = Plugin.Dispatch(effGetPlugCategory);
  json.Key("category")
      .String(category >= 0 && category < static_cast<std::intptr_t>(std::size(kCategoryNames))
                  ? kCategoryNames[category]
                  : "unknown");
  json.Key("synth").Bool((e->EffectFlags & (1 << effFlagsIsSynth)) != 0 || category == vpcSynth);
  json.Key("flags").BeginArray();
  for (size_t b = 0; b < std::size(kFlagNames); ++b)
    if (e->EffectFlags & (1u << b)) json.String(kFlagNames[b]);
  json.EndArray();
  json.Key("programs")
      .Integer(e->numPrograms)
      .Key("inputs")
      .Integer(e->numInputs)
      .Key("outputs")
      .Integer(e->numOutputs);
  json.Key("latency").Integer(e->InitialDelay).Key("tail").Integer(Plugin.Dispatch(effGetTailSize));
  json.Key("canDo").BeginObject();
  for (const char* s : kVstCanDoStrings) {
    std::vector<char> text(s, s + std::strlen(s) + 1);
    json.Key(s).String(CanDoAnswer(Plugin.Dispatch(effCanDo, 0, 0, text.data())));
  }
  json.EndObject();
  json.Key("parameters");
  WriteParameters(json, Plugin);
  json.EndObject();
  return json.Text();
}

}  // namespace vb
