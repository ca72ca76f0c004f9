// The WebSocket front end on 127.0.0.1:8011: every message a client sends
// goes onto the command queue as it is; touch events go back to the client
// that has been connected longest.
#pragma once

#include <cstddef>
#include <string>

#include "message_queue.h"

// Starts the server thread. A port that cannot be listened on is reported
// and leaves the pipe as the only command source.
void startServer(MessageQueue& queue, unsigned short port = 8011);
// Stops the event loop and joins its thread; safe without a start.
void stopServer();

// One text message to the longest-connected client; dropped when there is
// none. Callable from any thread.
void sendToFirstClient(const std::string& text);

size_t connectedClients();
