// The module's pin sequences on the real mapping of a sparse /dev/mem.
#include <gtest/gtest.h>

#include <cstdint>
#include <fcntl.h>
#include <unistd.h>

#include "bluetooth_pins.h"
#include "gpio.h"
#include "sandbox.h"

namespace {

constexpr uint32_t portG = 0x01C208D8, portH = 0x01C208FC;
constexpr uint32_t config0 = 0x00, config1 = 0x04, data = 0x10, drive0 = 0x14, pull0 = 0x1C;

TEST(BluetoothPins, PowerSequencesSetOnlyTheModulesPins) {
  sandbox::provideDevMem();
  for (uint32_t reg : {config0, config1, data, drive0, pull0}) {
    sandbox::setDevMemWord(portG + reg, 0x11111111);
    sandbox::setDevMemWord(portH + reg, 0x11111111);
  }
  mapGpioWindow();

  btPowerOn();
  // PH12 released: input, no drive, no pull; its level is left alone.
  EXPECT_EQ(sandbox::devMemWord(portH + config1), 0x11101111u);
  EXPECT_EQ(sandbox::devMemWord(portH + drive0), 0x10111111u);
  EXPECT_EQ(sandbox::devMemWord(portH + pull0), 0x10111111u);
  EXPECT_EQ(sandbox::devMemWord(portH + data), 0x11111111u);
  // PG5 input with pull 1, PG6 and PG7 on function 4 with drive 1.
  EXPECT_EQ(sandbox::devMemWord(portG + config0), 0x44011111u);
  EXPECT_EQ(sandbox::devMemWord(portG + drive0), 0x11115111u);
  EXPECT_EQ(sandbox::devMemWord(portG + pull0), 0x11110511u);

  btPowerOff();
  // PH12 an output driven low; PG5-7 inputs with pull 2.
  EXPECT_EQ(sandbox::devMemWord(portH + config1), 0x11111111u);
  EXPECT_EQ(sandbox::devMemWord(portH + data), 0x11110111u);
  EXPECT_EQ(sandbox::devMemWord(portH + drive0), 0x10111111u);
  EXPECT_EQ(sandbox::devMemWord(portH + pull0), 0x10111111u);
  EXPECT_EQ(sandbox::devMemWord(portG + config0), 0x00011111u);
  EXPECT_EQ(sandbox::devMemWord(portG + drive0), 0x11110111u);
  EXPECT_EQ(sandbox::devMemWord(portG + pull0), 0x1111A911u);
}

}  // namespace
