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

struct LocaleData {
  explicit LocaleData(const std::string& localeName);

  std::string name;  // "fr_FR"
  icu::Locale locale;
  // Punctuation counts; `caseCollator` at tertiary strength (case counts),
  // `noCaseCollator` at secondary strength (accents count, case does not).
  std::unique_ptr<icu::Collator> caseCollator;
  std::unique_ptr<icu::Collator> noCaseCollator;
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
