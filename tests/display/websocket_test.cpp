// The WebSocket front end in the test process: what reaches the queue, who
// gets touch events, what plain HTTP gets.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <thread>

#include "process.h"
#include "sandbox.h"
#include "websocket_server.h"
#include "ws_client.h"

namespace {

using namespace std::chrono_literals;

bool eventually(auto&& condition) {
  for (int i = 0; i < 300; ++i) {
    if (condition()) return true;
    std::this_thread::sleep_for(10ms);
  }
  return false;
}

std::vector<std::string> takeSoon(MessageQueue& queue, size_t count) {
  std::vector<std::string> got;
  eventually([&] {
    for (auto& m : queue.takeAll()) got.push_back(m);
    return got.size() >= count;
  });
  return got;
}

TEST(WebSocket, MessagesArriveWholeAndTouchGoesToTheOldestClient) {
  MessageQueue queue;
  testing::internal::CaptureStdout();
  startServer(queue);
  sendToFirstClient("DOWN_0_0");  // nobody there: dropped
  {
    WsClient first, second;
    ASSERT_TRUE(eventually([] { return connectedClients() == 2; }));
    first.send("{\"call\":\"a\"}\n{\"call\":\"b\"}");
    EXPECT_EQ(takeSoon(queue, 1), std::vector<std::string>{"{\"call\":\"a\"}\n{\"call\":\"b\"}"});
    second.send(std::string("bin\0ary\r", 8), true);
    EXPECT_EQ(takeSoon(queue, 1), std::vector<std::string>{std::string("bin\0ary\r", 8)});

    sendToFirstClient("DOWN_10_20");
    EXPECT_EQ(first.receive(), "DOWN_10_20");
    first.close();
    ASSERT_TRUE(eventually([] { return connectedClients() == 1; }));
    sendToFirstClient("UP_30_40");
    EXPECT_EQ(second.receive(), "UP_30_40") << "the second client got nothing before";
  }
  ASSERT_TRUE(eventually([] { return connectedClients() == 0; }));
  stopServer();
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "Client connected.\nClient connected.\nClient disconnected.\nClient disconnected.\n");
}

TEST(WebSocket, ListensOnLoopbackOnlyAndAnswersPlainHttpWithNotFound) {
  MessageQueue queue;
  startServer(queue);
  // 127.0.0.1:8011 listening, in the kernel's own words.
  std::ifstream table("/proc/net/tcp");
  std::string sockets((std::istreambuf_iterator<char>(table)), std::istreambuf_iterator<char>());
  EXPECT_NE(sockets.find("0100007F:1F4B 00000000:0000 0A"), std::string::npos) << sockets;
  EXPECT_EQ(sockets.find("00000000:1F4B"), std::string::npos) << "not on every address";
  auto reply = sandbox::runProcess({"/usr/bin/python3", "-c",
                                    "import urllib.request, urllib.error\n"
                                    "try: urllib.request.urlopen('http://127.0.0.1:8011/')\n"
                                    "except urllib.error.HTTPError as e: print(e.code, end='')"});
  EXPECT_EQ(reply.out, "404") << reply.err;
  EXPECT_EQ(connectedClients(), 0u);
  stopServer();
}

TEST(WebSocket, APortInUseIsReported) {
  // Someone else holds the port.
  auto holder = sandbox::Process({"/usr/bin/python3", "-c",
                                  "import socket,time\n"
                                  "s=socket.socket(); s.bind(('127.0.0.1',8011)); s.listen(); print('bound', flush=True)\n"
                                  "time.sleep(30)"});
  ASSERT_TRUE(holder.waitForOutput("bound", 5s));
  MessageQueue queue;
  testing::internal::CaptureStdout();
  startServer(queue);
  stopServer();
  std::string printed = testing::internal::GetCapturedStdout();
  EXPECT_EQ(printed.rfind("WebSocket server: cannot listen on 127.0.0.1:8011: ", 0), 0u) << printed;
}

}  // namespace
