#pragma once
// Element-wise arithmetic on blocks of samples, reached through bound
// routine pointers (function_binding.h). The 32-bit forms compute each
// element in double precision and round it to float. N <= 0 does nothing.
// Dst and Src hold N elements each; they may be the same block.
//
// The pointers always hold a callable routine (the portable one until
// CpuStartUp binds them, cpu_unit.h). Real-time safe: no allocation, no
// locks.

#include <cstdint>

namespace vb {

using TBlockOp32 = void (*)(float* Dst, const float* Src, std::int32_t Count);
using TBlockOp64 = void (*)(double* Dst, const double* Src, std::int32_t Count);
using TBlockScalarOp32 = void (*)(float* Dst, float X, std::int32_t Count);
using TBlockScalarOp64 = void (*)(double* Dst, double X, std::int32_t Count);
using TBlockScaledOp32 = void (*)(float* Dst, const float* Src, std::int32_t Count, float X);
using TBlockScaledOp64 = void (*)(double* Dst, const double* Src, std::int32_t Count, double X);

// Dst[i] := Dst[i] + Src[i]
extern TBlockOp32 BlockAdd32;
extern TBlockOp64 BlockAdd64;
// Dst[i] := Dst[i] - Src[i]
extern TBlockOp32 BlockSub32;
extern TBlockOp64 BlockSub64;
// Dst[i] := Src[i] - Dst[i]
extern TBlockOp32 BlockReverseSub32;
extern TBlockOp64 BlockReverseSub64;
// Dst[i] := Dst[i] + X
extern TBlockScalarOp32 BlockOffset32;
extern TBlockScalarOp64 BlockOffset64;
// Dst[i] := Dst[i] * Src[i]
extern TBlockOp32 BlockMultiply32;
extern TBlockOp64 BlockMultiply64;
// Dst[i] := Dst[i] / Src[i]
extern TBlockOp32 BlockDivide32;
extern TBlockOp64 BlockDivide64;
// Dst[i] := Src[i] / Dst[i]
extern TBlockOp32 BlockReverseDivide32;
extern TBlockOp64 BlockReverseDivide64;
// Dst[i] := Dst[i] * X
extern TBlockScalarOp32 BlockScale32;
extern TBlockScalarOp64 BlockScale64;
// Dst[i] := Src[i] * X
extern TBlockScaledOp32 BlockScaledCopy32;
extern TBlockScaledOp64 BlockScaledCopy64;
// Dst[i] := Dst[i] + Src[i] * X
extern TBlockScaledOp32 BlockScaledAdd32;
extern TBlockScaledOp64 BlockScaledAdd64;

// Creates the 20 bindings with their portable implementations (after
// BindingsStartUp). Their lifetime ends in BindingsShutDown.
void BlockArithmeticStartUp();

}  // namespace vb
