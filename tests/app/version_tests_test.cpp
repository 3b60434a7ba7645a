#include <gtest/gtest.h>

#include "app/version_tests.h"
#include "platform/errors.h"
#include "platform/locale.h"

TEST(VersionTests, NumericAndTextTests) {
  struct Case {
    const char* version;
    bool numberAtMost56, numberAtMost57, textAtMost56, textAtMost57, compatible;
  };
  const Case cases[] = {
      {"5.5", true, true, true, true, true},
      {"5.6", true, true, true, true, true},
      {"5.60", true, true, false, true, true},  // "5.60" sorts after "5.6"
      {"5.7", false, true, false, true, true},
      {"5.8", false, false, false, false, false},
      {"5.10", true, true, true, true, true},    // 5.1 as a number, "5.1..." as a text
      {"10.0", false, false, true, true, false}, // "1" sorts before "5"
      {"5", true, true, true, true, true},       // a proper prefix sorts first
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.version);
    EXPECT_EQ(app::versionAtMost(c.version, 5.6), c.numberAtMost56);
    EXPECT_EQ(app::versionAtMost(c.version, 5.7), c.numberAtMost57);
    EXPECT_EQ(app::versionTextAtMost(c.version, "5.6"), c.textAtMost56);
    EXPECT_EQ(app::versionTextAtMost(c.version, "5.7"), c.textAtMost57);
    EXPECT_EQ(app::versionCompatible(c.version), c.compatible);
  }
}

TEST(VersionTests, TextThatIsNoNumberRaises) {
  EXPECT_THROW(app::versionNumber("abc"), platform::EConvertError);
  EXPECT_THROW(app::versionCurrency(""), platform::EConvertError);
}

TEST(VersionTests, PointAndLocaleFormUnderACommaLocale) {
  const std::string before = platform::userLocaleName();
  platform::setUserLocale("fr_FR");
  EXPECT_DOUBLE_EQ(app::versionNumber("5.6"), 5.6);
  EXPECT_DOUBLE_EQ(app::versionNumber("5,6"), 5.6);
  EXPECT_EQ(app::versionCurrency("5.7"), 57000);
  EXPECT_TRUE(app::versionAtMost("5.6", 5.6));
  platform::setUserLocale(before);
}
