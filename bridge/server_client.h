// A WebSocket client on its own event-loop thread that keeps reconnecting:
// the connection to the mixer state server. Sends may come from any thread.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

struct ServerEndpoint {
  std::string host;  // numeric address
  uint16_t port = 80;
  std::string target;  // path and query
  std::string origin;  // sent as the "Origin" header
};

struct ReconnectPolicy {
  std::chrono::milliseconds minDelay{100};
  std::chrono::milliseconds maxDelay{1000};  // the delay doubles up to this, attempts are unlimited
};

class ServerClient {
 public:
  ServerClient();
  ~ServerClient();
  ServerClient(const ServerClient&) = delete;
  ServerClient& operator=(const ServerClient&) = delete;

  // Both handlers run on the event-loop thread: onOpen after every handshake,
  // onText for every text message.
  void open(const ServerEndpoint& endpoint, const ReconnectPolicy& policy, std::function<void()> onOpen,
            std::function<void(std::string_view)> onText);

  // Sends one text message; dropped when the connection is not up.
  void send(std::string text);

  // The handshake has completed and the socket has not failed since.
  bool isUp() const;

  // Stops reconnecting, drops the connection and joins the event loop.
  void close();

 private:
  struct Loop;
  std::unique_ptr<Loop> loop;
};
