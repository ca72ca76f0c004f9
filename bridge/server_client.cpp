// The only file that sees Boost.Beast: it compiles slowly, so it stays here.
#include "server_client.h"

#include <atomic>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/websocket.hpp>
#include <cstdio>
#include <deque>
#include <thread>

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace websocket = beast::websocket;
using boost::system::error_code;
using tcp = asio::ip::tcp;
using namespace std::chrono_literals;

// Everything below runs on the loop's thread, except `up`, which any thread
// may read, and the posting of sends.
struct ServerClient::Loop {
  asio::io_context context;
  asio::steady_timer retryTimer{context};
  std::thread thread;

  ServerEndpoint endpoint;
  ReconnectPolicy policy;
  std::function<void()> onOpen;
  std::function<void(std::string_view)> onText;

  std::unique_ptr<websocket::stream<beast::tcp_stream>> socket;
  unsigned attempt = 0;  // completions of an earlier socket are ignored
  bool failed = false;   // this attempt's loss is already handled
  beast::flat_buffer incoming;
  std::deque<std::string> outgoing;
  std::atomic<bool> up{false};
  bool stopping = false;
  std::chrono::milliseconds delay{0};

  std::string url() const { return "ws://" + endpoint.host + ":" + std::to_string(endpoint.port) + endpoint.target; }

  void connect() {
    ++attempt;
    failed = false;
    outgoing.clear();
    incoming.clear();
    socket = std::make_unique<websocket::stream<beast::tcp_stream>>(context);
    beast::get_lowest_layer(*socket).expires_after(10s);
    tcp::endpoint peer(asio::ip::make_address(endpoint.host), endpoint.port);
    beast::get_lowest_layer(*socket).async_connect(peer, [this, a = attempt](error_code ec) {
      if (a != attempt || stopping) return;
      if (ec) return lost(ec);
      beast::get_lowest_layer(*socket).expires_never();
      socket->set_option(websocket::stream_base::timeout::suggested(beast::role_type::client));
      socket->set_option(websocket::stream_base::decorator(
          [origin = endpoint.origin](websocket::request_type& request) { request.set("Origin", origin); }));
      std::string host = endpoint.host + ":" + std::to_string(endpoint.port);
      socket->async_handshake(host, endpoint.target, [this, a](error_code ec) {
        if (a != attempt || stopping) return;
        if (ec) return lost(ec);
        opened();
      });
    });
  }

  void opened() {
    up = true;
    delay = 0ms;
    socket->text(true);
    printf("websocket: connected to %s\n", url().c_str());
    fflush(stdout);
    onOpen();
    readNext();
  }

  void readNext() {
    socket->async_read(incoming, [this, a = attempt](error_code ec, size_t) {
      if (a != attempt || stopping) return;
      if (ec) return lost(ec);
      std::string text = beast::buffers_to_string(incoming.data());
      incoming.consume(incoming.size());
      try {
        onText(text);
      } catch (const std::exception& e) {
        printf("websocket: message handler failed: %s\n", e.what());
      }
      readNext();
    });
  }

  void queue(std::string text) {
    if (!up || stopping) return;
    outgoing.push_back(std::move(text));
    if (outgoing.size() == 1) writeNext();
  }

  void writeNext() {
    socket->async_write(asio::buffer(outgoing.front()), [this, a = attempt](error_code ec, size_t) {
      if (a != attempt || stopping) return;
      if (ec) return lost(ec);
      outgoing.pop_front();
      if (!outgoing.empty()) writeNext();
    });
  }

  // A failed connect, handshake, read or write: drop the socket (its pending
  // operations end with errors that are then ignored) and try again later.
  void lost(error_code ec) {
    if (failed) return;
    failed = true;
    bool wasUp = up.exchange(false);
    error_code ignored;
    beast::get_lowest_layer(*socket).socket().close(ignored);
    delay = delay == 0ms ? policy.minDelay : std::min(delay * 2, policy.maxDelay);
    delay = std::max(delay, policy.minDelay);
    printf("websocket: %s (%s), reconnecting in %lld ms\n", wasUp ? "connection lost" : "connect failed",
           ec.message().c_str(), static_cast<long long>(delay.count()));
    fflush(stdout);
    retryTimer.expires_after(delay);
    retryTimer.async_wait([this](error_code waitError) {
      if (!waitError && !stopping) connect();
    });
  }

  void shutdown() {
    stopping = true;
    up = false;
    retryTimer.cancel();
    if (socket) {
      error_code ignored;
      beast::get_lowest_layer(*socket).socket().close(ignored);
    }
    printf("websocket: closed\n");
    fflush(stdout);
    context.stop();
  }
};

ServerClient::ServerClient() : loop(std::make_unique<Loop>()) {}

ServerClient::~ServerClient() { close(); }

void ServerClient::open(const ServerEndpoint& endpoint, const ReconnectPolicy& policy, std::function<void()> onOpen,
                        std::function<void(std::string_view)> onText) {
  loop->endpoint = endpoint;
  loop->policy = policy;
  loop->onOpen = std::move(onOpen);
  loop->onText = std::move(onText);
  asio::post(loop->context, [l = loop.get()] { l->connect(); });
  loop->thread = std::thread([l = loop.get()] {
    auto work = asio::make_work_guard(l->context);
    l->context.run();
  });
}

void ServerClient::send(std::string text) {
  asio::post(loop->context, [l = loop.get(), text = std::move(text)]() mutable { l->queue(std::move(text)); });
}

bool ServerClient::isUp() const { return loop->up; }

void ServerClient::close() {
  if (!loop->thread.joinable()) return;
  asio::post(loop->context, [l = loop.get()] { l->shutdown(); });
  loop->thread.join();
}
