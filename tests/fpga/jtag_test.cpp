// The JTAG layer against the simulated TAP: pin-level traces of the walks and
// shifts, what the device makes of them, and timed idle clocking.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "gpio.h"
#include "jtag.h"
#include "simulated_fpga.h"
#include "virtual_clock.h"

namespace {

constexpr uint32_t portAData = 0x01C20810;
constexpr uint32_t portEData = 0x01C208A0;

std::string tmsOf(const std::vector<EdgeSample>& edges) {
  std::string bits;
  for (const EdgeSample& e : edges) bits += char('0' + e.tms);
  return bits;
}

std::string tdiOf(const std::vector<EdgeSample>& edges) {
  std::string bits;
  for (const EdgeSample& e : edges) bits += char('0' + e.tdi);
  return bits;
}

class Jtag : public testing::Test {
 protected:
  void SetUp() override {
    virtualClock = VirtualClock{};
    setUpJtagPins();
    fpga.tracing = true;
  }
  SimulatedFpga fpga;
};

TEST_F(Jtag, WalksClockTheirTmsSequenceAndLandWhereNamed) {
  struct Case {
    TapState from, to;
    const char* tms;
  };
  const Case cases[] = {
      {tapUnknown, tapRunTestIdle, "1111111100"}, {tapRunTestIdle, tapRunTestIdle, "000"},
      {tapRunTestIdle, tapShiftDr, "100"},        {tapRunTestIdle, tapShiftIr, "1100"},
      {tapExit1Dr, tapRunTestIdle, "100"},        {tapExit1Ir, tapRunTestIdle, "100"},
  };
  for (int tdi : {0, 1}) {
    for (const Case& c : cases) {
      // From Unknown the walk must work whatever state the TAP is really in.
      for (int start = 0; start < 16; ++start) {
        if (c.from != tapUnknown && start != c.from) continue;
        writePin(portA, 1, tdi);
        fpga.tapState = start;
        fpga.risingEdges.clear();
        tapWalk(c.from, c.to);
        EXPECT_EQ(tmsOf(fpga.risingEdges), c.tms) << c.from << " -> " << c.to;
        EXPECT_EQ(tdiOf(fpga.risingEdges), std::string(strlen(c.tms), char('0' + tdi)));
        EXPECT_EQ(fpga.tapState, c.to) << c.from << " -> " << c.to << " from state " << start;
      }
    }
  }
}

TEST_F(Jtag, OtherWalksEndTheProcess) {
  const std::pair<TapState, TapState> refused[] = {
      {tapShiftDr, tapRunTestIdle}, {tapUnknown, tapShiftDr}, {tapRunTestIdle, tapUnknown}, {tapExit1Ir, tapShiftIr}};
  for (auto [from, to] : refused)
    EXPECT_EXIT(tapWalk(from, to), testing::ExitedWithCode(255), "^Error: JTAG tap walking failed\n$")
        << from << " -> " << to;
}

TEST_F(Jtag, ShiftsPutTheirBitsOnTdiInOrder) {
  struct Case {
    const char* what;
    void (*shift)();
    int inState, outState;
    const char* tdi;
    const char* tms;
  };
  const Case cases[] = {
      {"shiftInstruction(0x41, exit)", [] { shiftInstruction(0x41, true); }, tapShiftIr, tapExit1Ir, "10000010",
       "00000001"},
      {"shiftInstruction(0x41, stay)", [] { shiftInstruction(0x41, false); }, tapShiftIr, tapShiftIr, "10000010",
       "00000000"},
      {"shiftDataByte(0xA5, last)", [] { shiftDataByte(0xA5, true); }, tapShiftDr, tapExit1Dr, "10100101",
       "00000001"},
      {"shiftDataByte(0x3C, not last)", [] { shiftDataByte(0x3C, false); }, tapShiftDr, tapShiftDr, "00111100",
       "00000000"},
      // Walk in, shift, walk out, nine idle clocks.
      {"sendInstruction(0x41)", [] { sendInstruction(0x41); }, tapRunTestIdle, tapRunTestIdle,
       "0000" "10000010" "000" "000000000", "1100" "00000001" "100" "000000000"},
      // Then walk to Shift-DR, 32 reads with TMS high on the last, walk out.
      {"readRegister32(0x13)", [] { readRegister32(0x13); }, tapRunTestIdle, tapRunTestIdle,
       "0000" "11001000" "000" "000000000" "000" "00000000000000000000000000000000" "000",
       "1100" "00000001" "100" "000000000" "100" "00000000000000000000000000000001" "100"},
  };
  for (const Case& c : cases) {
    writePin(portA, 1, 0);
    fpga.tapState = c.inState;
    fpga.risingEdges.clear();
    c.shift();
    EXPECT_EQ(tdiOf(fpga.risingEdges), c.tdi) << c.what;
    EXPECT_EQ(tmsOf(fpga.risingEdges), c.tms) << c.what;
    EXPECT_EQ(fpga.tapState, c.outState) << c.what;
  }
}

TEST_F(Jtag, InstructionsReachTheDeviceLeastSignificantBitFirst) {
  tapWalk(tapUnknown, tapRunTestIdle);
  for (uint8_t code : {0x41, 0x15, 0x3A, 0x80}) sendInstruction(code);
  EXPECT_EQ(fpga.instructions, (std::vector<uint8_t>{0x41, 0x15, 0x3A, 0x80}));
  EXPECT_EQ(fpga.tapState, tapRunTestIdle);
}

TEST_F(Jtag, ReadRegister32TakesBitZeroFromTheFirstSample) {
  tapWalk(tapUnknown, tapRunTestIdle);
  for (uint32_t code : {0x1100481Bu, 0x80000001u, 0x00000001u, 0xFFFFFFFEu, 0x00000000u}) {
    fpga.idcode = code;
    fpga.statusBits = ~code & 0x7FFF;
    fpga.ready = false;
    EXPECT_EQ(readRegister32(0x11), code);
    EXPECT_EQ(readRegister32(0x41), ~code & 0x7FFF);
    EXPECT_EQ(fpga.tapState, tapRunTestIdle);
  }
}

TEST_F(Jtag, ClockingTouchesNoOtherPin) {
  *gpioRegister(portAData) = 0xA5A5A5A0;
  *gpioRegister(portEData) = 0x5A5A5A5A;
  tapWalk(tapUnknown, tapRunTestIdle);
  readRegister32(0x11);
  sendInstruction(0x17);
  tapWalk(tapRunTestIdle, tapShiftDr);
  shiftDataByte(0xFF, false);
  shiftDataByte(0x00, true);
  tapWalk(tapExit1Dr, tapRunTestIdle);
  runIdle(0);
  EXPECT_EQ(fpga.foreignPinChanges, 0u);
  EXPECT_EQ(*gpioRegister(portAData) & ~0xFu, 0xA5A5A5A0u);
  EXPECT_EQ(*gpioRegister(portEData), 0x5A5A5A5Au);
}

TEST_F(Jtag, RunIdleClocksBurstsUntilTheDeadline) {
  struct Case {
    unsigned milliseconds;
    unsigned microsecondsPerTck;
    uint64_t edges;
  };
  const Case cases[] = {
      {0, 1, 64},             // one burst even when no time is asked for
      {10, 1, 157 * 64},      // the first burst boundary at or past 10 ms
      {8, 1, 125 * 64},       // a boundary exactly at the deadline ends it
      {10, 200, 64},          // a slow clock: one burst covers it
      {10, 0, 100000 * 64},   // a clock that stands still: the burst limit
  };
  fpga.tracing = false;
  for (const Case& c : cases) {
    virtualClock.microsecondsPerTck = c.microsecondsPerTck;
    tapWalk(tapUnknown, tapRunTestIdle);
    uint64_t before = fpga.risingEdgeCount;
    runIdle(c.milliseconds);
    EXPECT_EQ(fpga.risingEdgeCount - before, c.edges) << c.milliseconds << " ms, " << c.microsecondsPerTck;
    EXPECT_EQ(fpga.tapState, tapRunTestIdle);
  }
  EXPECT_EQ(virtualClock.sleeps, 0u);
}

}  // namespace
