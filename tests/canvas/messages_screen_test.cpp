#include <gtest/gtest.h>

#include "test_screen.h"

namespace {

struct MessageCase {
  std::string command;  // compact, so that echoed command texts match it
  std::string printed;
};

std::string echoing(const std::string& prefix, const std::string& command) {
  return prefix + command + "\n";
}

TEST(MessagesOnScreen, EveryBadInputIsReportedAndTheNextCommandStillRuns) {
  TestScreen screen;
  const std::string grad3 = R"({"call":"fillStyle","args":[{"type":"lingrad","stops":[[0,"red"]],"rect":[0,0,1]}]})";
  const std::string noStops = R"({"call":"fillStyle","args":[{"type":"lingrad","stops":[],"rect":[0,0,1,1]}]})";
  const std::string number = R"({"call":"fillStyle","args":[5]})";
  const std::string radial = R"({"call":"fillStyle","args":[{"type":"radial"}]})";
  const std::string untyped = R"({"call":"fillStyle","args":[{"stops":[[0,"red"]]}]})";
  const std::string strokeGrad = R"({"call":"strokeStyle","args":[{"type":"lingrad"}]})";
  const MessageCase cases[] = {
      {R"({"call":"fillStyle","args":[]})", "fillStyle: NULL\n"},
      {R"({"call":"fillStyle","args":[null]})", "fillStyle: NULL\n"},
      {R"({"call":"fillStyle"})", "fillStyle: NULL\n"},
      {number, echoing("Invalid fill style: ", number)},
      {radial, echoing("Invalid fill style: ", radial)},
      {untyped, echoing("Invalid fill style: ", untyped)},
      {R"({"call":"fillStyle","args":[{"type":5}]})", "Exception: val2sv: invalid type; string expected\n"},
      {grad3, echoing("No stops found in gradient: ", grad3)},
      {noStops, echoing("No stops found in gradient: ", noStops)},
      {R"({"call":"fillStyle","args":[{"type":"lingrad","stops":[[0]],"rect":[0,0,1,1]}]})",
       "Exception: index out of bounds\n"},
      {R"({"call":"fillStyle","args":[{"type":"lingrad","stops":[[0,"red"]],"rect":[0,"a",1,1]}]})",
       "Exception: invalid type; number expected\n"},
      {R"({"call":"fillStyle","args":["blue"]})", "Unrecognised color: blue\n"},
      {R"({"call":"fillStyle","args":["#FFFF"]})", "Unrecognised color: FFFF\n"},
      {R"({"call":"strokeStyle","args":[]})", "strokeStyle: NULL\n"},
      {R"({"call":"strokeStyle","args":[null]})", "strokeStyle: NULL\n"},
      {strokeGrad, echoing("Invalid stroke style: ", strokeGrad)},
      {R"({"call":"strokeStyle","args":["WHITE"]})", "Unrecognised color: WHITE\n"},
      {R"({"call":"globalCompositeOperation","args":["multiply"]})", "Invalid globalCompositeOperation: multiply\n"},
      {R"({"call":"globalCompositeOperation","args":[null]})", "Invalid globalCompositeOperation: \n"},
      {R"({"call":"globalCompositeOperation","args":[3]})", "Exception: gets: invalid type; string expected\n"},
      {R"({"call":"lineCap","args":[null]})", "Invalid lineCap: \n"},
      {R"({"call":"lineCap","args":["bevel"]})", "Invalid lineCap: bevel\n"},
      {R"({"call":"lineJoin","args":["butt"]})", "Invalid lineJoin: butt\n"},
      {R"({"call":"lineJoin","args":[[1]]})", "Exception: gets: invalid type; string expected\n"},
      {R"({"call":"font","args":["bold 12px arial"]})", "Invalid font: bold 12px arial\n"},
      {R"({"call":"font","args":["600 16px Nofamily"]})", "Font not found: Nofamily 600\n"},
      {R"({"call":"font","args":["24px ProximaNova"]})", "Font not found: ProximaNova\n"},
      {R"({"call":"font","args":[]})", "Exception: index out of bounds\n"},
      {R"({"call":"font","args":[{}]})", "Exception: getstr: invalid type; string expected\n"},
      {R"({"call":"textAlign","args":["start"]})", "Invalid textAlign: start\n"},
      {R"({"call":"textAlign","args":[1]})", "Exception: gets: invalid type; string expected\n"},
      {R"({"call":"textBaseline","args":["hanging"]})", "Invalid textBaseline: hanging\n"},
      {R"({"call":"fillText","args":["Hi",1]})", "Exception: index out of bounds\n"},
      {R"({"call":"fillText","args":["Hi","x",1]})", "Exception: invalid type; number expected\n"},
      {R"({"call":"fillText","args":[""]})", ""},
      {R"({"call":"fillText","args":[")" + std::string(1048577, 'W') + R"(",1,2]})",
       "Exception: fillText: text longer than 1048576 bytes\n"},
      {R"({"call":"drawImage","args":["QR",10,20]})", "Image not found: \n"},
      {R"({"call":"drawImage","args":[{"$key":"NOPE"},1,2]})", "Image not found: NOPE\n"},
      {R"({"call":"drawImage","args":[{"$key":"QR"},1]})", "Exception: index out of bounds\n"},
      {R"({"call":"drawImage","args":[{"$key":5},1,2]})", "Exception: val2sv: invalid type; string expected\n"},
      {R"({"call":"drawImage","args":[{"$key":"FX"},0,0,"w",1,0,0,5,5]})", "Exception: invalid type; number expected\n"},
      {R"({"call":"drawSVG","args":[{"url":"/usr/share/icons/x.svg"}]})", "drawSVG: /usr/share/icons/x.svg\n"},
      {R"({"call":"drawSVGC","args":[{"url":"y.svg"}]})", "drawSVGC: y.svg\n"},
      {R"({"call":"drawSVG","args":[{"url":3}]})", "Exception: val2sv: invalid type; string expected\n"},
      {R"({"call":"drawSVG","args":[]})", "Exception: index out of bounds\n"},
  };
  for (const MessageCase& c : cases) {
    SCOPED_TRACE(c.command);
    // Each command runs as the frame loop runs it: alone, errors caught.
    EXPECT_EQ(c.printed, screen.frame(c.command));
  }
}

TEST(MessagesOnScreen, RejectedStylesKeepTheOldOneButAnUnknownColourIsBlack) {
  TestScreen screen;
  const std::string fill = R"({"call":"fillRect","args":[0,0,50,50]})";
  for (const char* rejected : {R"(5)", R"(null)", R"({"type":"lingrad","stops":[],"rect":[]})"}) {
    SCOPED_TRACE(rejected);
    screen.frame(std::string(R"([{"call":"fillStyle","args":["red"]},{"call":"fillStyle","args":[)") + rejected +
                 "]}," + fill + "]");
    EXPECT_EQ((Pixel{255, 0, 0}), screen.at(25, 25));
  }
  screen.frame(R"([{"call":"fillStyle","args":["red"]},{"call":"fillStyle","args":["blue"]},)" + fill + "]",
               {0, 0, 255});
  EXPECT_EQ((Pixel{0, 0, 0}), screen.at(25, 25));
}

}  // namespace
