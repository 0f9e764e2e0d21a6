#include "cpu/block_arithmetic.h"

#include "cpu/function_binding.h"

namespace vb {

namespace {

// Portable implementations. Each element is computed in double; for float
// blocks the result is rounded to float once.
template <class T, class Op>
void Elementwise(T* dst, const T* src, std::int32_t count, Op op) {
  for (std::int32_t i = 0; i < count; ++i) dst[i] = T(op(double(dst[i]), double(src[i])));
}

template <class T>
void AddNative(T* dst, const T* src, std::int32_t n) {
  Elementwise(dst, src, n, [](double d, double s) { return d + s; });
}
template <class T>
void SubNative(T* dst, const T* src, std::int32_t n) {
  Elementwise(dst, src, n, [](double d, double s) { return d - s; });
}
template <class T>
void ReverseSubNative(T* dst, const T* src, std::int32_t n) {
  Elementwise(dst, src, n, [](double d, double s) { return s - d; });
}
template <class T>
void MultiplyNative(T* dst, const T* src, std::int32_t n) {
  Elementwise(dst, src, n, [](double d, double s) { return d * s; });
}
template <class T>
void DivideNative(T* dst, const T* src, std::int32_t n) {
  Elementwise(dst, src, n, [](double d, double s) { return d / s; });
}
template <class T>
void ReverseDivideNative(T* dst, const T* src, std::int32_t n) {
  Elementwise(dst, src, n, [](double d, double s) { return s / d; });
}

template <class T>
void OffsetNative(T* dst, T x, std::int32_t n) {
  for (std::int32_t i = 0; i < n; ++i) dst[i] = T(double(dst[i]) + double(x));
}
template <class T>
void ScaleNative(T* dst, T x, std::int32_t n) {
  for (std::int32_t i = 0; i < n; ++i) dst[i] = T(double(dst[i]) * double(x));
}
template <class T>
void ScaledCopyNative(T* dst, const T* src, std::int32_t n, T x) {
  for (std::int32_t i = 0; i < n; ++i) dst[i] = T(double(src[i]) * double(x));
}
template <class T>
void ScaledAddNative(T* dst, const T* src, std::int32_t n, T x) {
  for (std::int32_t i = 0; i < n; ++i) dst[i] = T(double(dst[i]) + double(src[i]) * double(x));
}

template <FunctionPointer F>
void Register(F* variable, F portable) {
  auto* binding = new TFunctionBinding(variable, portable);  // deleted by BindingsShutDown
  binding->Add(portable, TProcessorFeatures{}, 1);
}

}  // namespace

// Constant-initialised with the portable routines: callable even before
// start-up; the bindings made at start-up may choose others.
constinit TBlockOp32 BlockAdd32 = &AddNative<float>;
constinit TBlockOp64 BlockAdd64 = &AddNative<double>;
constinit TBlockOp32 BlockSub32 = &SubNative<float>;
constinit TBlockOp64 BlockSub64 = &SubNative<double>;
constinit TBlockOp32 BlockReverseSub32 = &ReverseSubNative<float>;
constinit TBlockOp64 BlockReverseSub64 = &ReverseSubNative<double>;
constinit TBlockScalarOp32 BlockOffset32 = &OffsetNative<float>;
constinit TBlockScalarOp64 BlockOffset64 = &OffsetNative<double>;
constinit TBlockOp32 BlockMultiply32 = &MultiplyNative<float>;
constinit TBlockOp64 BlockMultiply64 = &MultiplyNative<double>;
constinit TBlockOp32 BlockDivide32 = &DivideNative<float>;
constinit TBlockOp64 BlockDivide64 = &DivideNative<double>;
constinit TBlockOp32 BlockReverseDivide32 = &ReverseDivideNative<float>;
constinit TBlockOp64 BlockReverseDivide64 = &ReverseDivideNative<double>;
constinit TBlockScalarOp32 BlockScale32 = &ScaleNative<float>;
constinit TBlockScalarOp64 BlockScale64 = &ScaleNative<double>;
constinit TBlockScaledOp32 BlockScaledCopy32 = &ScaledCopyNative<float>;
constinit TBlockScaledOp64 BlockScaledCopy64 = &ScaledCopyNative<double>;
constinit TBlockScaledOp32 BlockScaledAdd32 = &ScaledAddNative<float>;
constinit TBlockScaledOp64 BlockScaledAdd64 = &ScaledAddNative<double>;

void BlockArithmeticStartUp() {
  Register(&BlockAdd32, &AddNative<float>);
  Register(&BlockAdd64, &AddNative<double>);
  Register(&BlockSub32, &SubNative<float>);
  Register(&BlockSub64, &SubNative<double>);
  Register(&BlockReverseSub32, &ReverseSubNative<float>);
  Register(&BlockReverseSub64, &ReverseSubNative<double>);
  Register(&BlockOffset32, &OffsetNative<float>);
  Register(&BlockOffset64, &OffsetNative<double>);
  Register(&BlockMultiply32, &MultiplyNative<float>);
  Register(&BlockMultiply64, &MultiplyNative<double>);
  Register(&BlockDivide32, &DivideNative<float>);
  Register(&BlockDivide64, &DivideNative<double>);
  Register(&BlockReverseDivide32, &ReverseDivideNative<float>);
  Register(&BlockReverseDivide64, &ReverseDivideNative<double>);
  Register(&BlockScale32, &ScaleNative<float>);
  Register(&BlockScale64, &ScaleNative<double>);
  Register(&BlockScaledCopy32, &ScaledCopyNative<float>);
  Register(&BlockScaledCopy64, &ScaledCopyNative<double>);
  Register(&BlockScaledAdd32, &ScaledAddNative<float>);
  Register(&BlockScaledAdd64, &ScaledAddNative<double>);
}

}  // namespace vb
