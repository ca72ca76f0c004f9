// Time to route a full INIT answer (all 500 parameter keys, the pad keys of
// four banks, the bank and encoder keys) and write its replay to the surface,
// on a pseudo-terminal whose other side is read as fast as it comes.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <thread>
#include <unistd.h>
#include <vector>

#include "bridge_state.h"
#include "param_table.h"
#include "routing.h"
#include "sandbox.h"
#include "surface.h"

#include <serial.h>

using nlohmann::json;

int main() {
  json data = json::object();
  for (const ParamDescriptor& d : paramDescriptors) data[std::string(d.key)] = (d.min + d.max) / 2;
  for (int bank = 0; bank < 4; ++bank)
    for (int slot = 0; slot < 6; ++slot) {
      std::string prefix = "B." + std::to_string(bank) + "." + std::to_string(slot);
      data[prefix + ".colorhex"] = "#20a0ff";
      data[prefix + ".blink"] = slot % 2;
    }
  data["bank"] = 1;
  for (int n = 0; n < 5; ++n) {
    data["K." + std::to_string(n) + ".key"] = "i." + std::to_string(n % 4) + ".pan";
    data["K." + std::to_string(n) + ".color"] = "#ffffff";
  }
  json answer = {{"cmd", "INIT"}, {"data", data}};

  sandbox::Pty pty = sandbox::openPty();
  faderPort = openSurfacePort(pty.slave);
  std::atomic<size_t> received{0};
  std::thread reader([&] {
    char buffer[65536];
    for (ssize_t n; (n = read(pty.master, buffer, sizeof buffer)) > 0;) received += size_t(n);
  });
  reader.detach();

  std::vector<double> times;
  size_t bytesPerReplay = 0;
  for (int run = 0; run < 41; ++run) {
    size_t before = received;
    auto start = std::chrono::steady_clock::now();
    routeMessage(answer, true);
    auto routed = std::chrono::steady_clock::now();
    times.push_back(std::chrono::duration<double, std::milli>(routed - start).count());
    while (received == before) std::this_thread::sleep_for(std::chrono::microseconds(100));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    bytesPerReplay = received - before;
  }
  std::sort(times.begin(), times.end());
  printf("INIT answer: %zu keys, %zu bytes to the surface per replay\n", data.size(), bytesPerReplay);
  printf("route and write: median %.2f ms, min %.2f ms, max %.2f ms (%zu runs)\n", times[times.size() / 2], times[0],
         times.back(), times.size());
  return 0;
}
