// The Bluetooth module's pins: PH12 holds it off when driven low; PG5-PG7
// are its serial lines, isolated while it is off.
#pragma once

void btHold();
void btRelease();
void btIsolate();
void btConnect();
void btPowerOff();
void btPowerOn();
