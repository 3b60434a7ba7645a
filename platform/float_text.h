// Floating-point and currency numbers as texts, the way the toolkit writes
// them: the value is first taken to 18 significant decimal digits, then
// rounded half away from zero to what the format shows.
#pragma once

#include <cstdint>
#include <string>

#include "platform/format_settings.h"

namespace platform {

enum class FloatFormat {
  General,   // shortest of fixed and scientific, no trailing zeros ("1.5", "1E20")
  Exponent,  // "d.dddE+ddd": `precision` digits, exponent at least `digits` digits
  Fixed,     // `digits` decimals; scientific when the integer part needs more than `precision` digits
  Number,    // as Fixed, with thousand separators
  Currency,  // as Number, with the currency string placed by the currency formats
};

// The toolkit's FloatToStrF. `precision` is clamped to 1..18, `digits` to 0..18.
std::string floatToTextF(double value, FloatFormat format, int precision, int digits,
                         const FormatSettings& settings);

// The same for a currency amount in units of 1/10000 (exact, no binary rounding).
std::string currencyToTextF(int64_t scaled, FloatFormat format, int digits,
                            const FormatSettings& settings);

// FloatToStr: General with 15 significant digits.
std::string floatToText(double value, const FormatSettings& settings);

// CurrToStr: General with 4 decimals at most (no currency string).
std::string currencyToText(int64_t scaled, const FormatSettings& settings);

}  // namespace platform
