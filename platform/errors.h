// The exception classes of the system. Every failure crosses an interface as
// one of these; messages are Windows-1252 bytes.
#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

#include "platform/format.h"

namespace platform {

class Exception : public std::exception {
 public:
  explicit Exception(std::string message) : message_(std::move(message)) {}
  const char* what() const noexcept override { return message_.c_str(); }
  const std::string& message() const noexcept { return message_; }

 protected:
  void setMessage(std::string message) { message_ = std::move(message); }

 private:
  std::string message_;
};

// A text that is no number or date, a date that does not exist, a format that
// does not fit its arguments.
class EConvertError : public Exception {
 public:
  using Exception::Exception;
};

// A variant that cannot take the requested type:
// "Could not convert variant of type (%s) into type (%s)".
class EVariantTypeCastError : public Exception {
 public:
  EVariantTypeCastError(std::string_view fromType, std::string_view toType);
};

// Integer overflow of the run-time library ("Arithmetic overflow").
class EIntOverflow : public Exception {
 public:
  EIntOverflow() : Exception("Arithmetic overflow") {}
};

// The dataset layer's database error: component misuse and every failure of
// the record store, with a fixed English text.
class EDatabaseError : public Exception {
 public:
  using Exception::Exception;
  EDatabaseError(std::string_view format, const FormatArgs& args);
};

// A failed operating-system call: the system's error number and its text.
class EOSError : public Exception {
 public:
  EOSError(int errorNumber, std::string message)
      : Exception(std::move(message)), errorNumber_(errorNumber) {}
  int errorNumber() const { return errorNumber_; }

 private:
  int errorNumber_;
};

// Every failure below the database engine's components. The message is the
// formatted text, " - Native error: " and the code in at least five
// characters: blank-padded when the text had format arguments, zero-padded
// when it had none. Arguments that do not fit give the format followed by
// " Arguments are invalid!".
class EVZException : public Exception {
 public:
  EVZException(int32_t nativeError, std::string_view text);
  EVZException(int32_t nativeError, std::string_view format, const FormatArgs& args);
  int32_t nativeError() const { return nativeError_; }

 private:
  int32_t nativeError_;
};

// Record-editing failures of the engine cursor:
// "Vaza Engine Error # " code " " text.
class EVZEngineError : public Exception {
 public:
  EVZEngineError(int32_t code, std::string_view text);
  int32_t code() const { return code_; }

 private:
  int32_t code_;
};

// Every failure of the package archive. The message is
// [componentName ": "] text " - Native error: " and NativeError in five
// digits with leading zeros. `text` is already formatted.
class EZAException : public Exception {
 public:
  EZAException(int32_t nativeError, int32_t errorCode, std::string_view text,
               std::string_view componentName = {});
  int32_t nativeError() const { return nativeError_; }
  int32_t errorCode() const { return errorCode_; }

 private:
  int32_t nativeError_;
  int32_t errorCode_;
};

}  // namespace platform
