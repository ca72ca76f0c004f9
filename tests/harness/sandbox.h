// A private copy of the board's world for whole-program tests: the process
// enters its own mount and network namespaces, and every board path a test
// needs (/dev/mem, serial devices, /root markers, sysfs files) is stood in for
// there without touching the machine's real files.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace sandbox {

// Private mount and network namespaces with loopback up, a fresh tmpfs on
// /tmp, and a private /dev with its own pseudo-terminal instance and no
// /dev/mem. Must run before any thread is started. Exits with a message when
// namespaces are not available: a test that cannot be isolated must fail.
void enterPrivateBoard();

// Makes a directory writable in this namespace only.
void makeWritable(const std::string& dir);

// Creates or replaces a file, creating missing parent folders privately.
void writeFile(const std::string& path, std::string_view content, unsigned mode = 0644);
std::string readFile(const std::string& path);

// Removes a file or empty folder in this namespace only.
void removePath(const std::string& path);

// Bind-mounts source over target; a missing target is created first.
void bindOver(const std::string& source, const std::string& target);

// Binds a sparse regular file over /dev/mem. The default size covers the GPIO
// window's file offset and length.
void provideDevMem(uint64_t size = 0x02400000);

// A 32-bit register as the stand-in /dev/mem holds it, at its physical address.
uint32_t devMemWord(uint32_t physical);
void setDevMemWord(uint32_t physical, uint32_t word);

// A pseudo-terminal in raw mode; the program gets `slave`, the test plays the
// peer on `master`.
struct Pty {
  int master = -1;
  std::string slave;
};
Pty openPty();

}  // namespace sandbox
