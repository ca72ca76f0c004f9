// The SoC's GPIO controller, reached through one shared mapping of /dev/mem.
#pragma once

#include <cstdint>

enum GpioPort : int {
  portA = 0, portB, portC, portD, portE, portF, portG, portH, portI, portJ, portK, portL
};

constexpr uint32_t gpioWindowBase = 0x01C00000;
constexpr uint32_t gpioWindowSize = 0x00800000;
constexpr uint32_t gpioPortBase = 0x01C20800;
constexpr uint32_t gpioPortStride = 0x24;

constexpr uint32_t gpioConfigOffset = 0x00;
constexpr uint32_t gpioDataOffset = 0x10;
constexpr uint32_t gpioDriveOffset = 0x14;
constexpr uint32_t gpioPullOffset = 0x1C;

constexpr uint32_t gpioPortAddress(int port) { return gpioPortBase + uint32_t(port) * gpioPortStride; }

extern volatile uint8_t* gpioWindow;
extern bool gpioMapAttempted;

// Maps the window on the first call; later calls do nothing. On failure the
// process aborts after "Error: Unable to map memory".
void mapGpioWindow();

inline volatile uint32_t* gpioRegister(uint32_t physicalAddress) {
  return reinterpret_cast<volatile uint32_t*>(gpioWindow + (physicalAddress - gpioWindowBase));
}

void setPinFunction(int port, int pin, uint32_t function);
void setPinDrive(int port, int pin, uint32_t level);
void setPinPull(int port, int pin, uint32_t value);
void writePin(int port, int pin, int level);
int readPin(int port, int pin);
