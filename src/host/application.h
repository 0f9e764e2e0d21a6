#pragma once
// The library's application object: the owner of every module the entry
// point creates. Modules the host closes destroy themselves; whatever is
// still owned when the library unloads is destroyed by Finalize.

#include "host/component.h"

namespace vb {

class TApplication : public TComponent {
 public:
  TApplication();

  // The process-wide instance, created on first use (thread-safe).
  static TApplication& Instance();
  // Destroys the instance and every component it still owns. Called once
  // when the library unloads; a later Instance() creates a fresh object.
  static void Finalize();
};

}  // namespace vb
