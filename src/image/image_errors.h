#pragma once
// The raster image code raises EGuiError for errors of use ("Width may not
// be negative!") and refused conversions, and EAssertionFailed naming the
// unit for broken invariants (error/error.h).
#include "error/error.h"
