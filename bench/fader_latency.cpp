// Latency from a fader line written on the surface's serial line to its frame
// arriving at the mixer state server, at 100 and at 1000 lines per second.
// Runs knobwire and the socket.io stand-in in a private board (needs root).
//   fader_latency KNOBWIRE SIM_DIR
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <time.h>
#include <unistd.h>
#include <vector>

#include "param_table.h"
#include "process.h"
#include "sandbox.h"

using namespace std::chrono_literals;

static int64_t monotonicNs() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return int64_t(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// The frame knobwire sends for fader 0 at this position.
static std::string expectedFrame(double position) {
  char text[64];
  snprintf(text, sizeof text, "{\"i.0.mix\":%.10f}", faderLawToValue(-200, 10, position));
  return "42" + nlohmann::json::array({"message", nlohmann::json::parse(text)}).dump();
}

static void drain(int fd) {
  char buffer[4096];
  while (read(fd, buffer, sizeof buffer) > 0) {
  }
}

static void measure(sandbox::Process& server, int surface, int rate, int lines, int& sequence) {
  std::map<std::string, int64_t> sentAt;
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < lines; ++i, ++sequence) {
    std::this_thread::sleep_until(start + std::chrono::microseconds(int64_t(i) * 1000000 / rate));
    double position = 0.3 + sequence * 1e-6;
    char line[64];
    int length = snprintf(line, sizeof line, "{\"slider.0\":%.7f}\n", position);
    sentAt[expectedFrame(position)] = monotonicNs();
    if (write(surface, line, size_t(length)) != length) perror("write");
  }
  std::this_thread::sleep_for(500ms);

  std::vector<double> latencies;
  std::string out = server.out();
  for (size_t at = out.find("frame "); at != std::string::npos; at = out.find("frame ", at + 1)) {
    size_t tab = out.find('\t', at), end = out.find('\n', at);
    if (tab == std::string::npos || end == std::string::npos || tab > end) continue;
    auto sent = sentAt.find(out.substr(at + 6, tab - at - 6));
    if (sent == sentAt.end()) continue;
    latencies.push_back(double(std::stoll(out.substr(tab + 1, end - tab - 1)) - sent->second) / 1000.0);
  }
  std::sort(latencies.begin(), latencies.end());
  if (latencies.empty()) {
    printf("%5d lines/s: no frames arrived\n", rate);
    return;
  }
  auto percentile = [&](double p) { return latencies[std::min(latencies.size() - 1, size_t(p * latencies.size()))]; };
  printf("%5d lines/s: %zu of %d frames, latency median %.0f us, p99 %.0f us, max %.0f us\n", rate, latencies.size(),
         lines, percentile(0.5), percentile(0.99), latencies.back());
}

int main(int argc, char** argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: fader_latency KNOBWIRE SIM_DIR\n");
    return 2;
  }
  sandbox::enterPrivateBoard();
  sandbox::provideDevMem();
  sandbox::writeFile("/tmp/.bt-was-disabled-startup", "1");
  sandbox::Pty surface = sandbox::openPty();

  sandbox::ProcessOptions serverOptions;
  serverOptions.keepStdinOpen = true;
  sandbox::Process server({"node", std::string(argv[2]) + "/mixer_server.js", "--stamp"}, serverOptions);
  if (!server.waitForOutput("listening\n", 10s)) return 1;
  sandbox::ProcessOptions bridgeOptions;
  bridgeOptions.environment = {"GD32_TTY=" + surface.slave};
  sandbox::Process bridge({argv[1]}, bridgeOptions);
  if (!server.waitForOutput("\"INIT\\\"", 10s)) {
    fprintf(stderr, "knobwire did not connect\n%s%s", bridge.out().c_str(), bridge.err().c_str());
    return 1;
  }
  std::this_thread::sleep_for(300ms);
  // Nothing is echoed to the surface for fader lines, but keep its side empty.
  std::thread reader([&] { drain(surface.master); });
  reader.detach();

  int sequence = 0;
  measure(server, surface.master, 100, 500, sequence);
  measure(server, surface.master, 1000, 3000, sequence);
  return 0;
}
