// The command pipe: bytes in, newline-terminated messages out.
#pragma once

#include <cstddef>
#include <string>

#include "message_queue.h"

// Collects pipe bytes into lines across reads. A line that grows past the
// limit without a newline is dropped with one message, and the bytes up to
// the next newline are skipped, so a runaway writer cannot exhaust memory.
class LineAccumulator {
 public:
  explicit LineAccumulator(size_t limit = 64u << 20) : limit(limit) {}
  void feed(const char* bytes, size_t count, MessageQueue& queue);
  size_t pendingBytes() const { return line.size(); }

 private:
  size_t limit;
  std::string line;
  bool skipping = false;
};

class PipeReader {
 public:
  // Creates the pipe if needed and opens it non-blocking; a failed open only
  // means nothing is ever read.
  void open(const char* path = "/tmp/lumenvas");
  // Reads until no data is left.
  void drain(MessageQueue& queue);
  ~PipeReader();

 private:
  int fd = -1;
  char buffer[2048];
  LineAccumulator accumulator;
};
