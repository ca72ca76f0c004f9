// What clocking a bitstream costs: register accesses per payload bit, counted
// on the simulated register block, and the time to clock 1 MiB through it.
// On the board every access is one bus transaction to the GPIO controller, so
// the counts times the board's access time give the load time there.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

#include "jtag.h"
#include "programmer.h"
#include "simulated_fpga.h"
#include "simulated_registers.h"

constexpr size_t mebibyte = 1 << 20;

static std::vector<uint8_t> payloadOf(size_t size) {
  std::vector<uint8_t> payload(size);
  for (size_t i = 0; i < size; ++i) payload[i] = uint8_t(i * 37 + (i >> 8));
  return payload;
}

static void shiftPayload(const std::vector<uint8_t>& payload) {
  tapWalk(tapRunTestIdle, tapShiftDr);
  for (size_t i = 0; i < payload.size(); ++i) shiftDataByte(payload[i], i + 1 == payload.size());
  tapWalk(tapExit1Dr, tapRunTestIdle);
}

static double medianMilliseconds(const std::vector<uint8_t>& payload, int runs) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    auto start = std::chrono::steady_clock::now();
    shiftPayload(payload);
    times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

static void writeBinx(const std::string& path, const std::vector<uint8_t>& payload) {
  std::string header = "//Part: GW1N-9C\n//UserCode: 0x00001234\n";
  std::string file = std::string{char(header.size() >> 8), char(header.size())} + header;
  file.append(payload.begin(), payload.end());
  for (int i = 0; i < 4; ++i) file[2 + header.size() + 28 + i] = char(0x1100481Bu >> (24 - 8 * i));
  FILE* out = fopen(path.c_str(), "wb");
  if (!out || fwrite(file.data(), 1, file.size(), out) != file.size() || fclose(out) != 0) {
    perror(path.c_str());
    exit(1);
  }
}

int main() {
  const std::vector<uint8_t> payload = payloadOf(mebibyte);
  const double bits = 8.0 * mebibyte;

  // Counts, with the device model behind the pins.
  double loadsPerBit, storesPerBit;
  {
    SimulatedFpga fpga;
    setUpJtagPins();
    tapWalk(tapUnknown, tapRunTestIdle);
    uint64_t loads = fpga.registers.loads, stores = fpga.registers.stores, edges = fpga.risingEdgeCount;
    shiftPayload(payload);
    loadsPerBit = double(fpga.registers.loads - loads) / bits;
    storesPerBit = double(fpga.registers.stores - stores) / bits;
    printf("payload bit:           %.3f loads + %.3f stores (TCK cycles per bit %.3f)\n", loadsPerBit, storesPerBit,
           double(fpga.risingEdgeCount - edges) / bits);

    loads = fpga.registers.loads, stores = fpga.registers.stores, edges = fpga.risingEdgeCount;
    readRegister32(0x11);
    printf("32-bit register read:  %llu loads + %llu stores, %llu TCK cycles\n",
           (unsigned long long)(fpga.registers.loads - loads), (unsigned long long)(fpga.registers.stores - stores),
           (unsigned long long)(fpga.risingEdgeCount - edges));
  }

  // A whole run of a 1 MiB binx file, so the overhead beyond the payload shows.
  {
    SimulatedFpga fpga;
    fpga.loadedUserCode = 0x1234;
    setUpJtagPins();
    std::string path = "/tmp/fpgaload-bench-" + std::to_string(getpid()) + ".binx";
    writeBinx(path, payload);
    const char* argv[] = {"fpgaload", path.c_str()};
    FILE* saved = stdout;
    stdout = fopen("/dev/null", "w");
    int status = runFpgaload(2, argv);
    fclose(stdout);
    stdout = saved;
    unlink(path.c_str());
    double accesses = double(fpga.registers.loads + fpga.registers.stores);
    printf("whole 1 MiB run:       status %d, %.0f accesses = %.4f per payload bit, %llu TCK cycles\n", status,
           accesses, accesses / bits, (unsigned long long)fpga.risingEdgeCount);
    printf("                       (idle clocking counted at 1 us per TCK cycle)\n");
  }

  // Time through the block: bare (counters only), then with the model.
  const int runs = 5;
  double bare, modelled;
  {
    SimulatedRegisters block;
    useSimulatedRegisters(&block);
    bare = medianMilliseconds(payload, runs);
    useSimulatedRegisters(nullptr);
  }
  {
    SimulatedFpga fpga;
    tapWalk(tapUnknown, tapRunTestIdle);
    modelled = medianMilliseconds(payload, runs);
  }
  printf("1 MiB clocked, bare block:  median %.1f ms of %d (%.2f ns per bit)\n", bare, runs, bare * 1e6 / bits);
  printf("1 MiB clocked, TAP model:   median %.1f ms of %d (%.2f ns per bit)\n", modelled, runs,
         modelled * 1e6 / bits);

  double perBit = loadsPerBit + storesPerBit;
  printf("board estimate for 1 MiB: %.0f accesses x access time + 20 nops per bit\n", perBit * bits);
  for (double nanoseconds : {20.0, 50.0, 100.0, 200.0})
    printf("  at %5.0f ns per access: %6.2f s\n", nanoseconds, perBit * bits * nanoseconds * 1e-9);
  return 0;
}
