#pragma once
// The functions the effect record's entries point to. Each receives the
// record, finds its module through the record's User field and forwards the
// call. None lets a failure escape to the host: a failure inside the module
// answers 0, 0.0 or nothing, and leaves a line on stderr (failure_trace.h).
//
// Record states:
//   created: dispatcher, get/set live; processing entries hold guarded forms
//            that only forward once the entry itself holds the live form;
//   open:    every entry live;
//   closed:  dispatcher answers 0 (User is null); the others are stubs.

#include "host/vst_abi.h"

namespace vb {

// Install the entries of each record state. Entries are written with relaxed
// atomic stores because the audio thread may read them at the same time.
void InstallCreatedEntries(TVSTEffect& Effect);
void InstallOpenEntries(TVSTEffect& Effect);
void InstallClosedEntries(TVSTEffect& Effect);

}  // namespace vb
