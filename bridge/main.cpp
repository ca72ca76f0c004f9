// knobwire: keeps the control surface and the mixer state server in step.
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <unistd.h>

#include "bluetooth_pins.h"
#include "bridge_state.h"
#include "gpio.h"
#include "param_table.h"
#include "server_client.h"
#include "server_messages.h"
#include "surface.h"
#include "thread_priority.h"

using namespace std::chrono_literals;

namespace {

// Runs before any other static initialisation of the bridge: the module's
// hold line is low from the first moment of every start.
struct HoldModuleOff {
  HoldModuleOff() {
    mapGpioWindow();
    btHold();
  }
} holdModuleOff __attribute__((init_priority(101)));

void onTermination(int) {
  // write() rather than stdio: it is safe inside a signal handler, and
  // standard output is line-buffered, so nothing printed earlier is held back.
  static const char text[] = "Termination detected\n";
  (void)!write(STDOUT_FILENO, text, sizeof text - 1);
  stopRequested = true;
}

void ignoreSignal(int) {}

void installSignalHandlers() {
  struct sigaction action = {};
  sigemptyset(&action.sa_mask);
  action.sa_handler = onTermination;
  for (int sig : {SIGTERM, SIGINT, SIGHUP}) sigaction(sig, &action, nullptr);
  action.sa_handler = ignoreSignal;
  sigaction(SIGPIPE, &action, nullptr);
}

// First start since boot (the marker lives in /tmp, cleared at boot): the
// module's lines are isolated as well.
void powerModuleOffOncePerBoot() {
  const char* marker = "/tmp/.bt-was-disabled-startup";
  if (access(marker, F_OK) == 0) return;
  btPowerOff();
  std::this_thread::sleep_for(150ms);
  if (FILE* file = fopen(marker, "w")) {
    fputc('1', file);
    fclose(file);
  }
}

// The Engine.IO ping about every 10 s while connected, and one report per loss.
void superviseConnection(ServerClient& client) {
  uint64_t sincePing = 0;
  bool reported = false;
  for (;;) {
    std::this_thread::sleep_for(100ms);
    sincePing += 100;
    if (sincePing > 10000 && client.isUp()) {
      client.send("2");
      sincePing = 0;
    }
    if (client.isUp()) {
      reported = false;
    } else if (!reported) {
      puts("Disconnected websocket.");
      reported = true;
    }
    if (stopRequested) return;
  }
}

}  // namespace

int main() {
  setvbuf(stdout, nullptr, _IOLBF, 0);
  if (access("/root/.varomini", F_OK) == 0) {
    isMini = true;
    fputs("Varo Mini detected\n", stdout);
  }
  if (const char* level = getenv("VERBOSE")) verbosity = int(strtol(level, nullptr, 10));
  powerModuleOffOncePerBoot();

  ServerClient serverClient;
  installSignalHandlers();

  sendToServer = [&serverClient](const char* text, size_t length) {
    serverClient.send(messageFrame(std::string_view(text, length)));
  };
  keyDataTransform("");  // the index is built before the threads that read it
  ServerEndpoint endpoint{"127.0.0.1", 80, "/socket.io/?EIO=3&transport=websocket", "http://127.0.0.1:80/"};
  serverClient.open(
      endpoint, ReconnectPolicy{100ms, 1000ms},
      [&serverClient] {
        raiseThreadPriority();
        serverClient.send(std::string(initRequestFrame));
      },
      handleServerText);

  std::thread fader(faderThread);
  // The Bluetooth thread starts here, after the fader thread, once the module's link exists.

  if (!stopRequested) superviseConnection(serverClient);

  serverClient.close();
  faderStop = true;
  fader.join();
  btStop = true;
  return 0;
}
