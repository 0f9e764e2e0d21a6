#include "paints.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vb::artwork {
namespace {

TRgba Sample(const std::vector<TStop>& Stops, double T) {
  if (T <= Stops.front().Offset) return Stops.front().Colour;
  for (std::size_t i = 1; i < Stops.size(); ++i) {
    if (T <= Stops[i].Offset) {
      const double span = Stops[i].Offset - Stops[i - 1].Offset;
      return Mix(Stops[i - 1].Colour, Stops[i].Colour, span > 0 ? (T - Stops[i - 1].Offset) / span : 1.0);
    }
  }
  return Stops.back().Colour;
}

}  // namespace

TRgba Rgb(std::uint32_t Rgb, double Alpha) {
  return TRgba{double((Rgb >> 16) & 0xFF) / 255.0, double((Rgb >> 8) & 0xFF) / 255.0, double(Rgb & 0xFF) / 255.0,
               Alpha};
}

TRgba Mix(const TRgba& A, const TRgba& B, double T) {
  return TRgba{A.R + (B.R - A.R) * T, A.G + (B.G - A.G) * T, A.B + (B.B - A.B) * T, A.A + (B.A - A.A) * T};
}

TRgba Shade(const TRgba& Colour, double Amount) {
  const TRgba target = Amount >= 0 ? TRgba{1, 1, 1, Colour.A} : TRgba{0, 0, 0, Colour.A};
  return Mix(Colour, target, std::min(1.0, std::abs(Amount)));
}

TRgba WithAlpha(const TRgba& Colour, double Alpha) { return TRgba{Colour.R, Colour.G, Colour.B, Alpha}; }

TPaint Solid(const TRgba& Colour) {
  return [Colour](double, double) { return Colour; };
}

TPaint Linear(TVec From, TVec To, std::vector<TStop> Stops) {
  const double dx = To.X - From.X, dy = To.Y - From.Y;
  const double length2 = std::max(1e-12, dx * dx + dy * dy);
  return [=, stops = std::move(Stops)](double X, double Y) {
    return Sample(stops, ((X - From.X) * dx + (Y - From.Y) * dy) / length2);
  };
}

TPaint Radial(TVec Centre, double Radius, std::vector<TStop> Stops) {
  return [=, stops = std::move(Stops)](double X, double Y) {
    return Sample(stops, std::hypot(X - Centre.X, Y - Centre.Y) / Radius);
  };
}

TPaint Conic(TVec Centre, double Start, std::vector<TStop> Stops) {
  return [=, stops = std::move(Stops)](double X, double Y) {
    double turn = (std::atan2(Y - Centre.Y, X - Centre.X) - Start) / (2 * std::numbers::pi);
    turn -= std::floor(turn);
    return Sample(stops, turn);
  };
}

double Hash(std::int64_t X, std::int64_t Y, std::uint32_t Seed) {
  std::uint64_t h = std::uint64_t(X) * 0x9E3779B97F4A7C15ull ^ std::uint64_t(Y) * 0xC2B2AE3D27D4EB4Full ^
                    (std::uint64_t(Seed) << 32 | Seed);
  h ^= h >> 33;
  h *= 0xFF51AFD7ED558CCDull;
  h ^= h >> 33;
  h *= 0xC4CEB9FE1A85EC53ull;
  h ^= h >> 33;
  return double(h >> 11) / double(1ull << 52) - 1.0;
}

}  // namespace vb::artwork
