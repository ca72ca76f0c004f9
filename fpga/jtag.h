// The FPGA's JTAG port, bit-banged on port A of the GPIO window, and the
// control and status pins on port E.
#pragma once

#include <cstdint>

enum TapState : int {
  tapTestLogicReset = 0,
  tapRunTestIdle,
  tapSelectDrScan,
  tapCaptureDr,
  tapShiftDr,
  tapExit1Dr,
  tapPauseDr,
  tapExit2Dr,
  tapUpdateDr,
  tapSelectIrScan,
  tapCaptureIr,
  tapShiftIr,
  tapExit1Ir,
  tapPauseIr,
  tapExit2Ir,
  tapUpdateIr,
  tapUnknown
};

// Maps the window and sets up every pin the tool uses. Runs first thing,
// before the command line is looked at.
void setUpJtagPins();

// Clocks the fixed TMS sequence from one state to another. Only six moves are
// known; any other pair ends the process with status 255.
void tapWalk(TapState from, TapState to);

void shiftInstruction(uint8_t code, bool exitAfter);
void shiftDataByte(uint8_t byte, bool last);

// From Run-Test/Idle: load the instruction and come back to Run-Test/Idle.
void sendInstruction(uint8_t code);
// sendInstruction, then read 32 bits of the selected data register.
uint32_t readRegister32(uint8_t code);

// Clocks TCK with TMS low for at least `milliseconds` of wall-clock time.
void runIdle(unsigned milliseconds);

// The active-low control line to the FPGA (E5), DONE (E6) and READY (E7).
void setControlLine(int level);
int readDonePin();
int readReadyPin();
