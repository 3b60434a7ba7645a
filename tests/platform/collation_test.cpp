#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <thread>
#include <vector>

#include "platform/locale.h"

using namespace platform;

namespace {

std::vector<std::string> sorted(std::vector<std::string> words, bool ignoreCase) {
  std::stable_sort(words.begin(), words.end(),
                   [&](const std::string& a, const std::string& b) { return compareAnsi(a, b, ignoreCase) < 0; });
  return words;
}

}  // namespace

TEST(Collation, FrenchWordsInDictionaryOrder) {
  for (const char* locale : {"fr_FR", "en_US"}) {
    setUserLocale(locale);
    // Accents count after the letters; lower case before upper case.
    const std::vector<std::string> expected{"cote", "Cote", "cot\xE9", "c\xF4te", "C\xF4te", "c\xF4t\xE9", "coter"};
    std::vector<std::string> shuffled{"C\xF4te", "coter", "c\xF4t\xE9", "cote", "cot\xE9", "Cote", "c\xF4te"};
    EXPECT_EQ(sorted(shuffled, false), expected) << locale;
  }
}

TEST(Collation, IgnoringCaseKeepsAccents) {
  setUserLocale("fr_FR");
  struct Case {
    const char* a;
    const char* b;
    int withCase;
    int withoutCase;
  } cases[] = {
      {"a", "A", -1, 0},
      {"\xE9t\xE9", "\xC9T\xC9", -1, 0},  // été / ÉTÉ
      {"e", "\xE9", -1, -1},              // e / é
      {"\xE9", "\xC9", -1, 0},            // é / É
      {"e", "\xC9", -1, -1},              // e / É
      {"Zoo", "abc", 1, 1},               // letters before case
      {"10", "9", -1, -1},                // texts, not numbers
      {"co-op", "coop", -1, -1},          // punctuation counts
      {"a b", "ab", -1, -1},
      {"", "a", -1, -1},
      {"same", "same", 0, 0},
      {"\x80", "E", -1, -1},              // € is a symbol, before letters
  };
  for (const Case& c : cases) {
    EXPECT_EQ(compareAnsi(c.a, c.b, false), c.withCase) << c.a << " / " << c.b;
    EXPECT_EQ(compareAnsi(c.b, c.a, false), -c.withCase) << c.b << " / " << c.a;
    EXPECT_EQ(compareAnsi(c.a, c.b, true), c.withoutCase) << c.a << " / " << c.b;
    EXPECT_EQ(compareAnsi(c.b, c.a, true), -c.withoutCase) << c.b << " / " << c.a;
    EXPECT_EQ(compareWide(ansiToWide(c.a), ansiToWide(c.b), true), c.withoutCase);
  }
  EXPECT_TRUE(sameTextAnsi("Vendrix", "VENDRIX"));
  EXPECT_FALSE(sameTextAnsi("ete", "\xE9t\xE9"));
}

TEST(Collation, OnlyIdenticalTextsAreEqual) {
  setUserLocale("en_US");
  // Control characters weigh nothing to the collator; the texts still differ.
  EXPECT_NE(compareAnsi("a\x01", "a", false), 0);
  EXPECT_EQ(compareAnsi("a\x01", "a", false), -compareAnsi("a", "a\x01", false));
  EXPECT_NE(compareAnsi("A\x01", "a", true), 0);
  EXPECT_EQ(compareAnsi("A\x01", "a", true), -compareAnsi("a", "A\x01", true));
  // Embedded zero bytes are characters like any other.
  EXPECT_NE(compareAnsi(std::string("a\0b", 3), "a", false), 0);
}

TEST(Collation, LongTextsCompareWhole) {
  setUserLocale("fr_FR");
  const std::string a(1000, 'x'), b = std::string(999, 'x') + "y";
  EXPECT_LT(compareAnsi(a, b, false), 0);
  EXPECT_GT(compareAnsi(b, a, true), 0);
  EXPECT_EQ(compareAnsi(a, upperAnsi(a), true), 0);
}

TEST(Collation, ThreadsShareTheCollators) {
  setUserLocale("de_DE");
  std::vector<std::thread> threads;
  std::vector<int> results(4, 99);
  for (size_t t = 0; t < results.size(); ++t)
    threads.emplace_back([&results, t] {
      for (int k = 0; k < 200; ++k) results[t] = compareAnsi("\xC4pfel", "Apfel", true);
    });
  for (auto& th : threads) th.join();
  for (const int r : results) EXPECT_GT(r, 0);
}

TEST(CaseMapping, AnsiLettersByTheLocale) {
  setUserLocale("fr_FR");
  EXPECT_EQ(upperAnsi("\xE9t\xE9 \xE0 No\xEBl"), "\xC9T\xC9 \xC0 NO\xCBL");
  EXPECT_EQ(upperAnsi("\xFF\x9C\x9A\x9E"), "\x9F\x8C\x8A\x8E");  // ÿ œ š ž -> Ÿ Œ Š Ž
  EXPECT_EQ(lowerAnsi("\x9F\x8C\x8A\x8E\xC9"), "\xFF\x9C\x9A\x9E\xE9");
  // The other case has no place in the code page, or there is none.
  EXPECT_EQ(upperAnsi("\xDF\xB5\xAA\x80\x81"), "\xDF\xB5\xAA\x80\x81");  // ß µ ª € and 81
  EXPECT_EQ(upperAscii("\xE9t\xE9"), "\xE9T\xE9");
  EXPECT_EQ(lowerAscii("\xC9T\xC9"), "\xC9t\xC9");
  EXPECT_EQ(upperWide(u"stra\u00DFe \u0101"), u"STRA\u00DFE \u0100");
  EXPECT_EQ(lowerWide(u"\U00010400"), u"\U00010428");  // a pair stays a pair
  // Every letter goes back where it came from.
  for (int b = 0; b < 256; ++b) {
    const std::string c(1, char(b));
    const std::string u = upperAnsi(c);
    if (u != c) {
      EXPECT_EQ(lowerAnsi(u), c) << std::hex << b;
    }
  }
}

TEST(CaseMapping, TurkicDottedI) {
  setUserLocale("tr_TR");
  EXPECT_EQ(upperWide(u"i\u0131"), u"\u0130I");
  EXPECT_EQ(lowerWide(u"I\u0130"), u"\u0131i");
  EXPECT_EQ(upperAnsi("i"), "i");  // İ has no place in the code page
  setUserLocale("en_US");
  EXPECT_EQ(upperAnsi("i"), "I");
}

TEST(UserLocale, ChosenFromItsNameOrTheEnvironment) {
  struct Case {
    const char* given;
    const char* chosen;
  } cases[] = {{"fr_FR.UTF-8", "fr_FR"}, {"de-DE", "de_DE"}, {"fr_FR@euro", "fr_FR"},
               {"C", "en_US"},           {"POSIX", "en_US"}, {"../etc", "en_US"}};
  for (const Case& c : cases) {
    setUserLocale(c.given);
    EXPECT_EQ(userLocaleName(), c.chosen) << c.given;
  }
  const char* savedAll = std::getenv("LC_ALL");
  const char* savedLang = std::getenv("LANG");
  const std::string all = savedAll ? savedAll : "", lang = savedLang ? savedLang : "";
  unsetenv("LC_ALL");
  setenv("LANG", "fr_FR.UTF-8", 1);
  setUserLocale("");
  EXPECT_EQ(userLocaleName(), "fr_FR");
  setenv("LC_ALL", "de_DE.UTF-8", 1);
  setUserLocale("");
  EXPECT_EQ(userLocaleName(), "de_DE");
  setenv("LC_ALL", "C", 1);
  setUserLocale("");
  EXPECT_EQ(userLocaleName(), "en_US");
  auto restore = [](const char* var, bool had, const std::string& value) {
    if (had) setenv(var, value.c_str(), 1);
    else unsetenv(var);
  };
  restore("LC_ALL", savedAll != nullptr, all);
  restore("LANG", savedLang != nullptr, lang);
}

TEST(UserLocale, SettingsHandedOutStayValidAfterAChange) {
  setUserLocale("fr_FR");
  const FormatSettings& french = formatSettings();
  setUserLocale("en_US");
  setUserLocale("de_DE");
  EXPECT_EQ(french.decimalSeparator, ',');
  EXPECT_EQ(french.longMonthNames[7], "ao\xFBt");
  EXPECT_EQ(formatSettings().longMonthNames[2], "M\xE4rz");
}
