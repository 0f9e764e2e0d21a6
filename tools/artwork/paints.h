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
TRgba Rgb(std::uint32_t rgb, double alpha = 1.0);
TRgba Mix(const TRgba& a, const TRgba& b, double t);
// Lighter (Amount > 0, towards white) or darker (towards black).
TRgba Shade(const TRgba& colour, double amount);
TRgba WithAlpha(const TRgba& colour, double alpha);

using TPaint = std::function<TRgba(double x, double y)>;

struct TStop {
  double Offset;  // 0..1
  TRgba Colour;
};

TPaint Solid(const TRgba& colour);
// Along the line From -> To; before and after it the end colours hold.
TPaint Linear(TVec from, TVec to, std::vector<TStop> stops);
TPaint Radial(TVec centre, double radius, std::vector<TStop> stops);
// Around Centre, by angle: offset 0 at Start (radians, 0 = right, growing
// clockwise on screen), once round to 1.
TPaint Conic(TVec centre, double start, std::vector<TStop> stops);

// A fixed pseudo-random value in -1..1 for integer coordinates and a seed:
// the same inputs always give the same value.
double Hash(std::int64_t x, std::int64_t y, std::uint32_t seed);

}  // namespace vb::artwork
