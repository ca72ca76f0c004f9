#include "message_queue.h"

void MessageQueue::push(std::string message) {
  std::lock_guard<std::mutex> hold(lock);
  messages.push_back(std::move(message));
}

std::vector<std::string> MessageQueue::takeAll() {
  std::vector<std::string> taken;
  std::lock_guard<std::mutex> hold(lock);
  taken.swap(messages);
  return taken;
}
