// A register block that stands in for the SoC in tests: the pin operations of
// the simulated board library read and write it, and a device model can watch
// every store and decide what every load sees.
#pragma once

#include <cstdint>
#include <functional>

struct SimulatedRegisters {
  // Called after each store with the value stored.
  std::function<void(uint32_t address, uint32_t value)> onStore;
  // Called for each load with the value last stored; returns what the load reads.
  std::function<uint32_t(uint32_t address, uint32_t stored)> onLoad;
  uint64_t loads = 0;
  uint64_t stores = 0;
};

// Replaces the /dev/mem window with a private zeroed block served through
// `block`; mapGpioWindow then does nothing. Pass nullptr to detach the hooks.
void useSimulatedRegisters(SimulatedRegisters* block);
