#include "platform/float_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace platform {
namespace {

// value = 0.d1 d2 d3 ... x 10^exponent; no trailing zeros; empty digits = 0.
struct Decimal {
  bool negative = false;
  std::string digits;
  int exponent = 0;

  bool isZero() const { return digits.empty(); }
};

void trimZeros(Decimal& d) {
  while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
  if (d.digits.empty()) d.exponent = 0;
}

// 18 significant digits, as the toolkit takes a double before formatting.
Decimal decimalFromDouble(double v) {
  Decimal d;
  d.negative = std::signbit(v);
  v = std::fabs(v);
  if (v == 0) return d;
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.17e", v);  // d.ddddddddddddddddde[+-]XX
  d.digits.push_back(buf[0]);
  const char* p = buf + 2;
  while (*p && *p != 'e') d.digits.push_back(*p++);
  d.exponent = std::atoi(p + 1) + 1;
  trimZeros(d);
  return d;
}

Decimal decimalFromCurrency(int64_t scaled) {
  Decimal d;
  d.negative = scaled < 0;
  uint64_t mag = d.negative ? 0 - uint64_t(scaled) : uint64_t(scaled);
  if (mag == 0) return d;
  d.digits = std::to_string(mag);
  d.exponent = int(d.digits.size()) - 4;
  trimZeros(d);
  return d;
}

// Rounds half away from zero to `n` significant digits (n may be <= 0).
void roundDigits(Decimal& d, int n) {
  if (int(d.digits.size()) <= n) return;
  if (n < 0) {
    d.digits.clear();
    d.exponent = 0;
    return;
  }
  bool up = d.digits[size_t(n)] >= '5';
  d.digits.resize(size_t(n));
  if (up) {
    int i = n - 1;
    while (i >= 0 && d.digits[size_t(i)] == '9') d.digits[size_t(i--)] = '0';
    if (i < 0) {
      d.digits.insert(d.digits.begin(), '1');
      d.exponent += 1;
    } else {
      d.digits[size_t(i)] += 1;
    }
  }
  trimZeros(d);
}

char digitAt(const Decimal& d, int i) { return i >= 0 && i < int(d.digits.size()) ? d.digits[size_t(i)] : '0'; }

std::string exponentText(int e, bool plusSign, int minDigits) {
  std::string s;
  if (e < 0) s += '-';
  else if (plusSign) s += '+';
  std::string n = std::to_string(std::abs(e));
  if (int(n.size()) < minDigits) s.append(size_t(minDigits) - n.size(), '0');
  return s + n;
}

std::string formatExponent(Decimal d, int precision, int digits, bool general, const FormatSettings& fs) {
  roundDigits(d, precision);
  std::string s = d.negative && !d.isZero() ? "-" : "";
  s += digitAt(d, 0);
  int shown = general ? int(d.digits.size()) : precision;
  if (shown > 1) {
    s += fs.decimalSeparator;
    for (int i = 1; i < shown; ++i) s += digitAt(d, i);
  }
  s += 'E';
  s += exponentText(d.isZero() ? 0 : d.exponent - 1, !general, digits);
  return s;
}

std::string formatGeneral(Decimal d, int precision, int digits, const FormatSettings& fs) {
  roundDigits(d, precision);
  if (d.isZero()) return "0";
  if (d.exponent > precision || d.exponent < -3) return formatExponent(d, precision, digits, true, fs);
  std::string s = d.negative ? "-" : "";
  int n = int(d.digits.size());
  if (d.exponent <= 0) {
    s += '0';
    s += fs.decimalSeparator;
    s.append(size_t(-d.exponent), '0');
    s += d.digits;
  } else {
    for (int i = 0; i < d.exponent; ++i) s += digitAt(d, i);
    if (n > d.exponent) {
      s += fs.decimalSeparator;
      s += d.digits.substr(size_t(d.exponent));
    }
  }
  return s;
}

// Magnitude only, in fixed notation with `digits` decimals.
std::string fixedMagnitude(Decimal d, int digits, bool thousands, const FormatSettings& fs) {
  roundDigits(d, d.exponent + digits);
  std::string intPart;
  if (d.isZero() || d.exponent <= 0) {
    intPart = "0";
  } else {
    for (int i = 0; i < d.exponent; ++i) intPart += digitAt(d, i);
  }
  std::string s;
  if (thousands && fs.thousandSeparator) {
    int len = int(intPart.size());
    for (int i = 0; i < len; ++i) {
      if (i > 0 && (len - i) % 3 == 0) s += fs.thousandSeparator;
      s += intPart[size_t(i)];
    }
  } else {
    s = intPart;
  }
  if (digits > 0) {
    s += fs.decimalSeparator;
    for (int i = 0; i < digits; ++i) s += digitAt(d, d.exponent + i);
  }
  return s;
}

std::string placeCurrency(const std::string& mag, bool negative, const FormatSettings& fs) {
  const std::string& c = fs.currencyString;
  if (!negative) {
    switch (fs.currencyFormat) {
      case 0: return c + mag;
      case 1: return mag + c;
      case 2: return c + " " + mag;
      default: return mag + " " + c;
    }
  }
  switch (fs.negCurrFormat) {
    case 0: return "(" + c + mag + ")";
    case 1: return "-" + c + mag;
    case 2: return c + "-" + mag;
    case 3: return c + mag + "-";
    case 4: return "(" + mag + c + ")";
    case 5: return "-" + mag + c;
    case 6: return mag + "-" + c;
    case 7: return mag + c + "-";
    case 8: return "-" + mag + " " + c;
    case 9: return "-" + c + " " + mag;
    case 10: return mag + " " + c + "-";
    case 11: return c + " " + mag + "-";
    case 12: return c + " -" + mag;
    case 13: return mag + "- " + c;
    case 14: return "(" + c + " " + mag + ")";
    default: return "(" + mag + " " + c + ")";
  }
}

std::string formatDecimal(const Decimal& d, FloatFormat format, int precision, int digits,
                          const FormatSettings& fs) {
  precision = std::clamp(precision, 1, 18);
  digits = std::clamp(digits, 0, 18);
  switch (format) {
    case FloatFormat::General:
      return formatGeneral(d, precision, digits, fs);
    case FloatFormat::Exponent:
      return formatExponent(d, precision, digits, false, fs);
    case FloatFormat::Fixed:
    case FloatFormat::Number:
    case FloatFormat::Currency: {
      if (d.exponent > precision) return formatGeneral(d, precision, 0, fs);
      std::string mag = fixedMagnitude(d, digits, format != FloatFormat::Fixed, fs);
      Decimal r = d;
      roundDigits(r, r.exponent + digits);
      bool negative = d.negative && !r.isZero();
      if (format == FloatFormat::Currency) return placeCurrency(mag, negative, fs);
      return negative ? "-" + mag : mag;
    }
  }
  return {};
}

}  // namespace

std::string floatToTextF(double value, FloatFormat format, int precision, int digits,
                         const FormatSettings& settings) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
  return formatDecimal(decimalFromDouble(value), format, precision, digits, settings);
}

std::string currencyToTextF(int64_t scaled, FloatFormat format, int digits, const FormatSettings& settings) {
  Decimal d = decimalFromCurrency(scaled);
  if (format == FloatFormat::General) return formatGeneral(d, 19, 0, settings);
  return formatDecimal(d, format, 18, digits, settings);
}

std::string floatToText(double value, const FormatSettings& settings) {
  return floatToTextF(value, FloatFormat::General, 15, 0, settings);
}

std::string currencyToText(int64_t scaled, const FormatSettings& settings) {
  return currencyToTextF(scaled, FloatFormat::General, 0, settings);
}

}  // namespace platform
