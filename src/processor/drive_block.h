#pragma once
// The drive's work on one piece of a host block, from the host's input
// frames to its output frames: input gain and meter, upsampling, the drive
// chain and downsampling sample by sample, output gain and meter.
//
// The routines are reached through process-wide routine pointers bound to
// the best implementation the processor supports (function_binding.h): a
// portable SSE2 one and, where the processor and the operating system
// support it, one with 256-bit AVX2 registers. Every implementation
// computes the same IEEE operations in the same order for every sample, so
// they give the same bits.
//
// Audio thread; the routines allocate nothing, lock nothing and make no
// system call. DriveBlockStartUp runs on the thread that loads the library.

#include <cstdint>

#include "processor/drive_chain.h"
#include "processor/drive_settings.h"
#include "processor/stereo_resampler.h"

namespace vb {

class TFunctionBindingList;

// Everything a block routine reads and updates. Chain, Resampler and the
// peaks carry their states from piece to piece; In and Out may be the same
// memory.
template <class T>
struct TDriveBlockJob {
  TDriveChain* Chain = nullptr;
  TStereoResampler* Resampler = nullptr;
  const TDriveSettings* Settings = nullptr;
  int Factor = 1;  // oversampling factor, at least 1
  const T* In[2] = {};
  T* Out[2] = {};
  std::uint32_t Frames = 0;
  // [channel][0] input peak, [channel][1] output peak, linear (TPeakFollower).
  float Peaks[2][2] = {};
};

using TDriveBlock32 = void (*)(TDriveBlockJob<float>& Job);
using TDriveBlock64 = void (*)(TDriveBlockJob<double>& Job);

// The bound routines; they hold the SSE2 ones until DriveBlockStartUp binds.
extern TDriveBlock32 ProcessDriveBlock32;
extern TDriveBlock64 ProcessDriveBlock64;

// The SSE2 implementations (every x86-64 processor has them).
void ProcessDriveBlock32Sse2(TDriveBlockJob<float>& Job);
void ProcessDriveBlock64Sse2(TDriveBlockJob<double>& Job);
// The AVX2 implementations: only for processors with AVX2 whose operating
// system saves the 256-bit registers (pfAVX2).
void ProcessDriveBlock32Avx2(TDriveBlockJob<float>& Job);
void ProcessDriveBlock64Avx2(TDriveBlockJob<double>& Job);

// Registers the implementations and binds the routines to the processor's
// features (after CpuStartUp). A second call does nothing.
void DriveBlockStartUp();
// The list of the two bindings (null before start-up), for rebinding.
TFunctionBindingList* DriveBlockFunctionBindings();
void DriveBlockShutDown();

}  // namespace vb
