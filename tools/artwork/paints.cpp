#include "paints.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vb::artwork {
namespace {

TRgba Sample(const std::vector<TStop>& stops, double t) {
  if (t <= stops.front().Offset) return stops.front().Colour;
  for (std::size_t i = 1; i < stops.size(); ++i) {
    if (t <= stops[i].Offset) {
      const double span = stops[i].Offset - stops[i - 1].Offset;
      return Mix(stops[i - 1].Colour, stops[i].Colour, span > 0 ? (t - stops[i - 1].Offset) / span : 1.0);
    }
  }
  return stops.back().Colour;
}

}  // namespace

TRgba Rgb(std::uint32_t rgb, double alpha) {
  return TRgba{double((rgb >> 16) & 0xFF) / 255.0, double((rgb >> 8) & 0xFF) / 255.0, double(rgb & 0xFF) / 255.0,
               alpha};
}

TRgba Mix(const TRgba& a, const TRgba& b, double t) {
  return TRgba{a.R + (b.R - a.R) * t, a.G + (b.G - a.G) * t, a.B + (b.B - a.B) * t, a.A + (b.A - a.A) * t};
}

TRgba Shade(const TRgba& colour, double amount) {
  const TRgba target = amount >= 0 ? TRgba{1, 1, 1, colour.A} : TRgba{0, 0, 0, colour.A};
  return Mix(colour, target, std::min(1.0, std::abs(amount)));
}

TRgba WithAlpha(const TRgba& colour, double alpha) { return TRgba{colour.R, colour.G, colour.B, alpha}; }

TPaint Solid(const TRgba& colour) {
  return [colour](double, double) { return colour; };
}

TPaint Linear(TVec from, TVec to, std::vector<TStop> stops) {
  const double dx = to.X - from.X, dy = to.Y - from.Y;
  const double length2 = std::max(1e-12, dx * dx + dy * dy);
  return [=, stops = std::move(stops)](double x, double y) {
    return Sample(stops, ((x - from.X) * dx + (y - from.Y) * dy) / length2);
  };
}

TPaint Radial(TVec centre, double radius, std::vector<TStop> stops) {
  return [=, stops = std::move(stops)](double x, double y) {
    return Sample(stops, std::hypot(x - centre.X, y - centre.Y) / radius);
  };
}

TPaint Conic(TVec centre, double start, std::vector<TStop> stops) {
  return [=, stops = std::move(stops)](double x, double y) {
    double turn = (std::atan2(y - centre.Y, x - centre.X) - start) / (2 * std::numbers::pi);
    turn -= std::floor(turn);
    return Sample(stops, turn);
  };
}

double Hash(std::int64_t x, std::int64_t y, std::uint32_t seed) {
  std::uint64_t h = std::uint64_t(x) * 0x9E3779B97F4A7C15ull ^ std::uint64_t(y) * 0xC2B2AE3D27D4EB4Full ^
                    (std::uint64_t(seed) << 32 | seed);
  h ^= h >> 33;
  h *= 0xFF51AFD7ED558CCDull;
  h ^= h >> 33;
  h *= 0xC4CEB9FE1A85EC53ull;
  h ^= h >> 33;
  return double(h >> 11) / double(1ull << 52) - 1.0;
}

}  // namespace vb::artwork
