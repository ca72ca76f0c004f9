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

uint32_t word(uint32_t physical) {
  int fd = open("/dev/mem", O_RDONLY);
  uint32_t value = 0;
  EXPECT_EQ(pread(fd, &value, 4, physical), 4);
  close(fd);
  return value;
}

void setWord(uint32_t physical, uint32_t value) {
  int fd = open("/dev/mem", O_WRONLY);
  EXPECT_EQ(pwrite(fd, &value, 4, physical), 4);
  close(fd);
}

TEST(BluetoothPins, PowerSequencesSetOnlyTheModulesPins) {
  sandbox::provideDevMem();
  for (uint32_t reg : {config0, config1, data, drive0, pull0}) {
    setWord(portG + reg, 0x11111111);
    setWord(portH + reg, 0x11111111);
  }
  mapGpioWindow();

  btPowerOn();
  // PH12 released: input, no drive, no pull; its level is left alone.
  EXPECT_EQ(word(portH + config1), 0x11101111u);
  EXPECT_EQ(word(portH + drive0), 0x10111111u);
  EXPECT_EQ(word(portH + pull0), 0x10111111u);
  EXPECT_EQ(word(portH + data), 0x11111111u);
  // PG5 input with pull 1, PG6 and PG7 on function 4 with drive 1.
  EXPECT_EQ(word(portG + config0), 0x44011111u);
  EXPECT_EQ(word(portG + drive0), 0x11115111u);
  EXPECT_EQ(word(portG + pull0), 0x11110511u);

  btPowerOff();
  // PH12 an output driven low; PG5-7 inputs with pull 2.
  EXPECT_EQ(word(portH + config1), 0x11111111u);
  EXPECT_EQ(word(portH + data), 0x11110111u);
  EXPECT_EQ(word(portH + drive0), 0x10111111u);
  EXPECT_EQ(word(portH + pull0), 0x10111111u);
  EXPECT_EQ(word(portG + config0), 0x00011111u);
  EXPECT_EQ(word(portG + drive0), 0x11110111u);
  EXPECT_EQ(word(portG + pull0), 0x1111A911u);
}

}  // namespace
