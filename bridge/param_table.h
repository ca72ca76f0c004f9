// The mixer's parameter keys with their ranges and curves, and the transforms
// between a control's normalized position (0 to 1) and the parameter's value.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

enum class ParamCurve : uint32_t { Linear = 1, Stepped = 2, Quadratic = 3, FaderLaw = 4, Logarithmic = 5 };

// (min, max, x) -> y; every row calls its pair with its own min and max.
using TransformFn = double (*)(double, double, double);

struct ParamDescriptor {
  std::string_view key;
  double min;
  double max;
  ParamCurve curve;
  TransformFn toValue;
  TransformFn toNormalized;
};

double linearToValue(double lo, double hi, double t);
double linearToNormalized(double lo, double hi, double v);
double steppedToValue(double lo, double hi, double t);
double steppedToNormalized(double lo, double hi, double v);
double quadraticToValue(double lo, double hi, double t);
double quadraticToNormalized(double lo, double hi, double v);
double faderLawToValue(double lo, double hi, double t);
double faderLawToNormalized(double lo, double hi, double v);
double logToValue(double lo, double hi, double t);
double logToNormalized(double lo, double hi, double v);

constexpr size_t paramCount = 500;
extern const std::array<ParamDescriptor, paramCount> paramDescriptors;

// The row whose key is exactly `key`, or nullptr. The first call builds the
// index; make one before several threads look keys up.
const ParamDescriptor* keyDataTransform(std::string_view key);
