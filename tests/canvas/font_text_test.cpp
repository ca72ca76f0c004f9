#include "font_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct FontCase {
  std::string text;
  bool valid;
  std::string name;
  float size;
};

TEST(ParseFontText, ThreeFormsAndTheBrowserAlias) {
  const FontCase cases[] = {
      {"600 16px ProximaNova", true, "ProximaNova 600", 16},
      {"400 12pt NotoSans", true, "NotoSans 400", float(12 * 1.333)},
      {"24px MaterialIcons", true, "MaterialIcons", 24},
      {"24px ProximaNova", true, "ProximaNova", 24},
      {"bold 10px arial", true, "ProximaNova 600", 10},
      {"-5 10px Odd", true, "Odd -5", 10},
      {"500 14px Noto Sans", true, "Noto 500", 14},  // the family word ends at the space
      {"  300   20px   ProximaNova trailing", true, "ProximaNova 300", 20},
      {"bold 12px arial", false, "", 0},
      {"600 16 ProximaNova", false, "", 0},
      {"16px", false, "", 0},
      {"", false, "", 0},
  };
  for (const FontCase& c : cases) {
    SCOPED_TRACE(c.text);
    std::optional<FontChoice> choice = parseFontText(c.text);
    ASSERT_EQ(c.valid, choice.has_value());
    if (!choice) continue;
    EXPECT_EQ(c.name, choice->name);
    EXPECT_FLOAT_EQ(c.size, choice->size);
  }
}

TEST(ParseFontText, LongFamilyWordIsCutAtItsLimit) {
  std::string family(127, 'a');
  std::optional<FontChoice> choice = parseFontText("600 16px " + family);
  ASSERT_TRUE(choice);
  EXPECT_EQ(family + " 600", choice->name);
  // A longer word is cut, never written past the buffer.
  choice = parseFontText("600 16px " + family + "bbbb");
  ASSERT_TRUE(choice);
  EXPECT_EQ(family + " 600", choice->name);
}

}  // namespace
