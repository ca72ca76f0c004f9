#include "ws_client.h"

#include <sys/socket.h>
#include <sys/time.h>
#include <utility>

#include <boost/asio.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/websocket.hpp>

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace websocket = beast::websocket;
using tcp = asio::ip::tcp;

struct WsClient::Impl {
  asio::io_context events;
  websocket::stream<tcp::socket> ws{events};
};

WsClient::WsClient(unsigned short port) : impl(std::make_unique<Impl>()) {
  impl->ws.next_layer().connect(tcp::endpoint(asio::ip::make_address("127.0.0.1"), port));
  impl->ws.handshake("127.0.0.1", "/");
}

WsClient::~WsClient() {
  beast::error_code ignored;
  impl->ws.next_layer().close(ignored);
}

void WsClient::send(const std::string& text, bool binary) {
  impl->ws.binary(binary);
  impl->ws.write(asio::buffer(text));
}

std::string WsClient::receive(int timeoutMs) {
  timeval limit{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
  setsockopt(impl->ws.next_layer().native_handle(), SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
  beast::flat_buffer buffer;
  beast::error_code ec;
  impl->ws.read(buffer, ec);
  return ec ? "" : beast::buffers_to_string(buffer.data());
}

void WsClient::close() {
  beast::error_code ignored;
  impl->ws.close(websocket::close_code::normal, ignored);
}
