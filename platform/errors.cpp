#include "platform/errors.h"

#include <cstdio>

namespace platform {
namespace {

std::string nativeErrorSuffix(int32_t code, bool blankPadded) {
  char buf[40];
  std::snprintf(buf, sizeof buf, blankPadded ? " - Native error: %5d" : " - Native error: %.5d", code);
  return buf;
}

}  // namespace

EVariantTypeCastError::EVariantTypeCastError(std::string_view fromType, std::string_view toType)
    : Exception("Could not convert variant of type (" + std::string(fromType) + ") into type (" +
                std::string(toType) + ")") {}

EDatabaseError::EDatabaseError(std::string_view format, const FormatArgs& args)
    : Exception(formatText(invariantFormatSettings(), format, args)) {}

EVZException::EVZException(int32_t nativeError, std::string_view text)
    : Exception(std::string(text) + nativeErrorSuffix(nativeError, false)), nativeError_(nativeError) {}

EVZException::EVZException(int32_t nativeError, std::string_view format, const FormatArgs& args)
    : Exception(""), nativeError_(nativeError) {
  if (args.empty()) {
    setMessage(std::string(format) + nativeErrorSuffix(nativeError, false));
    return;
  }
  std::string text;
  try {
    text = formatText(format, args);
  } catch (const EConvertError&) {
    text = std::string(format) + " Arguments are invalid!";
  }
  setMessage(text + nativeErrorSuffix(nativeError, true));
}

EVZEngineError::EVZEngineError(int32_t code, std::string_view text)
    : Exception("Vaza Engine Error # " + std::to_string(code) + " " + std::string(text)), code_(code) {}

EZAException::EZAException(int32_t nativeError, int32_t errorCode, std::string_view text,
                           std::string_view componentName)
    : Exception(""), nativeError_(nativeError), errorCode_(errorCode) {
  std::string m;
  if (!componentName.empty()) m = std::string(componentName) + ": ";
  m += text;
  m += nativeErrorSuffix(nativeError, false);
  setMessage(std::move(m));
}

}  // namespace platform
