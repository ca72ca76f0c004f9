// The router, the key patterns and the server framing, in process. No surface
// port is open here, so surface writes are dropped; what reaches the server
// is captured through sendToServer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bridge_state.h"
#include "routing.h"
#include "server_messages.h"

namespace {

using nlohmann::json;

// Nested far deeper than any message: refused as a text that does not parse.
const std::string deeplyNested = std::string(100000, '[') + std::string(100000, ']');

class Router : public testing::Test {
 protected:
  void SetUp() override {
    stateMap.clear();
    sent.clear();
    sendToServer = [this](const char* text, size_t length) { sent.emplace_back(text, length); };
  }
  void TearDown() override { sendToServer = [](const char*, size_t) {}; }

  std::string stored(const std::string& key) {
    auto found = stateMap.find(key);
    return found == stateMap.end() ? "<absent>" : found->second;
  }

  std::vector<std::string> sent;
};

TEST(KeyPatterns, WildcardsBecomeAnchoredExpressions) {
  EXPECT_EQ(wildcardToRegex("settings.brightness.*"), "^settings\\.brightness\\.(.*)?$");
  EXPECT_EQ(wildcardToRegex("(K|P).#.(blink|color)"), "^(K|P)\\.[0-9]+\\.(blink|color)$");
}

TEST(KeyPatterns, SurfaceAndPadKeys) {
  const std::pair<const char*, bool> surfaceKeys[] = {
      {"i.0.mix", true},       {"p.2.solo", true},          {"a.3.blink", true},  {"i.12.mute", true},
      {"s.mix", true},         {"m.mute", true},            {"hw_rec", true},     {"hw_amix", true},
      {"amix", true},          {"lock", true},              {"K.4.color", true},  {"P.10.blink", true},
      {"settings.brightness.", true}, {"settings.brightness.screen", true},
      {"i.x.mute", false},     {"I.0.mute", false},         {"i.0.pan", false},   {"f.0.mix", false},
      {"s.0.mix", false},      {"i.0.mix.x", false},        {"xlock", false},     {"lock ", false},
      {"K.0.key", false},      {"B.0.0.colorhex", false},   {"bank", false},      {"settings.bt.enabled", false},
  };
  for (auto [key, expected] : surfaceKeys) EXPECT_EQ(isSurfaceKey(key), expected) << key;

  const std::pair<const char*, bool> padKeys[] = {
      {"B.0.0.colorhex", true}, {"B.3.5.blink", true}, {"B.x.y.blink", true}, {"B.0.0.trim", false},
      {"b.0.0.blink", false},   {"B.0.blink", false},  {"B..0.colorhex", true},
  };
  for (auto [key, expected] : padKeys) EXPECT_EQ(isPadKey(key), expected) << key;

  // A key far longer than any the mixer uses is matched like any other.
  const std::string digits(100000, '1');
  EXPECT_TRUE(isSurfaceKey("settings.brightness." + digits));
  EXPECT_TRUE(isSurfaceKey("i." + digits + ".mix"));
  EXPECT_TRUE(isPadKey("B." + digits + ".0.blink"));
}

TEST_F(Router, StoresNumbersAndStringsOnly) {
  routeMessage(json::parse(R"({"i.0.mute":true,"i.1.mute":1,"i.2.mute":null,"i.3.mute":[1],)"
                           R"("s.mute":{"a":1},"name":"x\"y","i.0.mix":-10.0,"big":1e300})"),
               true);
  EXPECT_EQ(stored("i.0.mute"), "<absent>");
  EXPECT_EQ(stored("i.1.mute"), "1");
  EXPECT_EQ(stored("i.2.mute"), "<absent>");
  EXPECT_EQ(stored("i.3.mute"), "<absent>");
  EXPECT_EQ(stored("s.mute"), "<absent>");
  EXPECT_EQ(stored("name"), R"("x\"y")");
  EXPECT_EQ(stored("i.0.mix"), "-10.0");
  EXPECT_EQ(stored("big"), "1e+300");
}

TEST_F(Router, CommandsSelectTheItems) {
  routeMessage(json::parse(R"({"cmd":"INIT"})"), true);
  routeMessage(json::parse(R"({"cmd":"SAVE","lock":1})"), true);
  EXPECT_TRUE(stateMap.empty());

  routeMessage(json::parse(R"({"cmd":5,"lock":1})"), true);
  EXPECT_EQ(stored("cmd"), "5");
  EXPECT_EQ(stored("lock"), "1");

  routeMessage(json::parse(R"({"cmd":"INIT","data":{"bank":2,"cmd":"x"},"other":3})"), true);
  EXPECT_EQ(stored("bank"), "2");
  EXPECT_EQ(stored("cmd"), R"("x")");
  EXPECT_EQ(stored("other"), "<absent>");

  routeMessage(json::parse(R"(["a",4,true])"), true);
  EXPECT_EQ(stored("0"), R"("a")");
  EXPECT_EQ(stored("1"), "4");
  EXPECT_EQ(stored("2"), "<absent>");
  routeMessage(json::parse("7.5"), true);
  EXPECT_EQ(stored(""), "7.5");
}

TEST_F(Router, AFailingPairKeepsThoseBeforeIt) {
  testing::internal::CaptureStdout();
  routeMessage(json::parse(R"({"B.0.0.blink":1,"bank":"two","lock":1})"), true);
  routeText("{broken", false);
  routeText(deeplyNested, false);
  std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(out,
            "Invalid message format: {\"B.0.0.blink\":1,\"bank\":\"two\",\"lock\":1}\n"
            "Invalid message format: {broken\n"
            "Invalid message format: " + deeplyNested + "\n");
  EXPECT_EQ(stored("B.0.0.blink"), "1");
  EXPECT_EQ(stored("bank"), R"("two")");
  EXPECT_EQ(stored("lock"), "<absent>");

  // From the surface nothing is repainted, so the bad bank is not read.
  routeText(R"({"bank":"two","lock":2})", false);
  EXPECT_EQ(stored("lock"), "2");
}

TEST(ServerFraming, InitRequestIsTheStringForm) {
  EXPECT_EQ(initRequestFrame.size(), 55u);
  json event = json::parse(initRequestFrame.substr(2));
  EXPECT_EQ(event[0], "message");
  EXPECT_EQ(event[1], R"({"cmd":"INIT","id":0,"args":{}})");
}

TEST(ServerFraming, OutgoingTextIsNormalised) {
  struct Case {
    const char* text;
    const char* frame;
    const char* out;
  };
  const Case cases[] = {
      {R"({"i.0.mix":-10.0000000000})", R"(42["message",{"i.0.mix":-10.0}])", ""},
      {R"({"btStatus":1, "bt":0})", R"(42["message",{"btStatus":1,"bt":0}])", ""},
      {R"({"cmd":"INIT","id":0,"args":{}})", R"(42["message",{"cmd":"INIT","id":0,"args":{}}])", ""},
      {R"({"x":0.500000})", R"(42["message",{"x":0.5}])", ""},
      {R"({"name":"Grüße"})", R"(42["message",{"name":"Grüße"}])", ""},
      {"not json", R"(42["message","not json"])", "Cannot parse: not json\n"},
      {R"({"a":1} // note)", R"(42["message","{\"a\":1} // note"])", "Cannot parse: {\"a\":1} // note\n"},
      {R"({"a":1}{"b":2})", R"(42["message","{\"a\":1}{\"b\":2}"])", "Cannot parse: {\"a\":1}{\"b\":2}\n"},
  };
  for (const Case& c : cases) {
    testing::internal::CaptureStdout();
    EXPECT_EQ(messageFrame(c.text), c.frame) << c.text;
    EXPECT_EQ(testing::internal::GetCapturedStdout(), c.out) << c.text;
  }
  testing::internal::CaptureStdout();
  EXPECT_EQ(messageFrame(deeplyNested), "42[\"message\",\"" + deeplyNested + "\"]");
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Cannot parse: " + deeplyNested + "\n");
  testing::internal::CaptureStdout();
  EXPECT_THROW(messageFrame("\xff\xfe"), json::exception);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Cannot parse: \xff\xfe\n");
}

TEST_F(Router, IncomingFramesAreFiltered) {
  struct Case {
    std::string frame;
    const char* out;
  };
  const std::string deepFrame = "42[\"message\"," + deeplyNested + "]";
  const std::string deepReport = "Invalid message: " + deepFrame + "\n";
  const Case cases[] = {
      {"42", ""},
      {"40", ""},
      {"3", ""},
      {"0{\"sid\":\"abc\",\"pingInterval\":25000}", ""},
      {"42[\"other\",{\"bank\":1}]", ""},
      {"42[\"message\"]", ""},
      {"42[]", ""},
      {"42[\"message\",{\"lock\":", "Invalid message: 42[\"message\",{\"lock\":\n"},
      {std::string("42[\"message\",{\"amix\":3}]\0garbage", 33), ""},
      {"42[\"message\",{\"hw_rec\":1},{\"hw_amix\":1}]", ""},
      {deepFrame, deepReport.c_str()},
  };
  for (const Case& c : cases) {
    testing::internal::CaptureStdout();
    handleServerText(c.frame);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), c.out) << c.frame;
  }
  EXPECT_EQ(stored("bank"), "<absent>");
  EXPECT_EQ(stored("amix"), "3");
  EXPECT_EQ(stored("hw_rec"), "1");
  EXPECT_EQ(stored("hw_amix"), "<absent>");
  EXPECT_TRUE(sent.empty());
}

}  // namespace
