// The pin operations against the real mapping of a sparse /dev/mem stand-in.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdint>
#include <fcntl.h>
#include <unistd.h>

#include "gpio.h"
#include "sandbox.h"

namespace {

class GpioWindow : public testing::Test {
 protected:
  void SetUp() override {
    sandbox::provideDevMem();
    gpioMapAttempted = false;
    gpioWindow = nullptr;
  }
};

TEST_F(GpioWindow, PinWritesChangeOnlyTheirBits) {
  struct Case {
    const char* what;
    uint32_t physical;
    uint32_t before;
    void (*change)();
    uint32_t after;
  };
  const Case cases[] = {
      {"writePin(A, 2, 1)", 0x01C20810, 0xA5A5A5A1, [] { writePin(portA, 2, 1); }, 0xA5A5A5A5},
      {"writePin(A, 0, 0)", 0x01C20810, 0xFFFFFFFF, [] { writePin(portA, 0, 0); }, 0xFFFFFFFE},
      {"setPinFunction(E, 8, 1)", 0x01C20894, 0x76543298, [] { setPinFunction(portE, 8, 1); }, 0x76543291},
      {"setPinFunction(H, 12, 4)", 0x01C20900, 0xFFFFFFFF, [] { setPinFunction(portH, 12, 4); }, 0xFFF4FFFF},
      {"setPinDrive(G, 17, 2)", 0x01C208F0, 0xFFFFFFFF, [] { setPinDrive(portG, 17, 2); }, 0xFFFFFFFB},
      {"setPinPull(H, 15, 1)", 0x01C20918, 0x00000000, [] { setPinPull(portH, 15, 1); }, 0x40000000},
      {"setPinPull(H, 16, 0)", 0x01C2091C, 0xFFFFFFFF, [] { setPinPull(portH, 16, 0); }, 0xFFFFFFFC},
  };
  mapGpioWindow();
  for (const Case& c : cases) {
    sandbox::setDevMemWord(c.physical, c.before);
    c.change();
    EXPECT_EQ(sandbox::devMemWord(c.physical), c.after) << c.what;
  }
}

TEST_F(GpioWindow, ReadPinSeesTheDataRegister) {
  sandbox::setDevMemWord(0x01C208FC + 0x10, 1u << 12);
  mapGpioWindow();
  EXPECT_EQ(readPin(portH, 12), 1);
  EXPECT_EQ(readPin(portH, 11), 0);
  EXPECT_EQ(*gpioRegister(0x01C2090C), 1u << 12);
}

TEST_F(GpioWindow, SecondMappingDoesNotOpenAgain) {
  mapGpioWindow();
  volatile uint8_t* first = gpioWindow;
  sandbox::removePath("/dev/mem");
  mapGpioWindow();
  EXPECT_EQ(gpioWindow, first);
  writePin(portB, 3, 1);
  EXPECT_EQ(readPin(portB, 3), 1);
}

TEST(GpioMapping, FailureAbortsWithTheMessage) {
  struct Case {
    const char* what;
    void (*prepare)();
  };
  const Case cases[] = {
      {"no /dev/mem", [] {}},
      {"/dev/mem not openable", [] { sandbox::bindOver("/tmp", "/dev/mem"); }},
      {"mapping refused", [] { sandbox::bindOver("/dev/null", "/dev/mem"); }},
  };
  for (const Case& c : cases) {
    EXPECT_EXIT(
        {
          sandbox::enterPrivateBoard();  // a fresh board for each case
          c.prepare();
          mapGpioWindow();
          fputs("mapped\n", stderr);
          exit(0);
        },
        testing::KilledBySignal(SIGABRT), "^Error: Unable to map memory\n$")
        << c.what;
  }
}

TEST(GpioMapping, FailedFirstAttemptIsNotRetried) {
  EXPECT_EXIT(
      {
        // Survive the abort of the first try to see that a second does nothing.
        signal(SIGABRT, [](int) {
          sandbox::provideDevMem();
          mapGpioWindow();
          _exit(gpioWindow == nullptr ? 7 : 8);
        });
        mapGpioWindow();
      },
      testing::ExitedWithCode(7), "Unable to map memory");
}

}  // namespace
