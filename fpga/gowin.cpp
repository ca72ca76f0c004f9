#include "gowin.h"

#include <cstdio>

#include "jtag.h"

const char* partNameOf(uint32_t idcode) {
  struct Part {
    uint32_t idcode;
    const char* name;
  };
  static const Part parts[] = {
      {0x0900281B, "GW1N-1"},  {0x0900381B, "GW1N-1S"},  {0x0100681B, "GW1NZ-1"}, {0x0100181B, "GW1N-2"},
      {0x1100181B, "GW1N-2B"}, {0x0300081B, "GW1NS-2"},  {0x0300181B, "GW1NS-2C"}, {0x1100381B, "GW1N-4B"},
      {0x0100481B, "GW1N-6"},  {0x1100481B, "GW1N-9C"},  {0x1100581B, "GW1N-9"},   {0x0000081B, "GW2A-18"},
      {0x0000281B, "GW2A-55"},
  };
  for (const Part& part : parts)
    if (part.idcode == idcode) return part.name;
  return nullptr;
}

void printStatus() {
  static const char* const bitNames[18] = {
      "CRC Error",  "Bad Command", "ID Verify Failed", "Timeout",        nullptr,     "Memory Erase",
      "Preamble",   "System Edit Mode", "Program SPI flash directly", nullptr, "Non-JTAG is active",
      "Bypass",     "Gowin VLD",   "Done Final",       "Security Final", "Ready",     "POR",
      "Flash Lock",
  };
  uint32_t status = readRegister32(instructionReadStatus);
  printf("JTAG Status Register: %08X\n    Bits: ", status);
  const char* separator = "";
  for (int bit = 0; bit < 18; ++bit) {
    if (!bitNames[bit] || !(status >> bit & 1u)) continue;
    printf("%s%s", separator, bitNames[bit]);
    separator = " / ";
  }
  if (readDonePin()) {
    printf("%s%s", separator, "pin:DONE");
    separator = " / ";
  }
  if (readReadyPin()) printf("%s%s", separator, "pin:READY");
  putchar('\n');
}
