#pragma once
// The plug-in interface layer raises EVstError ("AudioMaster Error") and the
// parameter handling EParameterError (error/error.h).
#include "error/error.h"
