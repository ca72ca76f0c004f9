#include "gpio.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include "register_access.h"

volatile uint8_t* gpioWindow = nullptr;
bool gpioMapAttempted = false;

static void releaseGpioWindow() {
  if (gpioWindow) munmap(const_cast<uint8_t*>(gpioWindow), gpioWindowSize);
  gpioWindow = nullptr;
}

void mapGpioWindow() {
  if (gpioMapAttempted) return;
  gpioMapAttempted = true;

  void* mapped = MAP_FAILED;
  int fd = open("/dev/mem", O_RDWR | O_SYNC);
  if (fd >= 0) {
    mapped = mmap(reinterpret_cast<void*>(0xA1C00000), gpioWindowSize, PROT_READ | PROT_WRITE, MAP_SHARED, fd,
                  gpioWindowBase);
    close(fd);
  }
  if (mapped == MAP_FAILED) {
    fputs("Error: Unable to map memory\n", stderr);
    abort();
  }
  gpioWindow = static_cast<volatile uint8_t*>(mapped);
  atexit(releaseGpioWindow);
}

// Changes only `width` bits at `shift`, so the port's other pins keep theirs.
static void modifyField(uint32_t address, unsigned shift, uint32_t width, uint32_t value) {
  uint32_t mask = ((1u << width) - 1u) << shift;
  uint32_t word = loadRegister(address);
  word = (word & ~mask) | ((value << shift) & mask);
  storeRegister(address, word);
}

void setPinFunction(int port, int pin, uint32_t function) {
  uint32_t address = gpioPortAddress(port) + gpioConfigOffset + uint32_t(pin / 8) * 4;
  modifyField(address, 4 * (pin % 8), 4, function);
}

void setPinDrive(int port, int pin, uint32_t level) {
  uint32_t address = gpioPortAddress(port) + gpioDriveOffset + uint32_t(pin / 16) * 4;
  modifyField(address, 2 * (pin % 16), 2, level);
}

void setPinPull(int port, int pin, uint32_t value) {
  uint32_t address = gpioPortAddress(port) + gpioPullOffset + uint32_t(pin / 16) * 4;
  modifyField(address, 2 * (pin % 16), 2, value);
}

void writePin(int port, int pin, int level) {
  modifyField(gpioPortAddress(port) + gpioDataOffset, pin, 1, level ? 1u : 0u);
}

int readPin(int port, int pin) {
  return (loadRegister(gpioPortAddress(port) + gpioDataOffset) >> pin) & 1u;
}
