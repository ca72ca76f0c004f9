#include "surface.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <nlohmann/json.hpp>
#include <serial.h>
#include <thread>

#include "bridge_state.h"
#include "param_table.h"
#include "routing.h"
#include "thread_priority.h"

using nlohmann::json;

std::unique_ptr<serial::Serial> faderPort;
std::mutex faderWriteLock;

static const char* const sliderKeysStudio[9] = {"i.0.mix", "i.1.mix", "i.2.mix", "i.3.mix", "p.0.mix",
                                                "p.1.mix", "p.2.mix", "s.mix",   "m.mix"};
static const char* const sliderKeysMini[9] = {"i.0.mix", "i.1.mix", "p.0.mix", "p.1.mix", "s.mix", "", "", "", ""};

// Per encoder, the part of a Stepped turn not yet shown as a whole unit. It
// stays with the encoder when the encoder is assigned elsewhere.
static std::map<int, double> encoderRemainders;

std::string surfaceDevice() {
  const char* device = getenv("GD32_TTY");
  return device && *device ? device : "/dev/ttyS2";
}

std::unique_ptr<serial::Serial> openSurfacePort(const std::string& device) {
  return std::make_unique<serial::Serial>(device, 115200, serial::Timeout(200, 200, 4, 200, 4), serial::eightbits,
                                          serial::parity_none, serial::stopbits_one, serial::flowcontrol_none);
}

void writeFader(const char* bytes, size_t length) {
  std::lock_guard<std::mutex> hold(faderWriteLock);
  if (verbosity > 1) {
    fputs("<< FADER ", stdout);
    fwrite(bytes, 1, length, stdout);
  }
  fflush(stdout);
  if (!faderPort) return;
  try {
    size_t done = 0;
    while (done < length && !faderStop) done += faderPort->write(reinterpret_cast<const uint8_t*>(bytes) + done, length - done);
  } catch (const std::exception&) {
    puts("UART write failed");
  }
}

static void writeStoredValue(const std::string& key, const std::string& valueText) {
  std::string line = "{\"" + key + "\":" + valueText + "}\n";
  writeFader(line.data(), line.size());
}

void resyncSurface() {
  sendToServerText("{\"cmd\":\"INIT\",\"id\":0,\"args\":{}}");
  {
    std::lock_guard<std::mutex> hold(stateLock);
    for (const auto& [key, valueText] : stateMap)
      if (isSurfaceKey(key)) writeStoredValue(key, valueText);
  }
  refreshPadLeds();
}

// stoi's reading of the index after the prefix; no digits throws.
static int controlIndex(const std::string& key, size_t prefixLength, int last) {
  int n = std::stoi(key.substr(prefixLength));
  return n > last - 1 ? last : n < 0 ? 0 : n;
}

void onSliderMessage(const std::string& line) {
  json message = json::parse(line);
  if (!message.is_object()) return;
  const char* const* keys = isMini ? sliderKeysMini : sliderKeysStudio;
  for (const auto& pair : message.items()) {
    const std::string& k = pair.key();
    if (k.size() <= 6 || k.compare(0, 7, "slider.") != 0 || !pair.value().is_number()) continue;
    int n = controlIndex(k, 7, 8);
    double position = pair.value().get<double>();
    if (position > 1) position = 1;
    if (position < 0) position = 0;
    const char* key = keys[n];
    const ParamDescriptor* d = keyDataTransform(key);
    double value = d ? d->toValue(d->min, d->max, position) : position;
    if (value < -96)
      value = -200;
    else if (value > 9.995)
      value = 10;
    char text[128];
    snprintf(text, sizeof text, "{\"%s\":%.10f}", key, value);
    sendToServerText(text);
    routeText(text, false);
  }
}

static double clampStepped(double v, double lo, double hi) { return v < lo ? lo : v >= hi ? hi : v; }

// The encoder's next value, or nothing when the turn does not apply.
static bool turnEncoder(int n, double detents, std::string& message) {
  std::lock_guard<std::mutex> hold(stateLock);
  auto assignment = stateMap.find("K." + std::to_string(n) + ".key");
  if (assignment == stateMap.end()) return false;
  std::string s = assignment->second;
  if (s.empty()) return false;
  if (s.front() == '"') s.erase(0, 1);
  if (s.empty()) return false;
  if (s.back() == '"') s.pop_back();
  if (s.empty()) return false;
  if (s.front() == '-') {
    detents = -detents;
    s.erase(0, 1);
  }
  if (s.empty()) return false;

  const ParamDescriptor* d = keyDataTransform(s);
  if (!d && s != "eqBand") {
    printf("keyDataTransform not found: %s\n", s.c_str());
    return false;
  }
  auto stored = stateMap.find(s);
  if (stored == stateMap.end()) return false;
  double current = std::stod(stored->second);

  double value;
  if (!d) {  // eqBand: the selected EQ band, in sixths of the way
    value = current + detents * 0.1833333;
    if (value > 0.8666666) value = 0.8666666;
    if (value < 0.1333333) value = 0.1333333;
  } else if (d->curve == ParamCurve::Stepped) {
    // Half a unit per detent: turning up, every second detent shows.
    double& remainder = encoderRemainders[n];
    double x = detents * 0.5 + clampStepped(current, d->min, d->max) + remainder;
    double whole = std::floor(x + 0.01);
    remainder = std::fabs(x - whole) < 0.01 ? 0 : x - whole;
    if (x < d->min || x > d->max) remainder = 0;
    value = clampStepped(whole, d->min, d->max);
  } else {
    double position = d->toNormalized(d->min, d->max, current) + detents * double(0.0125f);
    value = d->toValue(d->min, d->max, position);
  }
  char text[512];
  snprintf(text, sizeof text, "%f", value);
  stored->second = text;
  message = "{\"" + s + "\":" + text + "}";
  return true;
}

void onEncoderMessage(const std::string& line) {
  json message = json::parse(line);
  if (!message.is_object()) return;
  for (const auto& pair : message.items()) {
    const std::string& k = pair.key();
    if (k.size() <= 3 || k.compare(0, 4, "enc.") != 0 || !pair.value().is_number()) continue;
    int n = controlIndex(k, 4, 4);
    std::string result;
    if (!turnEncoder(n, pair.value().get<double>(), result)) continue;
    sendToServerText(result);
    routeText(result, true);
  }
}

void handleSurfaceLine(const std::string& line) {
  if (!line.empty() && line.front() == '{' && line.back() == '}') {
    if (line.compare(0, 9, "{\"slider.") == 0)
      onSliderMessage(line);
    else if (line.compare(0, 6, "{\"enc.") == 0)
      onEncoderMessage(line);
    else {
      sendToServerText(line);
      routeText(line, false);
    }
    return;
  }
  if (line != "INIT") puts("Incomplete message received from fader, re-sending init");
  resyncSurface();
}

static void releaseFaderPort() {
  std::lock_guard<std::mutex> hold(faderWriteLock);
  if (faderPort) faderPort->close();
  faderPort.reset();
}

void faderThread() {
  raiseThreadPriority();
  std::unique_ptr<serial::Serial> port;
  try {
    port = openSurfacePort(surfaceDevice());
  } catch (const serial::IOException& e) {
    fprintf(stderr, "Error opening UART: %s\n", e.what());
    return;
  } catch (const std::exception&) {
    fprintf(stderr, "Error opening UART\n");
    return;
  }
  serial::Serial* reader = port.get();
  {
    std::lock_guard<std::mutex> hold(faderWriteLock);
    faderPort = std::move(port);
  }
  writeFader("\n\nINIT\n", 7);

  try {
    while (!faderStop) {
      std::string line;
      try {
        if (!reader->waitReadable()) continue;
        reader->readline(line, 65536, "\n");
      } catch (const serial::SerialException&) {
        // No input. A surface that hung up reads as ready with nothing to
        // read: waiting out the read time here keeps this from spinning.
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        continue;
      }
      std::erase(line, '\r');
      std::erase(line, '\n');
      if (verbosity > 1) printf("FADER >> %s\n", line.c_str());
      try {
        handleSurfaceLine(line);
      } catch (const std::exception&) {
        printf("Cannot parse: %s\n", line.c_str());
      }
    }
  } catch (const serial::IOException& e) {
    fprintf(stderr, "Error readomg from UART: %s\n", e.what());
  } catch (const std::exception& e) {
    fprintf(stderr, "Error reading from UART %s\n", e.what());
  }
  releaseFaderPort();
}
