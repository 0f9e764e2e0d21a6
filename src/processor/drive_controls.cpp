#include "processor/drive_controls.h"

namespace vb {

// The plug-in's one instance of the protocol; tests build their own with a
// sync-point policy.
template class TBasicDriveControls<TNoSyncPoints>;

}  // namespace vb
