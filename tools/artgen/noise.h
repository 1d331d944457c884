#pragma once
// Deterministic noise for the procedural textures: integer hashing only, so a
// seed gives the same picture on every run.

#include <cmath>
#include <cstdint>

inline uint32_t HashInts(int32_t x, int32_t y, uint32_t seed) {
  uint32_t h = seed * 0x9e3779b9u;
  h ^= static_cast<uint32_t>(x) * 0x85ebca6bu;
  h = (h ^ (h >> 15)) * 0x2c1b3c6du;
  h ^= static_cast<uint32_t>(y) * 0xc2b2ae35u;
  h = (h ^ (h >> 12)) * 0x297a2d39u;
  return h ^ (h >> 15);
}

// Uniform in [0, 1).
inline double HashUnit(int32_t x, int32_t y, uint32_t seed) {
  return (HashInts(x, y, seed) >> 8) * (1.0 / 16777216.0);
}

inline double SmoothStep(double t) { return t * t * (3.0 - 2.0 * t); }

// Value noise in [0, 1), smooth between integer lattice points.
inline double ValueNoise(double x, double y, uint32_t seed) {
  const double fx = std::floor(x), fy = std::floor(y);
  const auto ix = static_cast<int32_t>(fx), iy = static_cast<int32_t>(fy);
  const double tx = SmoothStep(x - fx), ty = SmoothStep(y - fy);
  const double a = HashUnit(ix, iy, seed), b = HashUnit(ix + 1, iy, seed);
  const double c = HashUnit(ix, iy + 1, seed), d = HashUnit(ix + 1, iy + 1, seed);
  return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * ty;
}

// Sum of octaves, normalised to [0, 1).
inline double Fbm(double x, double y, int octaves, uint32_t seed) {
  double sum = 0, amplitude = 1, total = 0;
  for (int i = 0; i < octaves; ++i) {
    sum += amplitude * ValueNoise(x, y, seed + 101u * static_cast<uint32_t>(i));
    total += amplitude;
    amplitude *= 0.5;
    x *= 2.0;
    y *= 2.0;
  }
  return sum / total;
}

// A small linear congruential generator for the sounds' noise.
class TNoiseSource {
 public:
  explicit TNoiseSource(uint32_t seed) : state(seed) {}
  // Uniform in [-1, 1).
  double Next() {
    state = state * 1664525u + 1013904223u;
    return (state >> 8) * (2.0 / 16777216.0) - 1.0;
  }

 private:
  uint32_t state;
};
