// A plain blocking WebSocket client for the tests, with a receive time-out.
#pragma once

#include <memory>
#include <string>

class WsClient {
 public:
  // Connects and upgrades; throws on failure.
  explicit WsClient(unsigned short port = 8011);
  ~WsClient();
  void send(const std::string& text, bool binary = false);
  // The next message, or "" after the time-out.
  std::string receive(int timeoutMs = 3000);
  void close();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl;
};
