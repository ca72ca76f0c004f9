// The programming flow against the simulated FPGA: what the tool prints, what
// the device receives, and every failure path.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iomanip>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "gowin.h"
#include "jtag.h"
#include "programmer.h"
#include "simulated_fpga.h"
#include "virtual_clock.h"

namespace {

using Bytes = std::vector<uint8_t>;

constexpr uint32_t gw1n9c = 0x1100481B;

Bytes binx(const std::string& header, size_t payloadSize, uint32_t target = gw1n9c) {
  std::string start = std::string{char(header.size() >> 8), char(header.size())} + header;
  Bytes file(start.begin(), start.end());
  for (size_t i = 0; i < payloadSize; ++i) file.push_back(uint8_t(i * 37 + (i >> 8) + 11));
  for (int i = 0; i < 4; ++i) file[2 + header.size() + 28 + i] = uint8_t(target >> (24 - 8 * i));
  return file;
}

const std::string goodHeader = "//Part: GW1N-9C\n//UserCode: 0x00001234\n";

Bytes payloadOf(const Bytes& file) {
  size_t headerLength = size_t(file[0]) << 8 | file[1];
  return Bytes(file.begin() + 2 + headerLength, file.end());
}

size_t count(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

struct Outcome {
  int status;
  std::string out, err;
};

class Programmer : public testing::Test {
 protected:
  void SetUp() override {
    virtualClock = VirtualClock{};
    setUpJtagPins();
    fpga.controlLine.clear();  // set-up raised it; only the pulse counts
    path = testing::TempDir() + "fpga-" + std::to_string(getpid()) + ".binx";
  }
  void TearDown() override { unlink(path.c_str()); }

  void writeFirmware(const Bytes& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  }

  Outcome fpgaload(std::vector<std::string> args) {
    args.insert(args.begin(), "fpgaload");
    std::vector<const char*> argv;
    for (const std::string& a : args) argv.push_back(a.c_str());
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    int status = runFpgaload(int(argv.size()), argv.data());
    Outcome run{status, testing::internal::GetCapturedStdout(), ""};
    run.err = testing::internal::GetCapturedStderr();
    return run;
  }

  SimulatedFpga fpga;
  std::string path;
};

TEST_F(Programmer, LoadsTheDeviceWithExactlyThePayload) {
  Bytes file = binx(goodHeader, 1000);
  writeFirmware(file);
  Outcome run = fpgaload({path});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out,
            "GOWIN part found: GW1N-9C 1100481B\n"
            "FPGA User Code: FFFFFFFF\n"
            "JTAG Status Register: 00008000\n"
            "    Bits: Ready / pin:READY\n"
            "\n"
            "Firmware User Code: 00001234\n"
            "Erasing SRAM...\n"
            "FPGA User Code After Erasing: 00000000\n"
            "Flashing firmware (1000 bytes)...\n"
            "Waiting for DONE...\n"
            "JTAG Status Register: 0000A000\n"
            "    Bits: Done Final / Ready / pin:DONE / pin:READY\n"
            "FPGA User Code After Flashing: 00001234\n"
            "Flashing Completed.\n");
  ASSERT_EQ(fpga.writes.size(), 1u);
  EXPECT_EQ(fpga.writes[0], payloadOf(file));
  EXPECT_EQ(fpga.writeBits, 8000u);
  EXPECT_EQ(fpga.erases, 1);
  EXPECT_EQ(fpga.tapState, tapRunTestIdle);
  // The control line pulses low for 50 ms, and 50 ms pass before anything else.
  ASSERT_EQ(fpga.controlLine.size(), 2u);
  EXPECT_EQ(fpga.controlLine[0].level, 0);
  EXPECT_EQ(fpga.controlLine[1].level, 1);
  EXPECT_EQ(fpga.controlLine[1].atMicroseconds - fpga.controlLine[0].atMicroseconds, 50000u);
  EXPECT_EQ(virtualClock.sleptMilliseconds, 100u);
}

TEST_F(Programmer, IdAndStatusPrintOnly) {
  struct Case {
    uint32_t statusBits;
    bool done, ready;
    const char* report;
  };
  const Case cases[] = {
      {0, false, false, "JTAG Status Register: 00000000\n    Bits: \n"},
      {0x00000210, false, false, "JTAG Status Register: 00000210\n    Bits: \n"},
      {0x00000001, false, true, "JTAG Status Register: 00008001\n    Bits: CRC Error / Ready / pin:READY\n"},
      {0, true, false, "JTAG Status Register: 00002000\n    Bits: Done Final / pin:DONE\n"},
      {0xFFFFFFFF, true, true,
       "JTAG Status Register: FFFFFFFF\n    Bits: CRC Error / Bad Command / ID Verify Failed / Timeout / "
       "Memory Erase / Preamble / System Edit Mode / Program SPI flash directly / Non-JTAG is active / Bypass / "
       "Gowin VLD / Done Final / Security Final / Ready / POR / Flash Lock / pin:DONE / pin:READY\n"},
  };
  fpga.idcode = 0x0000081B;
  for (const Case& c : cases) {
    fpga.statusBits = c.statusBits;
    fpga.done = c.done;
    fpga.ready = c.ready;
    Outcome status = fpgaload({"-status", "ignored"});
    EXPECT_EQ(status.status, 0);
    EXPECT_EQ(status.out, std::string("Part Code: 0000081B\n") + c.report);
    EXPECT_EQ(status.err, "");
  }
  Outcome id = fpgaload({"-id"});
  EXPECT_EQ(id.status, 0);
  EXPECT_EQ(id.out, "0000081B\n");
  EXPECT_EQ(id.err, "");
  EXPECT_TRUE(fpga.controlLine.empty());
  EXPECT_EQ(fpga.erases, 0);
}

TEST_F(Programmer, PartTable) {
  const std::pair<uint32_t, const char*> parts[] = {
      {0x0900281B, "GW1N-1"},  {0x0900381B, "GW1N-1S"}, {0x0100681B, "GW1NZ-1"},  {0x0100181B, "GW1N-2"},
      {0x1100181B, "GW1N-2B"}, {0x0300081B, "GW1NS-2"}, {0x0300181B, "GW1NS-2C"}, {0x1100381B, "GW1N-4B"},
      {0x0100481B, "GW1N-6"},  {0x1100481B, "GW1N-9C"}, {0x1100581B, "GW1N-9"},   {0x0000081B, "GW2A-18"},
      {0x0000281B, "GW2A-55"},
  };
  for (auto [idcode, name] : parts) {
    fpga.idcode = idcode;
    Outcome run = fpgaload({"/nonexistent/x.binx"});
    EXPECT_EQ(run.out.substr(0, run.out.find('\n')), std::string("GOWIN part found: ") + name + " " +
                                                          (std::stringstream() << std::hex << std::uppercase
                                                                               << std::setw(8) << std::setfill('0')
                                                                               << idcode).str());
    EXPECT_EQ(run.err, "Error: Unable to read firmware file /nonexistent/x.binx\n");
  }
  size_t pulses = fpga.controlLine.size();
  for (uint32_t unknown : {0x1100481Au, 0x00000000u, 0xFFFFFFFFu}) {
    fpga.idcode = unknown;
    Outcome run = fpgaload({path});
    EXPECT_EQ(run.status, 255);
    EXPECT_EQ(run.out, "");
    char expected[64];
    snprintf(expected, sizeof expected, "Error: Unkown FPGA part found, code %08X\n", unknown);
    EXPECT_EQ(run.err, expected);
  }
  EXPECT_EQ(fpga.controlLine.size(), pulses) << "no pulse for an unknown part";
}

TEST_F(Programmer, UnusableFilesStopBeforeErasing) {
  struct Case {
    const char* what;
    Bytes file;
    const char* err;
  };
  const char* unreadable = "Error: Unable to read firmware file ";
  const char* invalid = "Error: Invalid firmware format, please use binx\n";
  const char* noUserCode = "Error: the firmware does not specify target user code\n";
  Bytes shortPayload = binx(goodHeader, 300);
  shortPayload.resize(goodHeader.size() + 2 + 255);
  const Case cases[] = {
      {"empty", {}, unreadable},
      {"one byte", {0x00}, unreadable},
      {"payload of 255", shortPayload, invalid},
      {"header length 0", binx("", 300), invalid},
      {"header without line feed", binx("//UserCode: 1234", 300), invalid},
      {"no user code", binx("//Part: GW1N-9C\n", 300), noUserCode},
      {"user code FFFFFFFF", binx("//UserCode: FFFFFFFF\n", 300), noUserCode},
      {"user code without the blank", binx("//UserCode:1234\n", 300), noUserCode},
      {"user code not hexadecimal", binx("//UserCode: G1234\n", 300),
       "Error: the firmware's user code is not a 32-bit hexadecimal number: G1234\n"},
      {"user code over 32 bits", binx("//UserCode: 0x123456789\n", 300),
       "Error: the firmware's user code is not a 32-bit hexadecimal number: 0x123456789\n"},
  };
  for (const Case& c : cases) {
    writeFirmware(c.file);
    size_t pulses = fpga.controlLine.size();
    Outcome run = fpgaload({path});
    EXPECT_EQ(run.status, 255) << c.what;
    std::string err = c.err == unreadable ? std::string(unreadable) + path + "\n" : std::string(c.err);
    EXPECT_EQ(run.err, err) << c.what;
    EXPECT_EQ(count(run.out, "GOWIN part found"), 1u) << c.what;
    EXPECT_EQ(count(run.out, "Erasing"), 0u) << c.what;
    EXPECT_EQ(fpga.controlLine.size(), pulses + 2) << c.what << ": the pulse comes before the file is read";
  }
  EXPECT_EQ(fpga.erases, 0);
  Outcome directory = fpgaload({"/tmp"});
  EXPECT_EQ(directory.err, "Error: Unable to read firmware file /tmp\n");
  EXPECT_EQ(directory.status, 255);
}

TEST_F(Programmer, PartCheckAndForce) {
  struct Case {
    uint32_t target;
    const char* option;
    const char* err;  // nullptr: programming goes on
  };
  const Case cases[] = {
      {gw1n9c, "", nullptr},
      {0x1100581B, "", "Error: firmware is targeted for a different part: GW1N-9 (should be GW1N-9C*)\n"},
      {0x1100581B, "-force", nullptr},
      {0x11FFFFFF, "-force", nullptr},
      {0x1100581B, "-Force", "Error: firmware is targeted for a different part: GW1N-9 (should be GW1N-9C*)\n"},
      {0x0900281B, "-force", "Error: firmware is targeted for a different part: GW1N-1 (should be GW1N-9C*)\n"},
      {0x12345678, "",
       "Error: firmware is targeted for a different part: unknown part 12345678 (should be GW1N-9C*)\n"},
  };
  for (const Case& c : cases) {
    Bytes file = binx(goodHeader, 400, c.target);
    writeFirmware(file);
    fpga.writes.clear();
    Outcome run = fpgaload({path, c.option, "extra", "arguments"});
    if (c.err) {
      EXPECT_EQ(run.status, 255) << std::hex << c.target << c.option;
      EXPECT_EQ(run.err, c.err);
      EXPECT_TRUE(fpga.writes.empty());
      continue;
    }
    EXPECT_EQ(run.status, 0) << std::hex << c.target << c.option << run.err;
    ASSERT_EQ(fpga.writes.size(), 1u);
    Bytes expected = payloadOf(file);
    for (int i = 0; i < 4; ++i) expected[28 + i] = uint8_t(gw1n9c >> (24 - 8 * i));
    EXPECT_EQ(fpga.writes[0], expected);
    std::ifstream stored(path, std::ios::binary);
    EXPECT_EQ(Bytes(std::istreambuf_iterator<char>(stored), {}), file) << "the file itself is not changed";
  }
}

TEST_F(Programmer, RetriesUpToFiveAttempts) {
  struct Case {
    const char* what;
    FpgaFaults faults;
    int status;
    int attempts;
    const char* err;  // each failed attempt's message
  };
  const Case cases[] = {
      {"never DONE", {.neverDone = true}, 255, 5, "Error: Flashing Timeout\n"},
      {"user code reads back wrong", {.wrongUserCode = true}, 255, 5,
       "Error: Flashing CRC mismatch 00FF1234 != 00001234\n"},
      {"status error every time", {.statusErrorBits = 0x1}, 255, 5, "Error: FPGA status error detected 0000A001\n"},
      {"status error twice", {.statusErrorBits = 0x8, .faultyAttempts = 2}, 0, 3,
       "Error: FPGA status error detected 0000A008\n"},
      {"DONE late once", {.neverDone = true, .faultyAttempts = 1}, 0, 2, "Error: Flashing Timeout\n"},
      {"wrong user code four times", {.wrongUserCode = true, .faultyAttempts = 4}, 0, 5,
       "Error: Flashing CRC mismatch 00FF1234 != 00001234\n"},
  };
  Bytes file = binx(goodHeader, 300);
  writeFirmware(file);
  for (const Case& c : cases) {
    fpga.faults = c.faults;
    fpga.writes.clear();
    fpga.erases = 0;
    virtualClock = VirtualClock{};
    Outcome run = fpgaload({path});
    EXPECT_EQ(run.status, c.status) << c.what;
    int failures = c.status == 0 ? c.attempts - 1 : c.attempts;
    std::string err;
    for (int i = 0; i < failures; ++i) err += c.err;
    EXPECT_EQ(run.err, err) << c.what;
    EXPECT_EQ(count(run.out, "Erasing SRAM...\n"), size_t(c.attempts)) << c.what;
    EXPECT_EQ(count(run.out, "Flashing Completed.\n"), c.status == 0 ? 1u : 0u) << c.what;
    EXPECT_EQ(fpga.erases, c.attempts) << c.what;
    ASSERT_EQ(fpga.writes.size(), size_t(c.attempts)) << c.what;
    for (const Bytes& write : fpga.writes) EXPECT_EQ(write, payloadOf(file)) << c.what;
    // Every failed wait for DONE sleeps 2001 times 1 ms; the pulse adds 100 ms.
    int timeouts = c.faults.neverDone ? std::min(c.attempts, c.faults.faultyAttempts) : 0;
    EXPECT_EQ(virtualClock.sleptMilliseconds, 100u + 2001u * unsigned(timeouts)) << c.what;
  }
}

}  // namespace
