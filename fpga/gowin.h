// What the tool knows of the Gowin parts: their IDCODEs, the JTAG
// instructions of the configuration logic and the status register.
#pragma once

#include <cstdint>

enum GowinInstruction : uint8_t {
  instructionReadIdcode = 0x11,
  instructionReadUsercode = 0x13,
  instructionReadStatus = 0x41,
  instructionConfigEnable = 0x15,
  instructionEraseSram = 0x05,
  instructionNoop = 0x02,
  instructionEraseComplete = 0x09,
  instructionConfigDisable = 0x3A,
  instructionAddressInit = 0x12,
  instructionWriteSram = 0x17,
};

constexpr uint32_t statusErrorBits = 0x0000000F;
constexpr uint32_t statusDoneFinal = 1u << 13;

// The part's name, or nullptr for a code outside the table.
const char* partNameOf(uint32_t idcode);

// Reads the status register and prints it with the names of the set bits and
// of the raised DONE and READY pins.
void printStatus();
