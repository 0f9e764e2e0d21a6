#include "processor/editor_link.h"

namespace vb {

// The plug-in's one instance of the protocol; tests build their own with a
// sync-point policy.
template class TBasicEditorLink<TNoSyncPoints>;

}  // namespace vb
