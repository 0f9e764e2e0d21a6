#include "processor/process_module_description.h"

namespace vb {

// effFlagsHasEditor is added by the create handler, once the editor exists.
const TVSTModuleDescription kProcessModuleDescription = {
    .EffectName = "Vorda Brasswick v1.2",
    .ProductName = "Vorda Brasswick v1.2",
    .VendorName = "Vorda",
    .VersionText = "1.2",
    .VersionMajor = 1,
    .VersionMinor = 2,
    .VersionRelease = 0,
    .UniqueID = {'Z', 'Q', 'T', '\0'},
    .PlugCategory = vpcEffect,
    .CanDos = kAllVstCanDos,
    .Flags = static_cast<TEffFlags>(EffFlagBit(effFlagsCanMono) | EffFlagBit(effFlagsCanReplacing) |
                                    EffFlagBit(effFlagsCanDoubleReplacing)),
    .numInputs = 2,
    .numOutputs = 2,
    .InitialDelay = 0,
    .IORatio = 1.0f,
    .RealQualities = 0,
    .OffQualities = 0,
    .TailSize = 0,
    .KeysRequired = false,
    .ProcessPrecisition = pp64,
    .TruncateStrings = false,
    .numCategories = 1,
    .Parameters = nullptr,
};

}  // namespace vb
