// Runs a program of the project as a user would: its own process group,
// standard streams captured, a time limit, and a way to wait for a line.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <sys/types.h>
#include <thread>
#include <vector>

namespace sandbox {

using namespace std::chrono_literals;

struct ProcessOptions {
  std::vector<std::string> environment;  // extra or replaced "NAME=value" entries
  std::string workingDirectory;
  bool keepStdinOpen = false;            // otherwise stdin is /dev/null or `input`
  std::string input;
};

struct ProcessResult {
  int exitCode = -1;    // -1 when ended by a signal
  int signal = 0;       // the signal that ended it, or 0
  bool timedOut = false;
  std::string out;
  std::string err;
};

class Process {
 public:
  Process(const std::vector<std::string>& argv, const ProcessOptions& options = {});
  ~Process();
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;

  pid_t pid() const { return childPid; }
  void writeInput(const std::string& text);
  void closeInput();
  void sendSignal(int sig);

  // True once the text has appeared on standard output (or error, if asked).
  bool waitForOutput(const std::string& text, std::chrono::milliseconds limit, bool onStderr = false);
  std::string out();
  std::string err();

  // Waits for the exit; past the limit the group is killed and timedOut set.
  ProcessResult wait(std::chrono::milliseconds limit = 10s);
  bool running();

 private:
  void readOutput();

  pid_t childPid = -1;
  int stdinFd = -1, stdoutFd = -1, stderrFd = -1;
  bool exited = false;
  ProcessResult result;
  std::mutex lock;
  std::condition_variable changed;
  std::string outText, errText;
  bool streamsClosed = false;
  std::thread reader;
};

// Starts the program, waits for it and returns what it did.
ProcessResult runProcess(const std::vector<std::string>& argv, const ProcessOptions& options = {},
                         std::chrono::milliseconds limit = 30s);

}  // namespace sandbox
