#include <cmath>

#include "param_table.h"

static double clampPosition(double t) {
  if (t > 1) t = 1;
  if (t < 0) t = 0;
  return t;
}

static bool degenerate(double lo, double hi) { return std::fabs(hi - lo) < 1e-6; }

static double clampInto(double v, double lo, double hi) {
  double low = hi > lo ? lo : hi, high = hi > lo ? hi : lo;
  if (v < low) return low;
  if (v > high) return high;
  return v;
}

double linearToValue(double lo, double hi, double t) { return std::fma(hi - lo, clampPosition(t), lo); }

double linearToNormalized(double lo, double hi, double v) {
  if (degenerate(lo, hi)) return 0;
  return (clampInto(v, lo, hi) - lo) / (hi - lo);
}

double quadraticToValue(double lo, double hi, double t) {
  t = clampPosition(t);
  return std::fma(hi - lo, t * t, lo);
}

double quadraticToNormalized(double lo, double hi, double v) {
  if (degenerate(lo, hi)) return 0;
  return std::sqrt((clampInto(v, lo, hi) - lo) / (hi - lo));
}

double steppedToValue(double lo, double hi, double t) { return std::round(std::fma(hi - lo, clampPosition(t), lo)); }

double steppedToNormalized(double lo, double hi, double v) {
  if (degenerate(lo, hi)) return 0;
  return (std::round(clampInto(v, lo, hi)) - lo) / (hi - lo);
}

double logToValue(double lo, double hi, double t) {
  lo = std::fmax(lo, 1e-6);
  t = clampPosition(t);
  hi = std::fmax(hi, 2e-6);
  return std::pow(hi / lo, t) * lo;
}

double logToNormalized(double lo, double hi, double v) {
  hi = std::fmax(hi, 2e-6);
  lo = std::fmax(lo, 1e-6);
  v = clampInto(v, lo, hi);
  return (std::log(v) - std::log(lo)) / (std::log(hi) - std::log(lo));
}

// The fader's travel in decibels: a quartic fitted to the fader's scale, with
// the bottom 5.5 % faded to silence along a quarter sine. Every FaderLaw row
// is -200...10, so the range is not used.
double faderLawToValue(double, double, double t) {
  if (!(t >= 0)) return -200;
  if (t > 1) return 10.000000000000057;
  double p = std::fma(std::fma(std::fma(std::fma(-54.28829155946011, t, 185.11460729522545), t, -261.6726216708534), t,
                               212.46963343266762),
                      t, -71.62332749757951);
  double g = std::exp(p * 0.1151292546497023);
  if (t < 0.055) g *= std::sin(t * 28.559933214452666);
  if (g < 1e-10) return -200;
  return 20 * std::log10(g);
}

double faderLawToNormalized(double lo, double hi, double v) {
  double target = v < lo ? lo : v > hi ? hi : v;
  double low = 0, high = 1;
  for (int pass = 0; pass < 128; ++pass) {
    double mid = (low + high) * 0.5;
    double y = faderLawToValue(lo, hi, mid);
    if (std::fabs(y - target) < 1e-10) return mid;
    if (target >= y)
      low = mid;
    else
      high = mid;
  }
  return (low + high) * 0.5;
}
