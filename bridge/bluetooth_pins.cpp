#include "bluetooth_pins.h"

#include <chrono>
#include <thread>

#include "gpio.h"

using namespace std::chrono_literals;

void btHold() {
  writePin(portH, 12, 0);
  setPinFunction(portH, 12, 1);
  setPinDrive(portH, 12, 0);
  setPinPull(portH, 12, 0);
}

void btRelease() {
  setPinFunction(portH, 12, 0);
  setPinDrive(portH, 12, 0);
  setPinPull(portH, 12, 0);
}

void btIsolate() {
  for (int pin : {5, 6, 7}) {
    setPinFunction(portG, pin, 0);
    setPinDrive(portG, pin, 0);
    setPinPull(portG, pin, 2);
  }
}

void btConnect() {
  setPinFunction(portG, 5, 0);
  setPinDrive(portG, 5, 0);
  setPinPull(portG, 5, 1);
  for (int pin : {6, 7}) {
    setPinFunction(portG, pin, 4);
    setPinDrive(portG, pin, 1);
    setPinPull(portG, pin, 0);
  }
}

void btPowerOff() {
  btIsolate();
  std::this_thread::sleep_for(20ms);
  btHold();
}

void btPowerOn() {
  btRelease();
  std::this_thread::sleep_for(1s);
  btConnect();
}
