// A pretend board for knobwire: a sparse /dev/mem, the surface on a
// pseudo-terminal, and the mixer state server as a real socket.io peer.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "process.h"
#include "sandbox.h"

class BridgeBoard : public testing::Test {
 protected:
  void SetUp() override;
  // Every case ends with an orderly shutdown, so a sanitizer's report at exit
  // fails the case that caused it.
  void TearDown() override;

  // The mixer state server on 127.0.0.1:80.
  void startServer();
  void stopServer() { server.reset(); }
  void serverCommand(const std::string& line) { server->writeInput(line + "\n"); }
  // Frames the server has received so far, as the client sent them.
  std::vector<std::string> frames();
  // Waits until at least `count` frames have arrived; returns them all.
  std::vector<std::string> waitForFrames(size_t count, std::chrono::milliseconds limit = std::chrono::seconds(5));
  bool waitForFrame(const std::string& frame, std::chrono::milliseconds limit = std::chrono::seconds(5));

  void startBridge(std::vector<std::string> environment = {});
  // Connected, and the INIT request has reached the server.
  void startConnected(std::vector<std::string> environment = {});

  // The surface's side of the serial line.
  void toSurface(const std::string& bytes);
  // Reads from the surface until `text` has arrived after what earlier calls
  // consumed; false when it does not come in time.
  bool surfaceShows(const std::string& text, std::chrono::milliseconds limit = std::chrono::seconds(5));
  // Everything that arrives within `quiet` of the last byte.
  std::string surfaceDrain(std::chrono::milliseconds quiet = std::chrono::milliseconds(300));

  sandbox::Pty surface;
  std::unique_ptr<sandbox::Process> server;
  std::unique_ptr<sandbox::Process> bridge;
  std::string surfaceSeen;
  size_t surfaceCursor = 0;
};

inline const std::string initRequest = R"(42["message","{\"cmd\":\"INIT\",\"id\":0,\"args\":{}}"])";
// The same request from the surface side, in object form.
inline const std::string initObjectRequest = R"(42["message",{"cmd":"INIT","id":0,"args":{}}])";
