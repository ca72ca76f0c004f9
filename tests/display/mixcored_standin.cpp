// Stands in for the audio engine: idles, and says so each time it is let run
// again after a stop.
#include <csignal>
#include <unistd.h>

static void continued(int) {
  const char text[] = "continued\n";
  (void)!write(1, text, sizeof text - 1);
}

int main() {
  signal(SIGCONT, continued);
  const char text[] = "engine running\n";
  (void)!write(1, text, sizeof text - 1);
  for (;;) pause();
}
