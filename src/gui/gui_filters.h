#pragma once
// Filters that change an 8-bit byte map or a 32-bit pixel map in place: the
// integer stack blur (a separable triangle-weighted average whose cost per
// pixel does not depend on the radius) and the look-up-table saturation
// curve that shapes a blurred text shadow.
//
// Used from the thread that owns the window only.

#include <array>
#include <cstdint>
#include <vector>

namespace vb {

class TGuiCustomByteMap;
class TGuiCustomPixelMap;

class TGuiCustomFilter {
 public:
  TGuiCustomFilter() = default;
  virtual ~TGuiCustomFilter() = default;
  TGuiCustomFilter(const TGuiCustomFilter&) = delete;
  TGuiCustomFilter& operator=(const TGuiCustomFilter&) = delete;

  virtual void Filter(TGuiCustomByteMap& ByteMap) = 0;
  virtual void Filter(TGuiCustomPixelMap& PixelMap) = 0;
};

class TGuiCustomBlurFilter : public TGuiCustomFilter {
 public:
  // Pixels; 1 at creation.
  float Radius() const { return FRadius; }
  // Values of 0 or less (and NaN) raise EControlError "Radius must be larger
  // than zero!" and keep the radius.
  void SetRadius(float Value);

 protected:
  virtual void RadiusChanged() {}

 private:
  float FRadius = 1;
};

class TGuiStackBlurFilter : public TGuiCustomBlurFilter {
 public:
  // Kernels up to this size divide through a table (at most 1.1 MB).
  static constexpr std::int32_t kMaxTableKernel = 32;
  // Larger radii act as this one (a window far beyond any map).
  static constexpr std::int32_t kMaxKernel = 65535;

  TGuiStackBlurFilter();

  // Radius rounded to the nearest integer, ties to even (0.5 gives 0, which
  // leaves maps unchanged), at most kMaxKernel.
  std::int32_t KernelSize() const { return FKernelSize; }

  // Each output byte is the sum of the 2r + 1 bytes around it weighted
  // r + 1 - |distance|, divided by (r + 1)^2 with the remainder dropped;
  // beyond an edge the edge byte repeats. Rows first, then columns.
  void Filter(TGuiCustomByteMap& ByteMap) override;
  // The same on the alpha byte of each pixel; blue, green and red stay.
  void Filter(TGuiCustomPixelMap& PixelMap) override;

 protected:
  void RadiusChanged() override;
  virtual void KernelSizeChanged() {}

 private:
  // Blurs Width x Height bytes at Data (rows RowStride bytes apart, samples
  // SampleStride bytes apart).
  void Blur(std::uint8_t* Data, std::int32_t Width, std::int32_t Height, std::ptrdiff_t SampleStride,
            std::ptrdiff_t RowStride);
  void BlurPass(std::uint8_t* Data, std::int32_t Length, std::int32_t Lines, std::ptrdiff_t Step,
                std::ptrdiff_t LineStep);
  void PrepareDivideTable();

  std::int32_t FKernelSize = 1;
  // Entry i = i div (r + 1)^2 for i below 256 (r + 1)^2; built for the
  // kernel size in use and kept, so that a blur allocates nothing new while
  // the radius stays. Empty for kernels above kMaxTableKernel.
  std::vector<std::int32_t> FDivideTable;
  std::int32_t FDivideTableKernel = -1;
  std::vector<std::uint8_t> FStack;
  std::vector<std::int32_t> FNext;
};

class TGuiSaturationFilter : public TGuiCustomFilter {
 public:
  TGuiSaturationFilter();

  // 0 leaves values as they are, above 0 raises them, below 0 lowers them;
  // NaN is ignored.
  float Value() const { return FValue; }
  void SetValue(float Value);
  std::uint8_t TableEntry(std::uint8_t Index) const { return FLookUpTable[Index]; }

  void Filter(TGuiCustomByteMap& ByteMap) override;
  // All four bytes of every pixel.
  void Filter(TGuiCustomPixelMap& PixelMap) override;

 protected:
  virtual void SaturationChanged() { BuildLookUpTable(); }
  virtual void BuildLookUpTable();

 private:
  std::array<std::uint8_t, 256> FLookUpTable{};
  float FValue = 0;
};

}  // namespace vb
