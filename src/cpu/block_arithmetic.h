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

using TBlockOp32 = void (*)(float* dst, const float* src, std::int32_t count);
using TBlockOp64 = void (*)(double* dst, const double* src, std::int32_t count);
using TBlockScalarOp32 = void (*)(float* dst, float x, std::int32_t count);
using TBlockScalarOp64 = void (*)(double* dst, double x, std::int32_t count);
using TBlockScaledOp32 = void (*)(float* dst, const float* src, std::int32_t count, float x);
using TBlockScaledOp64 = void (*)(double* dst, const double* src, std::int32_t count, double x);

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
