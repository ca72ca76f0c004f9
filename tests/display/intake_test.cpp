// The display server's intake without a screen: argument accessors, the pipe
// line accumulator, and how a pass's messages become a batch.
#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "arguments.h"
#include "command_batch.h"
#include "dispatcher.h"
#include "message_queue.h"
#include "pipe_reader.h"

namespace {

using namespace std::string_literals;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

rapidjson::Document parsed(const char* text) {
  rapidjson::Document d;
  d.Parse(text);
  EXPECT_FALSE(d.HasParseError()) << text;
  return d;
}

std::string errorOf(auto&& read) {
  try {
    read();
  } catch (const std::runtime_error& e) {
    return e.what();
  }
  return "no error";
}

TEST(Accessors, ReadNumbersStringsAndRaiseTheFixedTexts) {
  auto args = parsed(R"([7, -7, 2.5, 1e2, null, true, false, "s", [1], {"a":1}, 4294967295, -9000000000,
                         18446744073709551615])");
  EXPECT_EQ(getf(args, 0), 7.0f);
  EXPECT_EQ(getf(args, 2), 2.5f);
  EXPECT_EQ(getf(args, 4), 0.0f);
  EXPECT_EQ(getf(args, 5), 1.0f);
  EXPECT_EQ(getf(args, 6), 0.0f);
  EXPECT_EQ(getf(args, 11), -9e9f);

  struct StrCase {
    int index;
    std::string text;
  };
  for (auto [index, text] : std::vector<StrCase>{{0, "7"},
                                                 {1, "-7"},
                                                 {2, "2.500000"},
                                                 {3, "100.000000"},
                                                 {4, ""},
                                                 {5, "true"},
                                                 {6, "false"},
                                                 {7, "s"},
                                                 {10, "4294967295"},
                                                 {11, "-9000000000"},
                                                 {12, "18446744073709551615"}})
    EXPECT_EQ(getstr(args, index), text) << "index " << index;
  EXPECT_EQ(gets(args, 7), "s");
  EXPECT_EQ(gets(args, 4), "");

  struct ErrorCase {
    std::function<void()> read;
    const char* text;
  };
  const std::vector<ErrorCase> errors{
      {[&] { getf(args, 13); }, "index out of bounds"},
      {[&] { getf(args, -1); }, "index out of bounds"},
      {[&] { getstr(args, 99); }, "index out of bounds"},
      {[&] { gets(args, 13); }, "index out of bounds"},
      {[&] { getf(args, 7); }, "invalid type; number expected"},
      {[&] { getf(args, 8); }, "invalid type; number expected"},
      {[&] { gets(args, 0); }, "gets: invalid type; string expected"},
      {[&] { getstr(args, 8); }, "getstr: invalid type; string expected"},
      {[&] { getstr(args, 9); }, "getstr: invalid type; string expected"},
      {[&] { val2sv(args[9], "a"); }, "val2sv: invalid type; string expected"},
  };
  for (size_t i = 0; i < errors.size(); ++i) EXPECT_EQ(errorOf(errors[i].read), errors[i].text) << "case " << i;

  auto object = parsed(R"({"call":"first","call":"second","obj":null})");
  EXPECT_EQ(val2sv(object, "call"), "first");
  EXPECT_EQ(val2sv(object, "obj"), "");
  EXPECT_EQ(val2sv(object, "missing"), "");
}

TEST(NameHash, IsThePolynomialOverSignedBytes) {
  EXPECT_EQ(nameHash64("clearRect"), 0x00004F94B43E95D1ull);
  EXPECT_EQ(nameHash64(""), 0u);
  EXPECT_EQ(nameHash64("\xff"), ~0ull);  // byte -1
  EXPECT_EQ(nameHash64("a\xff"), 97ull * 31 - 1);
  EXPECT_TRUE(isKnownCall("fillRect"));
  EXPECT_FALSE(isKnownCall("fillrect"));
  EXPECT_FALSE(isKnownCall("drawFrame"));
}

std::vector<std::string> feedAll(LineAccumulator& lines, const std::vector<std::string>& chunks) {
  MessageQueue queue;
  std::vector<std::string> out;
  for (const std::string& chunk : chunks) {
    lines.feed(chunk.data(), chunk.size(), queue);
    for (auto& m : queue.takeAll()) out.push_back("[" + m + "]");
  }
  return out;
}

TEST(PipeLines, CollectAcrossReadsAndSkipEmptyLines) {
  LineAccumulator lines;
  EXPECT_EQ(feedAll(lines, {"{\"a\":1}\n{\"b\"", ":2}"}), std::vector<std::string>{"[{\"a\":1}]"});
  EXPECT_EQ(lines.pendingBytes(), 7u);
  EXPECT_EQ(feedAll(lines, {"\n\n\n\n", "\r\n", "x\0y\n"s}),
            (std::vector<std::string>{"[{\"b\":2}]", "[\r]", "[x\0y]"s}));
}

TEST(PipeLines, ARunawayLineIsDroppedOnceAndTheNextLineSurvives) {
  LineAccumulator lines(8);
  CaptureStdout();
  auto got = feedAll(lines, {"12345678\n", "123456789", std::string(100000, 'z'), "tail\nnext\n"});
  std::string printed = GetCapturedStdout();
  EXPECT_EQ(got, (std::vector<std::string>{"[12345678]", "[next]"}));
  EXPECT_EQ(printed, "Pipe line longer than 8 bytes dropped\n");
  EXPECT_EQ(lines.pendingBytes(), 0u);
}

// Each row: the messages of one pass, the entries built (compact JSON, " *"
// for a frame boundary) and what was printed.
struct BatchCase {
  const char* name;
  std::vector<std::string> messages;
  std::vector<std::string> entries;
  std::string printed;
};

std::string failure(const std::string& what, const std::string& message) {
  return "Exception: " + what + "\n   command: " + message + "\n";
}

const std::string threeWithBadObj = R"([{"call":"a"},{"obj":5,"call":"b"},{"call":"c"}])";
const std::string scalarThenFrame = R"([1,{"obj":"ctx","call":"drawFrame","args":[]}])";
const std::string deep = std::string(600, '[') + std::string(600, ']');

const std::vector<BatchCase> batchCases{
    {"carriage return only", {"\r"}, {}, failure("JSON parse error", "\r")},
    {"two values in one message", {"{\"call\":\"a\"}\n{\"call\":\"b\"}"}, {},
     failure("JSON parse error", "{\"call\":\"a\"}\n{\"call\":\"b\"}")},
    {"trailing garbage", {"{} x"}, {}, failure("JSON parse error", "{} x")},
    {"empty text", {""}, {}, failure("JSON parse error", "")},
    {"comments are not JSON", {"{} // hi"}, {}, failure("JSON parse error", "{} // hi")},
    {"bare number", {"42"}, {}, failure("JSON is not an object", "42")},
    {"string", {"\"drawFrame\""}, {}, failure("JSON is not an object", "\"drawFrame\"")},
    {"empty array", {"[]"}, {}, ""},
    {"empty object", {"{}"}, {"{}"}, ""},
    {"blanks around", {" \t{\"call\":\"x\"}\r\n "}, {"{\"call\":\"x\"}"}, ""},
    {"text ends at a zero byte", {"{\"call\":\"x\"}\0junk"s}, {"{\"call\":\"x\"}"}, ""},
    {"scalar element", {scalarThenFrame}, {"1", R"({"obj":"ctx","call":"drawFrame","args":[]} *)"},
     "unknown command: " + scalarThenFrame},
    {"odd elements reported once", {"[1,\"a\",[],{}]"}, {"1", "\"a\"", "[]", "{}"}, "unknown command: [1,\"a\",[],{}]"},
    {"bad obj loses the rest", {threeWithBadObj}, {R"({"call":"a"})"},
     failure("val2sv: invalid type; string expected", threeWithBadObj)},
    {"bad call kind", {R"({"call":7})"}, {}, failure("val2sv: invalid type; string expected", R"({"call":7})")},
    {"fctx frame is a boundary", {R"({"obj":"fctx","call":"drawFrame"})"}, {R"({"obj":"fctx","call":"drawFrame"} *)"},
     ""},
    {"case matters", {R"({"call":"drawframe"})", R"({"call":"drawFrame "})"},
     {R"({"call":"drawframe"})", R"({"call":"drawFrame "})"}, ""},
    {"arrival order, each its own value",
     {R"({"call":"fillRect","args":[1]})", "oops", R"([{"call":"stroke"},{"call":"drawFrame"}])"},
     {R"({"call":"fillRect","args":[1]})", R"({"call":"stroke"})", R"({"call":"drawFrame"} *)"},
     failure("JSON parse error", "oops")},
    {"nested too deeply", {deep}, {}, failure("JSON nested too deeply", deep)},
    {"deep but allowed", {std::string(500, '[') + std::string(500, ']')},
     {std::string(499, '[') + std::string(499, ']')}, "unknown command: " + std::string(500, '[') + std::string(500, ']')},
};

TEST(BuildBatch, TurnsMessagesIntoEntriesAndReports) {
  for (const BatchCase& row : batchCases) {
    MessageDocument document;
    CaptureStdout();
    CommandBatch batch = buildBatch(row.messages, document);
    std::string printed = GetCapturedStdout();
    std::vector<std::string> entries;
    for (const CommandEntry& e : batch) entries.push_back(toJsonText(e.value) + (e.frameBoundary ? " *" : ""));
    EXPECT_EQ(entries, row.entries) << row.name;
    EXPECT_EQ(printed, row.printed) << row.name;
  }
}

TEST(MessageDocument, TrimReplacesItButHoldersKeepTheOldValues) {
  auto document = std::make_shared<MessageDocument>();
  std::string big = "[\"" + std::string(140000, 'q') + "\"]";
  const JsonValue& kept = document->parse(big);
  auto holder = document;  // as the replay list holds it

  trimDocument(document, true);  // 140 kB in use: only an idle pass trims
  EXPECT_EQ(document, holder);
  trimDocument(document, false);
  EXPECT_NE(document, holder);
  EXPECT_EQ(kept[0].GetStringLength(), 140000u);

  document->parse(big);
  document->parse(big);
  auto before = document;
  trimDocument(document, true);  // past 256 kB even a busy pass trims
  EXPECT_NE(document, before);
  EXPECT_LT(document->bytesInUse(), 1024u);
}

TEST(MessageQueue, TakesEverythingInOrder) {
  MessageQueue queue;
  queue.push("a");
  queue.push("b");
  EXPECT_EQ(queue.takeAll(), (std::vector<std::string>{"a", "b"}));
  EXPECT_TRUE(queue.takeAll().empty());
}

}  // namespace
