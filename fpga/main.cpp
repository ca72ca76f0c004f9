// fpgaload: loads the board's FPGA from a binx file over bit-banged JTAG.
#include "jtag.h"
#include "programmer.h"

int main(int argc, char** argv) {
  setUpJtagPins();
  return runFpgaload(argc, argv);
}
