#include "process.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace sandbox {

static std::vector<std::string> mergedEnvironment(const std::vector<std::string>& extra) {
  std::vector<std::string> merged;
  for (char** entry = environ; *entry; ++entry) {
    std::string text = *entry;
    std::string name = text.substr(0, text.find('='));
    bool replaced = false;
    for (const std::string& e : extra)
      if (e.substr(0, e.find('=')) == name) replaced = true;
    if (!replaced) merged.push_back(text);
  }
  merged.insert(merged.end(), extra.begin(), extra.end());
  return merged;
}

Process::Process(const std::vector<std::string>& argv, const ProcessOptions& options) {
  if (argv.empty()) throw std::invalid_argument("Process: empty command");
  int in[2], out[2], err[2];
  if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0)
    throw std::runtime_error("Process: pipe failed");

  std::vector<std::string> env = mergedEnvironment(options.environment);
  std::vector<char*> argPointers, envPointers;
  for (const std::string& a : argv) argPointers.push_back(const_cast<char*>(a.c_str()));
  argPointers.push_back(nullptr);
  for (const std::string& e : env) envPointers.push_back(const_cast<char*>(e.c_str()));
  envPointers.push_back(nullptr);

  childPid = fork();
  if (childPid < 0) throw std::runtime_error("Process: fork failed");
  if (childPid == 0) {
    setpgid(0, 0);
    dup2(in[0], 0);
    dup2(out[1], 1);
    dup2(err[1], 2);
    if (!options.workingDirectory.empty() && chdir(options.workingDirectory.c_str()) != 0) _exit(127);
    signal(SIGPIPE, SIG_DFL);
    execvpe(argPointers[0], argPointers.data(), envPointers.data());
    fprintf(stderr, "exec %s: %s\n", argPointers[0], strerror(errno));
    _exit(127);
  }
  setpgid(childPid, childPid);
  close(in[0]);
  close(out[1]);
  close(err[1]);
  stdinFd = in[1];
  stdoutFd = out[0];
  stderrFd = err[0];
  if (!options.input.empty()) writeInput(options.input);
  if (!options.keepStdinOpen) closeInput();
  reader = std::thread(&Process::readOutput, this);
}

Process::~Process() {
  if (running()) {
    kill(-childPid, SIGKILL);
    wait(5s);
  }
  kill(-childPid, SIGKILL);  // whatever the program left behind in its group
  closeInput();
  if (reader.joinable()) reader.join();
}

void Process::readOutput() {
  pollfd fds[2] = {{stdoutFd, POLLIN, 0}, {stderrFd, POLLIN, 0}};
  int open = 2;
  char buffer[65536];
  while (open > 0) {
    if (poll(fds, 2, -1) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    for (pollfd& p : fds) {
      if (p.fd < 0 || !(p.revents & (POLLIN | POLLHUP | POLLERR))) continue;
      ssize_t n = read(p.fd, buffer, sizeof buffer);
      if (n <= 0) {
        close(p.fd);
        p.fd = -1;
        open--;
        continue;
      }
      std::lock_guard<std::mutex> guard(lock);
      (&p == &fds[0] ? outText : errText).append(buffer, size_t(n));
      changed.notify_all();
    }
  }
  std::lock_guard<std::mutex> guard(lock);
  streamsClosed = true;
  changed.notify_all();
}

void Process::writeInput(const std::string& text) {
  size_t done = 0;
  while (stdinFd >= 0 && done < text.size()) {
    ssize_t n = write(stdinFd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += size_t(n);
  }
}

void Process::closeInput() {
  if (stdinFd >= 0) close(stdinFd);
  stdinFd = -1;
}

void Process::sendSignal(int sig) {
  if (!exited) kill(childPid, sig);
}

bool Process::waitForOutput(const std::string& text, std::chrono::milliseconds limit, bool onStderr) {
  std::unique_lock<std::mutex> guard(lock);
  return changed.wait_for(guard, limit, [&] {
    return (onStderr ? errText : outText).find(text) != std::string::npos || streamsClosed;
  }) && (onStderr ? errText : outText).find(text) != std::string::npos;
}

std::string Process::out() {
  std::lock_guard<std::mutex> guard(lock);
  return outText;
}

std::string Process::err() {
  std::lock_guard<std::mutex> guard(lock);
  return errText;
}

static bool reap(pid_t pid, ProcessResult& result, bool block) {
  int status = 0;
  pid_t got = waitpid(pid, &status, block ? 0 : WNOHANG);
  if (got != pid) return false;
  if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
  return true;
}

bool Process::running() {
  if (!exited && reap(childPid, result, false)) exited = true;
  return !exited;
}

ProcessResult Process::wait(std::chrono::milliseconds limit) {
  auto deadline = std::chrono::steady_clock::now() + limit;
  while (running()) {
    if (std::chrono::steady_clock::now() >= deadline) {
      result.timedOut = true;
      kill(-childPid, SIGKILL);
      reap(childPid, result, true);
      exited = true;
      break;
    }
    std::this_thread::sleep_for(2ms);
  }
  {
    // Output written just before the exit may still be in the pipes; children
    // that kept the pipes open must not hold us forever.
    std::unique_lock<std::mutex> guard(lock);
    changed.wait_for(guard, 2s, [&] { return streamsClosed; });
    result.out = outText;
    result.err = errText;
  }
  return result;
}

ProcessResult runProcess(const std::vector<std::string>& argv, const ProcessOptions& options,
                         std::chrono::milliseconds limit) {
  Process process(argv, options);
  return process.wait(limit);
}

}  // namespace sandbox
