#include "simulated_registers.h"

#include <cstdlib>
#include <cstdio>

#include "register_access.h"

static SimulatedRegisters* activeBlock = nullptr;

void useSimulatedRegisters(SimulatedRegisters* block) {
  if (!gpioWindow) {
    void* memory = calloc(1, gpioWindowSize);
    if (!memory) {
      fputs("simulated registers: out of memory\n", stderr);
      abort();
    }
    gpioWindow = static_cast<volatile uint8_t*>(memory);
  }
  gpioMapAttempted = true;
  activeBlock = block;
}

uint32_t loadRegister(uint32_t address) {
  uint32_t stored = *gpioRegister(address);
  if (!activeBlock) return stored;
  activeBlock->loads++;
  return activeBlock->onLoad ? activeBlock->onLoad(address, stored) : stored;
}

void storeRegister(uint32_t address, uint32_t value) {
  *gpioRegister(address) = value;
  if (!activeBlock) return;
  activeBlock->stores++;
  if (activeBlock->onStore) activeBlock->onStore(address, value);
}
