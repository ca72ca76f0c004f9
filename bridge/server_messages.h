// The socket.io framing of the server connection: events out, events in.
#pragma once

#include <string>
#include <string_view>

// 42["message","{\"cmd\":\"INIT\",\"id\":0,\"args\":{}}"], sent on every connection.
inline constexpr std::string_view initRequestFrame =
    "42[\"message\",\"{\\\"cmd\\\":\\\"INIT\\\",\\\"id\\\":0,\\\"args\\\":{}}\"]";

// The "message" event frame for a text: the text's JSON value, or the text
// itself as a JSON string when it does not parse ("Cannot parse: " is printed).
// Throws when the text cannot be serialised even as a string (not UTF-8).
std::string messageFrame(std::string_view text);

// Handles one text message from the server: "message" events are routed to
// the mirror and the surface, everything else is ignored.
void handleServerText(std::string_view text);
