#include "simulated_fpga.h"

#include "gpio.h"
#include "virtual_clock.h"

constexpr uint32_t portAData = gpioPortAddress(portA) + gpioDataOffset;
constexpr uint32_t portEData = gpioPortAddress(portE) + gpioDataOffset;

enum : int {
  testLogicReset, runTestIdle, selectDr, captureDr, shiftDr, exit1Dr, pauseDr, exit2Dr, updateDr,
  selectIr, captureIr, shiftIr, exit1Ir, pauseIr, exit2Ir, updateIr
};

// The IEEE 1149.1 state diagram: next state for TMS low and for TMS high.
static const int nextState[16][2] = {
    {runTestIdle, testLogicReset}, {runTestIdle, selectDr}, {captureDr, selectIr}, {shiftDr, exit1Dr},
    {shiftDr, exit1Dr},            {pauseDr, updateDr},     {pauseDr, exit2Dr},    {shiftDr, updateDr},
    {runTestIdle, selectDr},       {captureIr, testLogicReset}, {shiftIr, exit1Ir}, {shiftIr, exit1Ir},
    {pauseIr, updateIr},           {pauseIr, exit2Ir},      {shiftIr, updateIr},   {runTestIdle, selectDr},
};

SimulatedFpga::SimulatedFpga() {
  useSimulatedRegisters(&registers);
  // A fresh board: both port blocks zeroed behind the model's back.
  for (uint32_t offset = 0; offset < gpioPortStride; offset += 4) {
    *gpioRegister(gpioPortAddress(portA) + offset) = 0;
    *gpioRegister(gpioPortAddress(portE) + offset) = 0;
  }
  registers.onStore = [this](uint32_t address, uint32_t value) { onStore(address, value); };
  registers.onLoad = [this](uint32_t address, uint32_t stored) { return onLoad(address, stored); };
}

SimulatedFpga::~SimulatedFpga() { useSimulatedRegisters(nullptr); }

void SimulatedFpga::onStore(uint32_t address, uint32_t value) {
  if (address == portAData) {
    // Every store must be the load before it with only TDI, TCK or TMS changed.
    if ((value ^ loadedPortA) & ~0xEu) foreignPinChanges++;
    loadedPortA = value;
    int level = value >> 2 & 1;
    if (level && !tck) risingEdge(value >> 3 & 1, value >> 1 & 1);
    if (!level && tck) fallingEdge();
    tck = level;
  } else if (address == portEData) {
    if ((value ^ lastPortE) & (1u << 5)) controlLine.push_back({int(value >> 5 & 1), virtualClock.now});
    lastPortE = value;
  }
}

uint32_t SimulatedFpga::onLoad(uint32_t address, uint32_t stored) {
  if (address == portAData) return loadedPortA = (stored & ~1u) | uint32_t(tdo);
  if (address == portEData) return (stored & ~0xC0u) | (done ? 1u << 6 : 0u) | (ready ? 1u << 7 : 0u);
  return stored;
}

void SimulatedFpga::risingEdge(int tms, int tdi) {
  risingEdgeCount++;
  virtualClock.now += virtualClock.microsecondsPerTck;
  if (tracing) risingEdges.push_back({tms, tdi});
  switch (tapState) {
    case captureDr:
      if (instruction == 0x11)
        dataShift = idcode;
      else if (instruction == 0x13)
        dataShift = userCode;
      else if (instruction == 0x41)
        dataShift = statusRegister();
      else
        dataShift = 0;  // bypass
      break;
    case shiftDr:
      if (writing) {
        partialByte = uint8_t(partialByte << 1 | tdi);
        if (++writeBits % 8 == 0) incoming.push_back(partialByte);
      } else if (instruction == 0x11 || instruction == 0x13 || instruction == 0x41) {
        dataShift = dataShift >> 1 | uint32_t(tdi) << 31;
      } else {
        dataShift = uint32_t(tdi);
      }
      break;
    case captureIr:
      instructionShift = 0x01;
      break;
    case shiftIr:
      instructionShift = uint8_t(instructionShift >> 1 | tdi << 7);
      break;
  }
  tapState = nextState[tapState][tms];
}

// TDO changes on the falling edge, and the update states take effect there.
void SimulatedFpga::fallingEdge() {
  if (tapState == shiftDr) tdo = writing ? 0 : int(dataShift & 1);
  if (tapState == shiftIr) tdo = instructionShift & 1;
  if (tapState == updateIr) {
    instruction = instructionShift;
    updateInstruction();
  }
  if (tapState == testLogicReset) instruction = 0x11;
}

bool SimulatedFpga::faultApplies() const { return int(writes.size()) <= faults.faultyAttempts; }

void SimulatedFpga::updateInstruction() {
  instructions.push_back(instruction);
  switch (instruction) {
    case 0x15:
      configEnabled = true;
      break;
    case 0x05:
      erasing = configEnabled;
      eraseStartedAt = virtualClock.now;
      break;
    case 0x09:
      // The erase needs its 10 ms of clocking before it can be completed.
      if (erasing && virtualClock.now - eraseStartedAt >= 10000) {
        erases++;
        done = false;
        userCode = 0;
      }
      erasing = false;
      break;
    case 0x12:
      addressed = configEnabled;
      break;
    case 0x17:
      if (configEnabled && addressed) {
        writing = true;
        incoming.clear();
        writeBits = 0;
      }
      break;
    case 0x3A:
      if (writing) {
        writes.push_back(incoming);
        bool faulty = faultApplies();
        done = !(faulty && faults.neverDone);
        userCode = faulty && faults.wrongUserCode ? loadedUserCode ^ 0x00FF0000u : loadedUserCode;
      }
      writing = configEnabled = addressed = false;
      break;
  }
}

uint32_t SimulatedFpga::statusRegister() const {
  uint32_t status = statusBits | (ready ? 1u << 15 : 0u);
  if (done) status |= 1u << 13 | (faultApplies() ? faults.statusErrorBits : 0u);
  return status;
}
