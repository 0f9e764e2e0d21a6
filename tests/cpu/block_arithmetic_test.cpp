// Guards against block routines with a wrong operand order, a wrong
// precision (float results must be one rounding of the double result) or
// writes beyond N.
#include "cpu/block_arithmetic.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <vector>

namespace vb {
namespace {

const std::vector<double> kDst = {2.0, -3.5, 0.1, 1e10, 7.0, 1.0 / 3.0, -0.0};
const std::vector<double> kSrc = {1.0, 4.25, 0.2, 3.0, -7.0, 3.0, 5.0};
constexpr double kX = 0.7;

struct TCase {
  const char* Name;
  std::function<void(float*, const float*, std::int32_t)> Run32;
  std::function<void(double*, const double*, std::int32_t)> Run64;
  std::function<double(double, double)> Expected;  // from Dst[i], Src[i]
};

std::vector<TCase> Cases() {
  return {
      {"Add", [](float* D, const float* S, std::int32_t N) { BlockAdd32(D, S, N); },
       [](double* D, const double* S, std::int32_t N) { BlockAdd64(D, S, N); },
       [](double D, double S) { return D + S; }},
      {"Sub", [](float* D, const float* S, std::int32_t N) { BlockSub32(D, S, N); },
       [](double* D, const double* S, std::int32_t N) { BlockSub64(D, S, N); },
       [](double D, double S) { return D - S; }},
      {"ReverseSub", [](float* D, const float* S, std::int32_t N) { BlockReverseSub32(D, S, N); },
       [](double* D, const double* S, std::int32_t N) { BlockReverseSub64(D, S, N); },
       [](double D, double S) { return S - D; }},
      {"Offset", [](float* D, const float*, std::int32_t N) { BlockOffset32(D, float(kX), N); },
       [](double* D, const double*, std::int32_t N) { BlockOffset64(D, kX, N); },
       [](double D, double) { return D + kX; }},
      {"Multiply", [](float* D, const float* S, std::int32_t N) { BlockMultiply32(D, S, N); },
       [](double* D, const double* S, std::int32_t N) { BlockMultiply64(D, S, N); },
       [](double D, double S) { return D * S; }},
      {"Divide", [](float* D, const float* S, std::int32_t N) { BlockDivide32(D, S, N); },
       [](double* D, const double* S, std::int32_t N) { BlockDivide64(D, S, N); },
       [](double D, double S) { return D / S; }},
      {"ReverseDivide", [](float* D, const float* S, std::int32_t N) { BlockReverseDivide32(D, S, N); },
       [](double* D, const double* S, std::int32_t N) { BlockReverseDivide64(D, S, N); },
       [](double D, double S) { return S / D; }},
      {"Scale", [](float* D, const float*, std::int32_t N) { BlockScale32(D, float(kX), N); },
       [](double* D, const double*, std::int32_t N) { BlockScale64(D, kX, N); },
       [](double D, double) { return D * kX; }},
      {"ScaledCopy", [](float* D, const float* S, std::int32_t N) { BlockScaledCopy32(D, S, N, float(kX)); },
       [](double* D, const double* S, std::int32_t N) { BlockScaledCopy64(D, S, N, kX); },
       [](double, double S) { return S * kX; }},
      {"ScaledAdd", [](float* D, const float* S, std::int32_t N) { BlockScaledAdd32(D, S, N, float(kX)); },
       [](double* D, const double* S, std::int32_t N) { BlockScaledAdd64(D, S, N, kX); },
       [](double D, double S) { return D + S * kX; }},
  };
}

TEST(BlockArithmetic, EveryRoutineComputesItsFormulaInBothPrecisions) {
  const std::size_t n = kDst.size();
  for (const TCase& c : Cases()) {
    std::vector<double> dst64 = kDst;
    std::vector<float> dst32(kDst.begin(), kDst.end());
    const std::vector<float> src32(kSrc.begin(), kSrc.end());
    dst64.push_back(99.0);  // guard element beyond N
    dst32.push_back(99.0f);
    c.Run64(dst64.data(), kSrc.data(), std::int32_t(n));
    c.Run32(dst32.data(), src32.data(), std::int32_t(n));
    for (std::size_t i = 0; i < n; ++i) {
      EXPECT_EQ(dst64[i], c.Expected(kDst[i], kSrc[i])) << c.Name << " 64-bit element " << i;
      // 32-bit: the operands as floats, the operation in double, one rounding.
      const double d = double(float(kDst[i])), s = double(float(kSrc[i]));
      const double x = double(float(kX));
      const double expected = std::string(c.Name) == "Offset"       ? d + x
                              : std::string(c.Name) == "Scale"      ? d * x
                              : std::string(c.Name) == "ScaledCopy" ? s * x
                              : std::string(c.Name) == "ScaledAdd"  ? d + s * x
                                                                    : c.Expected(d, s);
      EXPECT_EQ(dst32[i], float(expected)) << c.Name << " 32-bit element " << i;
    }
    EXPECT_EQ(dst64[n], 99.0) << c.Name;
    EXPECT_EQ(dst32[n], 99.0f) << c.Name;
  }
}

TEST(BlockArithmetic, EmptyAndNegativeCountsChangeNothing) {
  for (const TCase& c : Cases()) {
    std::vector<double> dst64 = kDst;
    std::vector<float> dst32(kDst.begin(), kDst.end());
    const std::vector<float> src32(kSrc.begin(), kSrc.end());
    c.Run64(dst64.data(), kSrc.data(), 0);
    c.Run64(dst64.data(), kSrc.data(), -4);
    c.Run32(dst32.data(), src32.data(), 0);
    c.Run32(dst32.data(), src32.data(), -4);
    EXPECT_EQ(dst64, kDst) << c.Name;
    EXPECT_EQ(dst32, std::vector<float>(kDst.begin(), kDst.end())) << c.Name;
  }
}

TEST(BlockArithmetic, ReverseDivideDividesSourceByDestination) {
  double dst[2] = {2.0, 4.0};
  const double src[2] = {1.0, 1.0};
  BlockReverseDivide64(dst, src, 2);
  EXPECT_EQ(dst[0], 0.5);
  EXPECT_EQ(dst[1], 0.25);
}

}  // namespace
}  // namespace vb
