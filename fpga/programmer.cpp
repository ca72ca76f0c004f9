#include "programmer.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

#include "binx.h"
#include "gowin.h"
#include "jtag.h"
#include "wall_clock.h"

constexpr int attempts = 5;
constexpr int donePollLimit = 2001;

static bool readWholeFile(const char* path, std::vector<uint8_t>& bytes) {
  int fd = open(path, O_RDONLY);
  if (fd < 0) return false;
  uint8_t chunk[65536];
  for (;;) {
    ssize_t got = read(fd, chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      close(fd);
      return false;
    }
    if (got == 0) break;
    bytes.insert(bytes.end(), chunk, chunk + got);
  }
  close(fd);
  return bytes.size() >= 2;
}

static void eraseSram() {
  puts("Erasing SRAM...");
  fflush(stdout);
  tapWalk(tapUnknown, tapRunTestIdle);
  for (uint8_t code : {instructionConfigEnable, instructionEraseSram, instructionNoop}) sendInstruction(code);
  runIdle(10);
  for (uint8_t code : {instructionEraseComplete, instructionNoop, instructionConfigDisable, instructionNoop})
    sendInstruction(code);
  runIdle(10);
  printf("FPGA User Code After Erasing: %08X\n", readRegister32(instructionReadUsercode));
  fflush(stdout);
}

static void writeSram(const uint8_t* payload, size_t size) {
  printf("Flashing firmware (%zu bytes)...\n", size);
  fflush(stdout);
  for (uint8_t code : {instructionConfigEnable, instructionAddressInit, instructionWriteSram}) sendInstruction(code);
  tapWalk(tapRunTestIdle, tapShiftDr);
  for (size_t i = 0; i < size; ++i) shiftDataByte(payload[i], i + 1 == size);
  tapWalk(tapExit1Dr, tapRunTestIdle);
  for (uint8_t code : {instructionConfigDisable, instructionNoop}) sendInstruction(code);
}

static bool waitForDone() {
  puts("Waiting for DONE...");
  fflush(stdout);
  for (int failures = 0;;) {
    if (readDonePin() && (readRegister32(instructionReadStatus) & statusDoneFinal)) return true;
    sleepMilliseconds(1);
    if (++failures == donePollLimit) return false;
  }
}

// One erase, write and check. False when it must be tried again.
static bool programOnce(const uint8_t* payload, size_t size, uint32_t userCode) {
  eraseSram();
  writeSram(payload, size);
  if (!waitForDone()) {
    fputs("Error: Flashing Timeout\n", stderr);
    return false;
  }
  printStatus();
  uint32_t readBack = readRegister32(instructionReadUsercode);
  if (readBack != userCode) {
    fprintf(stderr, "Error: Flashing CRC mismatch %08X != %08X\n", readBack, userCode);
    return false;
  }
  uint32_t status = readRegister32(instructionReadStatus);
  if (status & statusErrorBits) {
    // A failure on the last attempt too: the device is not known to hold a
    // good configuration.
    fprintf(stderr, "Error: FPGA status error detected %08X\n", status);
    return false;
  }
  return true;
}

static void pulseControlLine() {
  setControlLine(0);
  sleepMilliseconds(50);
  setControlLine(1);
  sleepMilliseconds(50);
}

static int programFromFile(const char* path, bool force, uint32_t deviceIdcode, const char* deviceName) {
  std::vector<uint8_t> file;
  if (!readWholeFile(path, file)) {
    fprintf(stderr, "Error: Unable to read firmware file %s\n", path);
    return 255;
  }
  BinxLayout layout;
  if (!parseBinxLayout(file, layout)) {
    fputs("Error: Invalid firmware format, please use binx\n", stderr);
    return 255;
  }
  UserCode userCode = findUserCode(layout.header);

  uint32_t target = targetIdcode(file, layout);
  if (target != deviceIdcode) {
    if (force && (target >> 24) == (deviceIdcode >> 24)) {
      // Only the copy in memory changes; the file stays as it is.
      setTargetIdcode(file, layout, deviceIdcode);
    } else {
      const char* targetName = partNameOf(target);
      char unknownName[32];
      if (!targetName) {
        snprintf(unknownName, sizeof unknownName, "unknown part %08X", target);
        targetName = unknownName;
      }
      fprintf(stderr, "Error: firmware is targeted for a different part: %s (should be %s*)\n", targetName,
              deviceName);
      return 255;
    }
  }
  if (userCode.status == UserCode::missing) {
    fputs("Error: the firmware does not specify target user code\n", stderr);
    return 255;
  }
  if (userCode.status == UserCode::malformed) {
    fprintf(stderr, "Error: the firmware's user code is not a 32-bit hexadecimal number: %s\n",
            userCode.text.c_str());
    return 255;
  }
  printf("Firmware User Code: %08X\n", userCode.value);

  const uint8_t* payload = file.data() + layout.payloadOffset;
  for (int attempt = 1; attempt <= attempts; ++attempt) {
    if (programOnce(payload, layout.payloadSize, userCode.value)) {
      printf("FPGA User Code After Flashing: %08X\n", readRegister32(instructionReadUsercode));
      fflush(stdout);
      puts("Flashing Completed.");
      return 0;
    }
  }
  return 255;
}

int runFpgaload(int argc, const char* const* argv) {
  if (argc < 2) {
    puts("Usage: fpgaload filename.bin");
    return 255;
  }
  tapWalk(tapUnknown, tapRunTestIdle);
  const char* command = argv[1];
  if (strcmp(command, "-id") == 0) {
    printf("%08X\n", readRegister32(instructionReadIdcode));
    return 0;
  }
  if (strcmp(command, "-status") == 0) {
    printf("Part Code: %08X\n", readRegister32(instructionReadIdcode));
    printStatus();
    return 0;
  }

  uint32_t idcode = readRegister32(instructionReadIdcode);
  const char* name = partNameOf(idcode);
  if (!name) {
    fprintf(stderr, "Error: Unkown FPGA part found, code %08X\n", idcode);
    return 255;
  }
  printf("GOWIN part found: %s %08X\n", name, idcode);
  printf("FPGA User Code: %08X\n", readRegister32(instructionReadUsercode));
  printStatus();
  putchar('\n');

  pulseControlLine();
  bool force = argc > 2 && strcmp(argv[2], "-force") == 0;
  return programFromFile(command, force, idcode, name);
}
