// Commands per second through the pipe into a running lumenvas: writes UI
// frames (as fast as the pipe takes them, or paced at FPS), then a marker
// call whose echo on the server's console ends the clock.
//   lumenvas_pipe FRAMES SERVER_LOG [FPS [SCALE]]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include "ui_frame.h"

static bool logHas(const char* path, const std::string& text) {
  std::ifstream in(path);
  std::stringstream all;
  all << in.rdbuf();
  return all.str().find(text) != std::string::npos;
}

static void writeAll(int fd, const std::string& bytes) {
  for (size_t done = 0; done < bytes.size();) {
    ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n <= 0) {
      perror("write");
      exit(1);
    }
    done += size_t(n);
  }
}

int main(int argc, char** argv) {
  if (argc < 3) {
    fprintf(stderr, "usage: lumenvas_pipe FRAMES SERVER_LOG [FPS [SCALE]]\n");
    return 2;
  }
  int frames = atoi(argv[1]);
  double fps = argc > 3 ? atof(argv[3]) : 0;
  double scale = argc > 4 ? atof(argv[4]) : 1;
  std::vector<std::string> lines;
  size_t bytes = 0;
  for (int i = 0; i < frames; ++i) {
    lines.push_back(uiFrame(i, scale) + "\n");
    bytes += lines.back().size();
  }
  std::string marker = "{\"call\":\"benchDone\"}";
  int fd = open("/tmp/lumenvas", O_WRONLY);
  if (fd < 0) {
    perror("/tmp/lumenvas");
    return 1;
  }
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < frames; ++i) {
    if (fps > 0) std::this_thread::sleep_until(start + std::chrono::microseconds(int64_t(i * 1e6 / fps)));
    writeAll(fd, lines[size_t(i)]);
  }
  writeAll(fd, marker + "\n");
  auto written = std::chrono::steady_clock::now();
  while (!logHas(argv[2], marker)) std::this_thread::sleep_for(std::chrono::microseconds(200));
  auto done = std::chrono::steady_clock::now();
  close(fd);
  double seconds = std::chrono::duration<double>(done - start).count();
  double commands = double(frames) * uiFrameCommands;
  printf("pipe, %s, scale %.2f: %d frames of %d commands (%zu bytes) in %.3f s (written after %.3f s): "
         "%.0f commands/s, %.1f frames/s\n",
         fps > 0 ? (std::to_string(int(fps)) + " fps offered").c_str() : "burst", scale, frames, uiFrameCommands, bytes,
         seconds, std::chrono::duration<double>(written - start).count(), commands / seconds, frames / seconds);
}
