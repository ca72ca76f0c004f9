// A Gowin-like FPGA behind the JTAG pins: a TAP controller that follows the
// standard state machine on TCK edges, its instruction and data registers, and
// the configuration logic that the programming flow talks to.
#pragma once

#include <climits>
#include <cstdint>
#include <vector>

#include "simulated_registers.h"

struct FpgaFaults {
  bool neverDone = false;          // DONE never rises after a write
  uint32_t statusErrorBits = 0;    // shown in the status register once DONE
  bool wrongUserCode = false;      // the user code reads back changed
  int faultyAttempts = INT_MAX;    // the faults above hit only the first writes
};

struct EdgeSample {
  int tms, tdi;
};

struct ControlLineChange {
  int level;
  uint64_t atMicroseconds;
};

class SimulatedFpga {
 public:
  SimulatedFpga();
  ~SimulatedFpga();
  SimulatedFpga(const SimulatedFpga&) = delete;
  SimulatedFpga& operator=(const SimulatedFpga&) = delete;

  // Set by the test before the run.
  uint32_t idcode = 0x1100481B;
  uint32_t userCode = 0xFFFFFFFF;         // what the SRAM reports before any load
  uint32_t loadedUserCode = 0x00001234;   // what a completed load reports
  bool ready = true;                      // the READY pin
  bool done = false;                      // the DONE pin; a completed load raises it
  uint32_t statusBits = 0;                // shown in the status register besides DONE and READY
  FpgaFaults faults;

  // What the device saw.
  int tapState = 0;  // the TAP state as numbered by TapState
  std::vector<EdgeSample> risingEdges;    // every rising TCK edge, when tracing
  bool tracing = false;
  uint64_t risingEdgeCount = 0;
  std::vector<std::vector<uint8_t>> writes;  // each completed SRAM write, bytes in arrival order
  size_t writeBits = 0;                      // bits of the write in progress
  int erases = 0;
  std::vector<uint8_t> instructions;        // every instruction taken at Update-IR
  std::vector<ControlLineChange> controlLine;
  uint64_t foreignPinChanges = 0;  // port A stores that changed more than TDI, TCK, TMS since the load

  SimulatedRegisters registers;

 private:
  void onStore(uint32_t address, uint32_t value);
  uint32_t onLoad(uint32_t address, uint32_t stored);
  void risingEdge(int tms, int tdi);
  void fallingEdge();
  void updateInstruction();
  uint32_t statusRegister() const;
  bool faultApplies() const;

  uint32_t loadedPortA = 0, lastPortE = 0;
  int tck = 0;
  int tdo = 1;
  uint8_t instructionShift = 0;
  uint8_t instruction = 0x11;
  uint32_t dataShift = 0;
  uint64_t eraseStartedAt = 0;
  bool configEnabled = false, erasing = false, addressed = false, writing = false;
  std::vector<uint8_t> incoming;
  uint8_t partialByte = 0;
};
