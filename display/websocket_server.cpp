#include "websocket_server.h"

#include <cstdio>
#include <deque>
#include <list>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>  // Boost 1.74's asio needs std::exchange declared first

#include <boost/asio.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/websocket.hpp>

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
namespace websocket = beast::websocket;
using tcp = asio::ip::tcp;

namespace {

class Session;

// Open channels in connection order; the front one receives touch events.
std::mutex clientListLock;
std::list<std::shared_ptr<Session>> clientList;

class Session : public std::enable_shared_from_this<Session> {
 public:
  Session(tcp::socket socket, MessageQueue& queue) : ws(std::move(socket)), queue(queue) {}

  void start() {
    http::async_read(ws.next_layer(), buffer, request,
                     [self = shared_from_this()](beast::error_code ec, size_t) { self->onRequest(ec); });
  }

  // Runs on the server thread, so writes never overlap.
  void send(std::string text) {
    asio::post(ws.get_executor(), [self = shared_from_this(), text = std::move(text)]() mutable {
      self->outbox.push_back(std::move(text));
      if (self->outbox.size() == 1) self->writeNext();
    });
  }

 private:
  void onRequest(beast::error_code ec) {
    if (ec) return;
    if (!websocket::is_upgrade(request)) {
      replyNotFound();
      return;
    }
    // Idle clients are never dropped and never pinged.
    ws.set_option(websocket::stream_base::timeout::suggested(beast::role_type::server));
    ws.async_accept(request, [self = shared_from_this()](beast::error_code ec) { self->onAccept(ec); });
  }

  void replyNotFound() {
    auto response = std::make_shared<http::response<http::string_body>>(http::status::not_found, request.version());
    response->set(http::field::content_type, "text/plain");
    response->body() = "Not Found\n";
    response->prepare_payload();
    http::async_write(ws.next_layer(), *response,
                      [self = shared_from_this(), response](beast::error_code, size_t) {
                        beast::error_code ignored;
                        self->ws.next_layer().shutdown(tcp::socket::shutdown_both, ignored);
                      });
  }

  void onAccept(beast::error_code ec) {
    if (ec) return;
    puts("Client connected.");
    fflush(stdout);
    {
      std::lock_guard<std::mutex> hold(clientListLock);
      clientList.push_back(shared_from_this());
    }
    open = true;
    buffer.clear();
    readNext();
  }

  void readNext() {
    ws.async_read(buffer, [self = shared_from_this()](beast::error_code ec, size_t) { self->onMessage(ec); });
  }

  void onMessage(beast::error_code ec) {
    if (ec) {
      close();
      return;
    }
    queue.push(beast::buffers_to_string(buffer.data()));
    buffer.clear();
    readNext();
  }

  void writeNext() {
    ws.text(true);
    ws.async_write(asio::buffer(outbox.front()), [self = shared_from_this()](beast::error_code ec, size_t) {
      self->outbox.pop_front();
      if (!ec && !self->outbox.empty()) self->writeNext();
    });
  }

  void close() {
    if (!open) return;
    open = false;
    puts("Client disconnected.");
    fflush(stdout);
    std::lock_guard<std::mutex> hold(clientListLock);
    clientList.remove(shared_from_this());
  }

  websocket::stream<tcp::socket> ws;
  MessageQueue& queue;
  beast::flat_buffer buffer;
  http::request<http::string_body> request;
  std::deque<std::string> outbox;
  bool open = false;
};

struct Server {
  asio::io_context events{1};
  tcp::acceptor acceptor{events};
  std::thread thread;
};
std::unique_ptr<Server> server;

void acceptNext(MessageQueue& queue) {
  server->acceptor.async_accept([&queue](beast::error_code ec, tcp::socket socket) {
    if (ec) return;
    std::make_shared<Session>(std::move(socket), queue)->start();
    acceptNext(queue);
  });
}

}  // namespace

void startServer(MessageQueue& queue, unsigned short port) {
  server = std::make_unique<Server>();
  beast::error_code ec;
  tcp::endpoint endpoint(asio::ip::make_address("127.0.0.1"), port);
  server->acceptor.open(endpoint.protocol(), ec);
  if (!ec) server->acceptor.set_option(asio::socket_base::reuse_address(true), ec);
  if (!ec) server->acceptor.bind(endpoint, ec);
  if (!ec) server->acceptor.listen(asio::socket_base::max_listen_connections, ec);
  if (ec) {
    printf("WebSocket server: cannot listen on 127.0.0.1:%u: %s\n", unsigned(port), ec.message().c_str());
    return;
  }
  acceptNext(queue);
  server->thread = std::thread([] { server->events.run(); });
}

void stopServer() {
  if (!server) return;
  server->events.stop();
  if (server->thread.joinable()) server->thread.join();
  {
    std::lock_guard<std::mutex> hold(clientListLock);
    clientList.clear();
  }
  server.reset();
}

void sendToFirstClient(const std::string& text) {
  std::shared_ptr<Session> first;
  {
    std::lock_guard<std::mutex> hold(clientListLock);
    if (clientList.empty()) return;
    first = clientList.front();
  }
  first->send(text);
}

size_t connectedClients() {
  std::lock_guard<std::mutex> hold(clientListLock);
  return clientList.size();
}
