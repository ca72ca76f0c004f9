// A frame like the mixer's user interface sends: channel strips with
// rounded panels, meters, fader caps, knob arcs, outlines and a few paths.
// With a small scale the same commands cover few pixels, which leaves the
// cost of intake and dispatch rather than of the rasteriser.
#pragma once

#include <string>

inline std::string uiFrame(int seed, double scale = 1) {
  std::string f = "[";
  auto add = [&](const std::string& call, const std::string& args) {
    f += "{\"obj\":\"ctx\",\"call\":\"" + call + "\",\"args\":[" + args + "]},";
  };
  auto n = [&](double v) { return std::to_string(int(v * scale)); };
  auto list = [&](std::initializer_list<double> values) {
    std::string s;
    for (double v : values) s += (s.empty() ? "" : ",") + n(v);
    return s;
  };
  add("clearRect", list({0, 0, 1024, 600}));
  for (int strip = 0; strip < 16; ++strip) {
    double x = 8 + strip * 63.5;
    int level = (seed * 7 + strip * 13) % 300;
    add("save", "");
    add("translate", list({x, 40}));
    add("fillRoundRect", list({0, 0, 58, 520, 6}));
    add("beginPath", "");
    add("rect", list({4, 40, 50, 300}));
    add("clip", "");
    add("fillRect", list({6, 340.0 - level, 12, double(level)}));
    add("fillRect", list({22, 340.0 - level / 2, 12, level / 2.0}));
    add("restore", "");
    add("save", "");
    add("translate", list({x, 40}));
    add("lineWidth", "2");
    add("strokeRect", list({2, 2, 54, 516}));
    add("beginPath", "");
    add("arc", list({29, 380, 18}) + ",2.4," + std::to_string(2.4 + (level % 100) / 25.0) + ",false");
    add("stroke", "");
    add("fillCircle", list({29, 380, 10}));
    add("fillRoundRect", list({8, 420.0 + level % 60, 42, 18, 4}));
    add("beginPath", "");
    add("moveTo", list({4, 470}));
    add("lineTo", list({54, 470}));
    add("lineTo", list({29, 500}));
    add("closePath", "");
    add("fill", "");
    add("fillTriangle", list({10, 505, 20, 515, 10, 515}));
    add("restore", "");
  }
  f += "{\"obj\":\"ctx\",\"call\":\"drawFrame\",\"args\":[]}]";
  return f;
}

// Commands in one uiFrame, the drawFrame included.
constexpr int uiFrameCommands = 1 + 16 * 24 + 1;
