// The user's locale: chosen from the environment at first use or by
// setUserLocale(), and the per-locale data the locale services share.
#include "platform/locale.h"

#include <atomic>
#include <cstdlib>
#include <map>
#include <mutex>

#include "platform/errors.h"
#include "platform/locale_data.h"
#include "platform/windows_1252.h"

namespace platform {
namespace {

constexpr const char* kDefaultLocale = "en_US";

// "fr_FR.UTF-8@euro" -> "fr_FR", "fr-FR" -> "fr_FR"; "C", "POSIX", nothing
// or a name that is no locale name -> the default.
std::string normalisedName(std::string_view raw) {
  std::string name(raw.substr(0, raw.find_first_of(".@")));
  for (char& c : name)
    if (c == '-') c = '_';
  if (name.empty() || name == "C" || name == "POSIX") return kDefaultLocale;
  for (const char c : name) {
    const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
    if (!ok) return kDefaultLocale;
  }
  return name;
}

std::string environmentLocaleName() {
  for (const char* var : {"LC_ALL", "LANG"}) {
    const char* value = std::getenv(var);
    if (value && *value) return normalisedName(value);
  }
  return kDefaultLocale;
}

std::unique_ptr<icu::Collator> makeCollator(const icu::Locale& locale, UColAttributeValue strength) {
  UErrorCode status = U_ZERO_ERROR;
  std::unique_ptr<icu::Collator> c(icu::Collator::createInstance(locale, status));
  if (U_FAILURE(status) || !c) throw Exception(std::string("Cannot create the text collation: ") + u_errorName(status));
  c->setAttribute(UCOL_ALTERNATE_HANDLING, UCOL_NON_IGNORABLE, status);
  c->setAttribute(UCOL_NORMALIZATION_MODE, UCOL_ON, status);
  c->setAttribute(UCOL_STRENGTH, strength, status);
  if (U_FAILURE(status)) throw Exception(std::string("Cannot set up the text collation: ") + u_errorName(status));
  return c;
}

struct Registry {
  std::mutex mutex;
  // Never shrinks: data handed out stays valid.
  std::map<std::string, std::unique_ptr<LocaleData>> byName;
  std::atomic<const LocaleData*> current{nullptr};

  const LocaleData* dataFor(const std::string& name) {
    auto& slot = byName[name];
    if (!slot) slot = std::make_unique<LocaleData>(name);
    return slot.get();
  }
};

Registry& registry() {
  static Registry r;
  return r;
}

}  // namespace

LocaleData::LocaleData(const std::string& localeName) : name(localeName), locale(localeName.c_str()) {
  caseCollator = makeCollator(locale, UCOL_TERTIARY);
  noCaseCollator = makeCollator(locale, UCOL_SECONDARY);
  const std::string language = locale.getLanguage();
  turkicCase = language == "tr" || language == "az";
  for (int b = 0; b < 256; ++b) {
    const char16_t wide = ansiCharToWide(uint8_t(b));
    const int up = wideCharToAnsi(upperCodePoint(wide, turkicCase));
    const int low = wideCharToAnsi(lowerCodePoint(wide, turkicCase));
    upper[size_t(b)] = uint8_t(up < 0 ? b : up);
    lower[size_t(b)] = uint8_t(low < 0 ? b : low);
  }
  settings = formatSettingsOf(locale);
}

const LocaleData& userLocaleData() {
  Registry& r = registry();
  const LocaleData* data = r.current.load(std::memory_order_acquire);
  if (data) return *data;
  std::lock_guard lock(r.mutex);
  data = r.current.load(std::memory_order_relaxed);
  if (!data) {
    data = r.dataFor(environmentLocaleName());
    r.current.store(data, std::memory_order_release);
  }
  return *data;
}

void setUserLocale(std::string_view name) {
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  const std::string chosen = name.empty() ? environmentLocaleName() : normalisedName(name);
  r.current.store(r.dataFor(chosen), std::memory_order_release);
}

std::string userLocaleName() { return userLocaleData().name; }

const FormatSettings& formatSettings() { return userLocaleData().settings; }

}  // namespace platform
