// wavmend: finishes a WAV recording whose writer stopped before it filled in
// the RIFF and data sizes (both left at -1), then renames it.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

static constexpr size_t headerBytes = 200;

// Errors go to standard error after whatever progress was printed.
static int report(const char* message, int status) {
  fflush(stdout);
  fputs(message, stderr);
  return status;
}

static int failWith(const char* message) { return report(message, 255); }

static uint32_t le32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24; }
static uint16_t le16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }

static void putLe32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}

// First offset 0..196 where the tag starts, or -1.
static int findTag(const uint8_t* header, const char* tag) {
  for (size_t offset = 0; offset + 4 <= headerBytes; ++offset)
    if (memcmp(header + offset, tag, 4) == 0) return int(offset);
  return -1;
}

static bool writeLe32At(int fd, uint32_t value, off_t offset) {
  uint8_t bytes[4];
  putLe32(bytes, value);
  return pwrite(fd, bytes, 4, offset) == 4;
}

static int repair(const char* source, const char* target) {
  int fd = open(source, O_RDWR);
  if (fd < 0) return failWith("Could not open file.\n");

  struct stat st;
  if (stat(source, &st) != 0) return failWith("Error reading file stats.\n");
  uint64_t fileLength = uint64_t(st.st_size);

  uint8_t header[headerBytes];
  size_t got = 0;
  while (got < headerBytes) {
    ssize_t n = read(fd, header + got, headerBytes - got);
    if (n <= 0) break;
    got += size_t(n);
  }
  if (got < headerBytes) return failWith("File smaller than 200 bytes.\n");
  if (memcmp(header, "RIFF", 4) != 0 || memcmp(header + 8, "WAVE", 4) != 0) return failWith("Not a WAVE FILE.\n");

  // Beyond this the 32-bit sizes wrap and the cut would destroy audio.
  if (fileLength > 0xFFFFFFFFull)
    return failWith("File longer than 4 GiB: its sizes cannot be written in a RIFF header.\n");

  uint32_t riffSize = le32(header + 4);
  if (uint32_t(riffSize + 8) == uint32_t(fileLength))
    return report("Size in Header is correct - Assuming file is OK and finished successfully.\n", 0);
  if (riffSize != 0xFFFFFFFF) return failWith("Size in Header is not -1, so don't know how to handle it.\n");
  printf("Size in Header is -1, so assuming it's unfinished and needs fixing.\n");

  int fmtAt = findTag(header, "fmt ");
  if (fmtAt < 0) return failWith("No fmt block in the first 200 bytes.\n");
  printf("Found fmt block.\n");
  if (size_t(fmtAt) + 22 > headerBytes)
    return failWith("The fmt block's alignment field lies beyond the first 200 bytes.\n");
  uint32_t blockAlign = le16(header + fmtAt + 20);
  printf("Found blockAlignment of size %u.\n", blockAlign);

  int dataAt = findTag(header, "data");
  if (dataAt < 0) return failWith("No data block in the first 200 bytes.\n");
  printf("Found data block.\n");
  if (size_t(dataAt) + 8 > headerBytes)
    return failWith("The data block's size field lies beyond the first 200 bytes.\n");
  printf("Found data length block of %u.\n", le32(header + dataAt + 4) + 1);

  uint32_t audioStart = uint32_t(dataAt) + 8;
  uint32_t dataLength = blockAlign ? blockAlign * ((uint32_t(fileLength) - audioStart) / blockAlign) : 0;
  fflush(stdout);
  fprintf(stderr, "Calculated Blk size: %u.\n", dataLength);

  if (!writeLe32At(fd, uint32_t(dataAt) + dataLength, 4) || !writeLe32At(fd, dataLength, dataAt + 4))
    return failWith("Error writing header.\n");
  if (truncate(source, off_t(audioStart) + dataLength) != 0) return failWith("Error truncating original File.\n");
  if (close(fd) != 0) return failWith("Error closing original File.\n");
  if (rename(source, target) != 0) return failWith("Error renaming original File.\n");
  return 0;
}

int main(int argc, char** argv) {
  if (argc != 3) return failWith("Usage: wavmend source target\n");
  return repair(argv[1], argv[2]);
}
