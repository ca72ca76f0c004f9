// fpgaload run as on the board, against a sparse /dev/mem stand-in with no
// FPGA behind it: the paths that need no answer from the device.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdint>
#include <fcntl.h>
#include <unistd.h>

#include "process.h"
#include "sandbox.h"

namespace {

using sandbox::runProcess;

const uint32_t pinRegisters[] = {0x01C20800, 0x01C20810, 0x01C20814, 0x01C2081C, 0x01C20890,
                                 0x01C20894, 0x01C208A0, 0x01C208A4, 0x01C208AC};

TEST(Fpgaload, SetsUpThePinsBeforeShowingUsage) {
  struct Case {
    uint32_t fill;
    uint32_t after[9];  // in the order of pinRegisters
  };
  const Case cases[] = {
      {0xFFFFFFFF,
       {0xFFFF1110, 0xFFFFFFFF, 0xFFFFFF00, 0xFFFFFF00, 0x001FFFFF, 0xFFFF1011, 0xFFFFFDFF, 0xFF0003FF, 0xFF0003FF}},
      {0x00000000,
       {0x00001110, 0x00000000, 0x00000000, 0x00000000, 0x00100000, 0x00001011, 0x00000920, 0x00000000, 0x00000000}},
  };
  for (const Case& c : cases) {
    sandbox::provideDevMem();
    for (uint32_t address : pinRegisters) sandbox::setDevMemWord(address, c.fill);
    auto result = runProcess({FPGALOAD});
    EXPECT_EQ(result.exitCode, 255);
    EXPECT_EQ(result.out, "Usage: fpgaload filename.bin\n");
    EXPECT_EQ(result.err, "");
    for (int i = 0; i < 9; ++i)
      EXPECT_EQ(sandbox::devMemWord(pinRegisters[i]), c.after[i]) << std::hex << "register " << pinRegisters[i] << " fill "
                                                        << c.fill;
  }
}

TEST(Fpgaload, WithoutTheWindowAbortsBeforeAnything) {
  for (const char* argument : {"", "-id", "/tmp/none.binx"}) {
    std::vector<std::string> argv = {FPGALOAD};
    if (*argument) argv.push_back(argument);
    auto result = runProcess(argv);
    EXPECT_EQ(result.signal, SIGABRT) << argument;
    EXPECT_EQ(result.out, "") << argument;
    EXPECT_EQ(result.err, "Error: Unable to map memory\n") << argument;
  }
}

TEST(Fpgaload, AbsentFpgaReadsAsAnUnknownPart) {
  struct Case {
    uint32_t portAData;  // TDO reads the stand-in's bit 0 for ever
    const char* code;
  };
  const Case cases[] = {{0x00000000, "00000000"}, {0x00000001, "FFFFFFFF"}};
  for (const Case& c : cases) {
    sandbox::provideDevMem();
    sandbox::setDevMemWord(0x01C20810, c.portAData);
    sandbox::writeFile("/tmp/fw.binx", std::string(400, 'x'));

    auto id = runProcess({FPGALOAD, "-id"});
    EXPECT_EQ(id.exitCode, 0);
    EXPECT_EQ(id.out, std::string(c.code) + "\n");

    auto status = runProcess({FPGALOAD, "-status"});
    EXPECT_EQ(status.exitCode, 0);
    EXPECT_EQ(status.out.substr(0, 20), std::string("Part Code: ") + c.code + "\n");

    auto load = runProcess({FPGALOAD, "/tmp/fw.binx", "-force"});
    EXPECT_EQ(load.exitCode, 255);
    EXPECT_EQ(load.out, "");
    EXPECT_EQ(load.err, std::string("Error: Unkown FPGA part found, code ") + c.code + "\n");
    // Nothing pulsed: the control line is still high.
    EXPECT_EQ(sandbox::devMemWord(0x01C208A0) >> 5 & 1, 1u);
  }
}

}  // namespace
