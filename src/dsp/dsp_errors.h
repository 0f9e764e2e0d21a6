#pragma once
// The DSP objects raise EDspError for errors of use ("Invalid Samplerate!",
// "Order is fixed!", operations a class does not provide, list indices) and
// EAssertionFailed for broken invariants (error/error.h).
#include "error/error.h"
