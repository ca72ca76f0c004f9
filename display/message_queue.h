// Whole message texts from the pipe and the WebSocket clients, waiting for
// the main loop.
#pragma once

#include <mutex>
#include <string>
#include <vector>

class MessageQueue {
 public:
  void push(std::string message);
  // Moves everything out under one lock; arrival order is kept.
  std::vector<std::string> takeAll();

 private:
  std::mutex lock;
  std::vector<std::string> messages;
};
