#include "pipe_reader.h"

#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "watchdog.h"

void LineAccumulator::feed(const char* bytes, size_t count, MessageQueue& queue) {
  for (size_t i = 0; i < count; ++i) {
    char c = bytes[i];
    if (c == '\n') {
      if (!line.empty()) queue.push(std::move(line));
      line.clear();
      skipping = false;
    } else if (!skipping) {
      if (line.size() >= limit) {
        printf("Pipe line longer than %zu bytes dropped\n", limit);
        line.clear();
        line.shrink_to_fit();
        skipping = true;
        continue;
      }
      line.push_back(c);
    }
  }
}

void PipeReader::open(const char* path) {
  // The umask must not keep other writers out.
  if (mkfifo(path, 0666) == 0) chmod(path, 0666);
  fd = ::open(path, O_RDONLY | O_NONBLOCK);
  if (fcntl(fd, F_SETPIPE_SZ, 1048576) < 0) perror("set pipe size failed.");
}

void PipeReader::drain(MessageQueue& queue) {
  for (;;) {
    ssize_t got = read(fd, buffer, sizeof buffer);
    if (got <= 0) return;
    accumulator.feed(buffer, size_t(got), queue);
    markAlive();
  }
}

PipeReader::~PipeReader() {
  if (fd >= 0) close(fd);
}
