#include "cpu/block_arithmetic.h"

#include "cpu/function_binding.h"

namespace vb {

namespace {

// Portable implementations. Each element is computed in double; for float
// blocks the result is rounded to float once.
template <class T, class TOp>
void Elementwise(T* Dst, const T* Src, std::int32_t Count, TOp Op) {
  for (std::int32_t i = 0; i < Count; ++i) Dst[i] = T(Op(double(Dst[i]), double(Src[i])));
}

template <class T>
void AddNative(T* Dst, const T* Src, std::int32_t N) {
  Elementwise(Dst, Src, N, [](double D, double S) { return D + S; });
}
template <class T>
void SubNative(T* Dst, const T* Src, std::int32_t N) {
  Elementwise(Dst, Src, N, [](double D, double S) { return D - S; });
}
template <class T>
void ReverseSubNative(T* Dst, const T* Src, std::int32_t N) {
  Elementwise(Dst, Src, N, [](double D, double S) { return S - D; });
}
template <class T>
void MultiplyNative(T* Dst, const T* Src, std::int32_t N) {
  Elementwise(Dst, Src, N, [](double D, double S) { return D * S; });
}
template <class T>
void DivideNative(T* Dst, const T* Src, std::int32_t N) {
  Elementwise(Dst, Src, N, [](double D, double S) { return D / S; });
}
template <class T>
void ReverseDivideNative(T* Dst, const T* Src, std::int32_t N) {
  Elementwise(Dst, Src, N, [](double D, double S) { return S / D; });
}

template <class T>
void OffsetNative(T* Dst, T X, std::int32_t N) {
  for (std::int32_t i = 0; i < N; ++i) Dst[i] = T(double(Dst[i]) + double(X));
}
template <class T>
void ScaleNative(T* Dst, T X, std::int32_t N) {
  for (std::int32_t i = 0; i < N; ++i) Dst[i] = T(double(Dst[i]) * double(X));
}
template <class T>
void ScaledCopyNative(T* Dst, const T* Src, std::int32_t N, T X) {
  for (std::int32_t i = 0; i < N; ++i) Dst[i] = T(double(Src[i]) * double(X));
}
template <class T>
void ScaledAddNative(T* Dst, const T* Src, std::int32_t N, T X) {
  for (std::int32_t i = 0; i < N; ++i) Dst[i] = T(double(Dst[i]) + double(Src[i]) * double(X));
}

template <FunctionPointer F>
void Register(F* Variable, F Portable) {
  auto* binding = new TFunctionBinding(Variable, Portable);  // deleted by BindingsShutDown
  binding->Add(Portable, TProcessorFeatures{}, 1);
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
