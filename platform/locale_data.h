// What the locale services keep of one locale: its collators, case tables and
// text conventions, built once per locale and kept for the life of the
// process (references handed out, such as formatSettings(), stay valid after
// the user's locale is changed).
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include <unicode/coll.h>
#include <unicode/locid.h>

#include "platform/format_settings.h"

namespace platform {

// The collation of ASCII texts in a locale where every ASCII character weighs
// one collation element of its own (no contractions or expansions among
// them): texts made only of such characters compare by these tables with the
// same result as the collator, level by level.
struct AsciiCollation {
  bool usable = false;
  // 0: ignorable; else the character's place in primary order.
  std::array<uint16_t, 128> primary{};
  // Order among the characters of the same primary weight.
  std::array<uint8_t, 128> secondary{};
  std::array<uint8_t, 128> tertiary{};
};

AsciiCollation asciiCollationOf(const icu::Collator& collator);

struct LocaleData {
  explicit LocaleData(const std::string& localeName);

  std::string name;  // "fr_FR"
  icu::Locale locale;
  // Punctuation counts; `caseCollator` at tertiary strength (case counts),
  // `noCaseCollator` at secondary strength (accents count, case does not).
  std::unique_ptr<icu::Collator> caseCollator;
  std::unique_ptr<icu::Collator> noCaseCollator;
  AsciiCollation ascii;
  // Dotted and dotless i take the Turkic case pairs.
  bool turkicCase = false;
  // Windows-1252 byte -> byte of the other case (itself when that case has
  // no place in the code page).
  std::array<uint8_t, 256> upper{};
  std::array<uint8_t, 256> lower{};
  FormatSettings settings;
};

// The user's locale, as chosen by the environment or setUserLocale().
const LocaleData& userLocaleData();

// Built in locale_forms.cpp and case_mapping.cpp.
FormatSettings formatSettingsOf(const icu::Locale& locale);
char32_t upperCodePoint(char32_t cp, bool turkic);
char32_t lowerCodePoint(char32_t cp, bool turkic);

}  // namespace platform
