// How the pin operations reach a register. On the board (and in every
// production build) this is a plain load or store on the mapped window; the
// simulated build routes each access through a model of the device instead.
#pragma once

#include <cstdint>

#include "gpio.h"

#ifdef BOARD_SIMULATED
uint32_t loadRegister(uint32_t address);
void storeRegister(uint32_t address, uint32_t value);
#else
inline uint32_t loadRegister(uint32_t address) { return *gpioRegister(address); }
inline void storeRegister(uint32_t address, uint32_t value) { *gpioRegister(address) = value; }
#endif
