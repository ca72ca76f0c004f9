// The parameter table and its transforms, against the mixer's own figures.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <set>
#include <string>

#include "param_table.h"

namespace {

using enum ParamCurve;

const ParamDescriptor& row(std::string_view key) {
  const ParamDescriptor* d = keyDataTransform(key);
  if (!d) throw std::runtime_error("no row for " + std::string(key));
  return *d;
}

double value(std::string_view key, double position) {
  const ParamDescriptor& d = row(key);
  return d.toValue(d.min, d.max, position);
}

double position(std::string_view key, double v) {
  const ParamDescriptor& d = row(key);
  return d.toNormalized(d.min, d.max, v);
}

TEST(ParamTable, EveryKeyIsFoundAndUnique) {
  std::set<std::string_view> keys;
  for (const ParamDescriptor& d : paramDescriptors) {
    EXPECT_TRUE(keys.insert(d.key).second) << "duplicate " << d.key;
    EXPECT_EQ(keyDataTransform(std::string(d.key)), &d) << d.key;
  }
  EXPECT_EQ(keys.size(), 500u);
}

TEST(ParamTable, LookupIsExact) {
  EXPECT_NE(keyDataTransform("i.0.mix"), nullptr);
  for (const char* missing : {"I.0.mix", "i.0.mix ", "i.0.mi", "i.4.mix", "p.3.mix", "s.gain", "eqBand", "", "B.4.0.trim"})
    EXPECT_EQ(keyDataTransform(missing), nullptr) << missing;
}

TEST(ParamTable, RowsAreInStripOrder) {
  const std::map<size_t, std::string_view> landmarks = {
      {0, "settings.brightness.screen"}, {5, "settings.brightness.button"}, {6, "i.0.mix"},
      {9, "i.0.eq.b1.freq"},             {24, "i.0.gate.thresh"},           {29, "i.0.comp.thresh"},
      {35, "i.0.ds.thresh"},             {48, "i.0.fx.1.value"},            {49, "i.1.mix"},
      {177, "i.3.fx.1.value"},           {178, "p.0.mix"},                  {180, "p.0.trim"},
      {196, "p.0.comp.thresh"},          {202, "p.0.gate.thresh"},          {294, "p.2.fx.1.value"},
      {295, "s.mix"},                    {332, "s.fx.1.value"},             {333, "a.0.mix"},
      {340, "a.3.pan"},                  {341, "f.0.mix"},                  {345, "f.0.lpf"},
      {346, "f.1.mix"},                  {348, "f.1.predelay"},             {351, "m.mix"},
      {353, "m.delay"},                  {369, "m.comp.thresh"},            {379, "m.gate.release"},
      {380, "B.0.0.startTime"},          {385, "B.0.1.startTime"},          {410, "B.1.0.startTime"},
      {499, "B.3.5.trim"},
  };
  for (const auto& [index, key] : landmarks) EXPECT_EQ(paramDescriptors[index].key, key) << "row " << index;
}

TEST(ParamTable, CountsByCurve) {
  std::map<ParamCurve, int> counts;
  for (const ParamDescriptor& d : paramDescriptors) ++counts[d.curve];
  EXPECT_EQ(counts[Linear], 297);
  EXPECT_EQ(counts[Logarithmic], 118);
  EXPECT_EQ(counts[FaderLaw], 63);
  EXPECT_EQ(counts[Quadratic], 18);
  EXPECT_EQ(counts[Stepped], 4);
}

// The control a key names, without its strip: "eq.b1.freq" for
// "i.2.eq.b1.freq". Controls that only one strip has keep the strip's name.
std::string controlOf(std::string_view key) {
  std::string k(key);
  if (k.starts_with("settings.brightness.")) return "settings.brightness";
  auto afterDots = [&](int dots) {
    size_t at = 0;
    for (int i = 0; i < dots; ++i) at = k.find('.', at) + 1;
    return k.substr(at);
  };
  if (k.starts_with("B.")) return "B." + afterDots(3);
  if (k.starts_with("s.") || k.starts_with("m.")) {
    std::string control = afterDots(1);
    return k.starts_with("m.") && control == "delay" ? "m.delay" : control;
  }
  std::string control = afterDots(2);
  if (k.starts_with("f.") && control != "mix" && control != "pan") return k.substr(0, 4) + control;
  if (k.starts_with("p.") && control == "trim") return "p.trim";
  return control;
}

// Each control has one range and curve on every strip that has it.
TEST(ParamTable, RangesAndCurvesByControl) {
  struct Range {
    ParamCurve curve;
    double min, max;
  };
  std::map<std::string, Range> ranges = {
      {"settings.brightness", {Linear, 0, 1}}, {"mix", {FaderLaw, -200, 10}},
      {"pan", {Linear, 0, 1}},                 {"gain", {Stepped, 0, 80}},
      {"p.trim", {Linear, -20, 40}},           {"eq.hp.freq", {Logarithmic, 20, 700}},
      {"eq.hp.gain", {Linear, 0, 0}},          {"eq.hp.q", {Linear, 1.0249428926, 1.0249428926}},
      {"gate.thresh", {Linear, -60, 0}},       {"gate.depth", {Linear, -80, 0}},
      {"gate.attack", {Logarithmic, 0.5, 500}}, {"comp.attack", {Logarithmic, 0.5, 500}},
      {"gate.hold", {Quadratic, 0, 500}},      {"comp.hold", {Quadratic, 0, 500}},
      {"gate.release", {Logarithmic, 10, 2000}}, {"comp.release", {Logarithmic, 10, 2000}},
      {"comp.thresh", {Linear, -60, 0}},       {"comp.gain", {Linear, 0, 24}},
      {"comp.ratio", {Logarithmic, 1, 20}},    {"ds.thresh", {Linear, -96, 0}},
      {"ds.freq", {Logarithmic, 20, 20000}},   {"ds.q", {Logarithmic, 0.1, 15}},
      {"ds.range", {Linear, -15, 0}},          {"f.0.time", {Linear, 100, 2000}},
      {"f.0.feedback", {Linear, 0, 100}},      {"f.0.lpf", {Logarithmic, 20, 20000}},
      {"f.1.predelay", {Linear, 0, 50}},       {"f.1.time", {Linear, 200, 8000}},
      {"f.1.lpf", {Logarithmic, 400, 20000}},  {"m.delay", {Linear, 0, 250}},
      {"B.startTime", {Linear, 0, 3000}},      {"B.endTime", {Linear, 0, 3000}},
      {"B.fadeIn", {Linear, 1, 1000}},         {"B.fadeOut", {Linear, 1, 1000}},
      {"B.trim", {Linear, -40, 0}},
  };
  for (const char* band : {"b1", "b2", "b3"}) {
    std::string eq = std::string("eq.") + band;
    ranges[eq + ".freq"] = {Logarithmic, 20, 20000};
    ranges[eq + ".gain"] = {Linear, -15, 15};
    ranges[eq + ".q"] = {Logarithmic, 0.1, 15};
    ranges[eq + ".slope"] = {Linear, 12, 12};
  }
  for (const char* bus : {"0", "1", "2", "3"}) {
    ranges[std::string("aux.") + bus + ".value"] = {FaderLaw, -200, 10};
    ranges[std::string("aux.") + bus + ".value2"] = {Linear, -20, 20};
  }
  ranges["fx.0.value"] = ranges["fx.1.value"] = {FaderLaw, -200, 10};

  for (const ParamDescriptor& d : paramDescriptors) {
    auto range = ranges.find(controlOf(d.key));
    ASSERT_NE(range, ranges.end()) << d.key;
    EXPECT_EQ(d.curve, range->second.curve) << d.key;
    EXPECT_EQ(d.min, range->second.min) << d.key;
    EXPECT_EQ(d.max, range->second.max) << d.key;
  }
}

TEST(ParamTable, EachRowCarriesItsCurvesTransforms) {
  const std::map<ParamCurve, std::pair<TransformFn, TransformFn>> pairs = {
      {Linear, {linearToValue, linearToNormalized}},
      {Stepped, {steppedToValue, steppedToNormalized}},
      {Quadratic, {quadraticToValue, quadraticToNormalized}},
      {FaderLaw, {faderLawToValue, faderLawToNormalized}},
      {Logarithmic, {logToValue, logToNormalized}},
  };
  for (const ParamDescriptor& d : paramDescriptors) {
    EXPECT_EQ(d.toValue, pairs.at(d.curve).first) << d.key;
    EXPECT_EQ(d.toNormalized, pairs.at(d.curve).second) << d.key;
  }
}

TEST(ParamTable, PositionsOutsideTheTravelClamp) {
  for (const ParamDescriptor& d : paramDescriptors) {
    EXPECT_EQ(d.toValue(d.min, d.max, -0.5), d.toValue(d.min, d.max, 0)) << d.key;
    EXPECT_EQ(d.toValue(d.min, d.max, 1.5), d.toValue(d.min, d.max, 1)) << d.key;
  }
}

TEST(ValueTransforms, FixedControlsIgnoreThePosition) {
  for (std::string_view key : {"i.0.eq.b1.slope", "m.eq.hp.gain", "s.eq.hp.q"}) {
    const ParamDescriptor& d = row(key);
    for (double t : {0.0, 0.3, 1.0}) EXPECT_EQ(value(key, t), d.min) << key;
    for (double v : {-100.0, d.min, 100.0}) EXPECT_EQ(position(key, v), 0) << key;
  }
  EXPECT_EQ(value("i.0.eq.b1.slope", 0.7), 12);
}

TEST(ValueTransforms, WorkedValues) {
  struct Case {
    const char* what;
    double got, expected;
  };
  const Case cases[] = {
      {"linear -15..15 at 0.75", linearToValue(-15, 15, 0.75), 7.5},
      {"linear inverse of 7.5", linearToNormalized(-15, 15, 7.5), 0.75},
      {"linear inverse below", linearToNormalized(-15, 15, -20), 0},
      {"linear inverse above", linearToNormalized(-15, 15, 20), 1},
      {"linear downward range, below", linearToNormalized(10, 0, -1), 1},
      {"linear downward range, above", linearToNormalized(10, 0, 11), 0},
      {"stepped 0.5", steppedToValue(0, 80, 0.5), 40},
      {"stepped 0.123 rounds 9.84", steppedToValue(0, 80, 0.123), 10},
      {"stepped inverse of 9.6", steppedToNormalized(0, 80, 9.6), 0.125},
      {"stepped inverse of 100", steppedToNormalized(0, 80, 100), 1},
      {"stepped half rounds away from zero", steppedToValue(0, 80, 0.00625), 1},
      {"quadratic 0.5", quadraticToValue(0, 500, 0.5), 125},
      {"quadratic inverse of 125", quadraticToNormalized(0, 500, 125), 0.5},
      {"quadratic inverse below", quadraticToNormalized(0, 500, -1), 0},
      {"log 0.5 on 20..20000", logToValue(20, 20000, 0.5), 632.4555320336758},
      {"log 0 on 20..20000", logToValue(20, 20000, 0), 20},
      {"log 1 on 20..20000", logToValue(20, 20000, 1), 20000},
      {"log inverse of 1000", logToNormalized(20, 20000, 1000), 0.5663233347786729},
      {"log 0.5 on 0.1..15", logToValue(0.1, 15, 0.5), 1.2247448713915892},
      {"log inverse below", logToNormalized(20, 20000, 1), 0},
  };
  for (const Case& c : cases) EXPECT_NEAR(c.got, c.expected, std::fabs(c.expected) * 1e-15) << c.what;
}

TEST(ValueTransforms, FaderLaw) {
  const std::pair<double, double> levels[] = {
      {0.01, -80.5279}, {0.055, -60.6988}, {0.1, -52.8134}, {0.25, -32.1801}, {0.5, -11.0604},
      {0.6, -5.3947},   {0.75, 1.4561},    {0.8, 3.4241},   {0.9, 6.9745},
  };
  for (auto [t, dB] : levels) EXPECT_NEAR(faderLawToValue(-200, 10, t), dB, 5e-5) << t;
  EXPECT_EQ(faderLawToValue(-200, 10, 0), -200);  // the sine factor is 0
  EXPECT_EQ(faderLawToValue(-200, 10, -0.1), -200);
  EXPECT_EQ(faderLawToValue(-200, 10, std::numeric_limits<double>::quiet_NaN()), -200);
  EXPECT_EQ(faderLawToValue(-200, 10, 1), 10.000000000000057);
  EXPECT_EQ(faderLawToValue(-200, 10, 1.2), 10.000000000000057);
}

TEST(ValueTransforms, FaderLawInverse) {
  const std::pair<double, double> positions[] = {
      {0, 0.7151225600}, {-10, 0.5172750216}, {-60, 0.05878826677}, {10, 0.9999999999964}};
  for (auto [dB, t] : positions) EXPECT_NEAR(faderLawToNormalized(-200, 10, dB), t, t * 5e-10) << dB;
  EXPECT_EQ(faderLawToNormalized(-200, 10, -200), std::ldexp(1.0, -27));
  EXPECT_EQ(faderLawToNormalized(-200, 10, 15), faderLawToNormalized(-200, 10, 10));
  EXPECT_EQ(faderLawToNormalized(-200, 10, -300), faderLawToNormalized(-200, 10, -200));
}

TEST(ValueTransforms, OneEncoderDetentMovesAPan) {
  double p = position("i.0.pan", 0.5) + double(0.0125f);
  EXPECT_NEAR(value("i.0.pan", p), 0.5125, 1e-9);
}

}  // namespace
