#pragma once
// Colours and paints of the artwork generator. A paint gives the colour at a
// point, so that gradients, brushed metal and knurling are all just paints
// filled into a shape.

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <vector>

#include "shapes.h"

namespace vb::artwork {

// Straight (not premultiplied) colour, every channel 0..1.
struct TRgba {
  double R = 0;
  double G = 0;
  double B = 0;
  double A = 1;
};

// From 0xRRGGBB and an opacity.
TRgba Rgb(std::uint32_t Rgb, double Alpha = 1.0);
TRgba Mix(const TRgba& A, const TRgba& B, double T);
// Lighter (Amount > 0, towards white) or darker (towards black).
TRgba Shade(const TRgba& Colour, double Amount);
TRgba WithAlpha(const TRgba& Colour, double Alpha);

using TPaint = std::function<TRgba(double X, double Y)>;

struct TStop {
  double Offset;  // 0..1
  TRgba Colour;
};

TPaint Solid(const TRgba& Colour);
// Along the line From -> To; before and after it the end colours hold.
TPaint Linear(TVec From, TVec To, std::vector<TStop> Stops);
TPaint Radial(TVec Centre, double Radius, std::vector<TStop> Stops);
// Around Centre, by angle: offset 0 at Start (radians, 0 = right, growing
// clockwise on screen), once round to 1.
TPaint Conic(TVec Centre, double Start, std::vector<TStop> Stops);

// A fixed pseudo-random value in -1..1 for integer coordinates and a seed:
// the same inputs always give the same value.
double Hash(std::int64_t X, std::int64_t Y, std::uint32_t Seed);

}  // namespace vb::artwork
