#include "jtag.h"

#include <cstdio>
#include <cstdlib>

#include "gpio.h"
#include "register_access.h"
#include "wall_clock.h"

constexpr int pinTdo = 0, pinTdi = 1, pinTck = 2, pinTms = 3;
constexpr int pinControl = 5, pinDone = 6, pinReady = 7;
constexpr uint32_t jtagDataRegister = gpioPortAddress(portA) + gpioDataOffset;

static void configurePin(int port, int pin, uint32_t function) {
  setPinFunction(port, pin, function);
  setPinDrive(port, pin, 0);
  setPinPull(port, pin, 0);
}

// An output that must come up at a known level: the level is set while the
// pin is still an input, so it never glitches.
static void configureOutputAt(int port, int pin, int level) {
  writePin(port, pin, level);
  configurePin(port, pin, 1);
}

void setUpJtagPins() {
  mapGpioWindow();
  configurePin(portA, pinTdo, 0);
  configurePin(portA, pinTdi, 1);
  configurePin(portA, pinTck, 1);
  configurePin(portA, pinTms, 1);
  configureOutputAt(portE, pinControl, 1);
  configurePin(portE, pinDone, 0);
  configurePin(portE, pinReady, 0);
  configureOutputAt(portE, 11, 1);
  configureOutputAt(portE, 8, 1);
  configureOutputAt(portE, 9, 0);
  configurePin(portE, 10, 0);
}

static inline void spin() {
  for (int i = 0; i < 10; ++i) asm volatile("nop");
}

// TMS and TDI change together in one read-modify-write.
static inline void setTmsTdi(int tms, int tdi) {
  uint32_t word = loadRegister(jtagDataRegister);
  word &= ~((1u << pinTms) | (1u << pinTdi));
  word |= (tms ? 1u << pinTms : 0u) | (tdi ? 1u << pinTdi : 0u);
  storeRegister(jtagDataRegister, word);
}

static inline void pulseTck() {
  writePin(portA, pinTck, 0);
  spin();
  writePin(portA, pinTck, 1);
  spin();
  writePin(portA, pinTck, 0);
}

static inline void clockCycle(int tms) {
  writePin(portA, pinTms, tms);
  pulseTck();
}

static inline void clockCycle(int tms, int tdi) {
  setTmsTdi(tms, tdi);
  pulseTck();
}

static void clockTmsSequence(const char* bits) {
  for (const char* bit = bits; *bit; ++bit) clockCycle(*bit == '1');
}

void tapWalk(TapState from, TapState to) {
  struct Walk {
    TapState from, to;
    const char* tms;
  };
  static const Walk walks[] = {
      {tapUnknown, tapRunTestIdle, "1111111100"}, {tapRunTestIdle, tapRunTestIdle, "000"},
      {tapRunTestIdle, tapShiftDr, "100"},        {tapRunTestIdle, tapShiftIr, "1100"},
      {tapExit1Dr, tapRunTestIdle, "100"},        {tapExit1Ir, tapRunTestIdle, "100"},
  };
  for (const Walk& walk : walks) {
    if (walk.from == from && walk.to == to) {
      clockTmsSequence(walk.tms);
      return;
    }
  }
  fputs("Error: JTAG tap walking failed\n", stderr);
  exit(255);
}

void shiftInstruction(uint8_t code, bool exitAfter) {
  for (int i = 0; i < 8; ++i) {
    clockCycle(i == 7 && exitAfter, (code >> i) & 1);
    (void)loadRegister(jtagDataRegister);
  }
}

void shiftDataByte(uint8_t byte, bool last) {
  for (int i = 7; i >= 0; --i) {
    clockCycle(i == 0 && last, (byte >> i) & 1);
    (void)loadRegister(jtagDataRegister);
  }
}

void sendInstruction(uint8_t code) {
  tapWalk(tapRunTestIdle, tapShiftIr);
  shiftInstruction(code, true);
  tapWalk(tapExit1Ir, tapRunTestIdle);
  for (int i = 0; i < 3; ++i) tapWalk(tapRunTestIdle, tapRunTestIdle);
}

uint32_t readRegister32(uint8_t code) {
  sendInstruction(code);
  tapWalk(tapRunTestIdle, tapShiftDr);
  writePin(portA, pinTms, 0);
  uint32_t value = 0;
  for (int i = 0; i < 32; ++i) {
    if (i == 31) writePin(portA, pinTms, 1);
    // TCK is left high after the sample; the next cycle brings it low.
    writePin(portA, pinTck, 0);
    spin();
    writePin(portA, pinTck, 1);
    spin();
    value |= uint32_t((loadRegister(jtagDataRegister) >> pinTdo) & 1u) << i;
  }
  tapWalk(tapExit1Dr, tapRunTestIdle);
  return value;
}

void runIdle(unsigned milliseconds) {
  uint64_t deadline = wallMicroseconds() + uint64_t(milliseconds) * 1000u;
  for (int burst = 0; burst < 100000; ++burst) {
    for (int i = 0; i < 64; ++i) clockCycle(0);
    if (wallMicroseconds() >= deadline) return;
  }
}

void setControlLine(int level) { writePin(portE, pinControl, level); }
int readDonePin() { return readPin(portE, pinDone); }
int readReadyPin() { return readPin(portE, pinReady); }
