// Negation, addition, multiplication and division of values.
//
// The operands meet in their common type (the arithmetic table of
// data_types.cpp), and the operation follows that type:
//   texts               + concatenates; * and / fail
//   signed integers     wrap at the type's width; / truncates toward zero
//   unsigned integers   wrap; / is the unsigned quotient
//   floating point,     at the type's precision (SINGLE in binary32, FLOAT and
//   CURRENCY            CURRENCY in binary64, EXTENDED in the 80-bit format)
//   DATE, TIME          on the day numbers / milliseconds
//   DATETIME            days with days and milliseconds with milliseconds,
//                       then whole days of milliseconds move into the days
//   LOGICAL             true when either is true, for all three operators
// Nulls: text + NULL is the text, NULL text + x is x, any other null operand
// gives NULL.
#include <cmath>
#include <limits>

#include "dbengine/storage/day_numbers.h"
#include "dbengine/storage/value_encoding.h"
#include "dbengine/storage/variant_casts.h"
#include "dbengine/storage/vz_variant.h"
#include "platform/bytes.h"
#include "platform/errors.h"

namespace vz {
namespace {

namespace st = storage_type;
namespace enc = encoding;

enum class Op { Add, Multiply, Divide };

const char* operatorText(Op op) {
  switch (op) {
    case Op::Add: return "+";
    case Op::Multiply: return "*";
    default: return "/";
  }
}

int32_t operatorCode(Op op) {
  switch (op) {
    case Op::Add: return 30124;
    case Op::Multiply: return 30126;
    default: return 30127;
  }
}

[[noreturn]] void throwNotNumeric(Op op) {
  throw platform::EVZException(operatorCode(op), "Not numeric argument in numeric operator '%s'",
                               {operatorText(op)});
}

// Faults inside a division, reported by divide() as "Division error: %s".
class DivisionFault : public platform::Exception {
 public:
  using platform::Exception::Exception;
};

int64_t floorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

int64_t signedOp(Op op, int64_t a, int64_t b, int64_t minValue) {
  switch (op) {
    case Op::Add: return int64_t(uint64_t(a) + uint64_t(b));
    case Op::Multiply: return int64_t(uint64_t(a) * uint64_t(b));
    default:
      if (b == 0) throw DivisionFault("Division by zero");
      if (a == minValue && b == -1) throw platform::EIntOverflow();
      return a / b;
  }
}

uint64_t unsignedOp(Op op, uint64_t a, uint64_t b) {
  switch (op) {
    case Op::Add: return a + b;
    case Op::Multiply: return a * b;
    default:
      if (b == 0) throw DivisionFault("Division by zero");
      return a / b;
  }
}

template <typename F>
F floatOp(Op op, F a, F b) {
  switch (op) {
    case Op::Add: return a + b;
    case Op::Multiply: return a * b;
    default: {
      if (b == 0) {
        if (a == 0 || std::isnan(a)) throw DivisionFault("Invalid floating point operation");
        throw DivisionFault("Floating point division by zero");
      }
      const F q = a / b;
      if (std::isinf(q) && std::isfinite(a) && std::isfinite(b)) throw DivisionFault("Floating point overflow");
      return q;
    }
  }
}

long double floatResult(StorageType c, Op op, long double a, long double b) {
  switch (c) {
    case st::Single: return floatOp<float>(op, float(a), float(b));
    case st::Extended: return floatOp<long double>(op, a, b);
    default: return floatOp<double>(op, double(a), double(b));
  }
}

// Days and milliseconds of a DATETIME result: whole days of milliseconds
// move into the day number, in either direction, so that the time of day
// stays within 0 to 86,399,999.
void storeDateTime(uint8_t* out, int64_t days, int64_t ms) {
  if (ms >= kMillisecondsPerDay || ms < 0) {
    days += floorDiv(ms, kMillisecondsPerDay);
    ms -= floorDiv(ms, kMillisecondsPerDay) * kMillisecondsPerDay;
  }
  platform::storeI32(out, int32_t(uint32_t(uint64_t(days))));
  platform::storeI32(out + 4, int32_t(ms));
}

void dateTimeOp(Op op, const uint8_t* a, const uint8_t* b, uint8_t* out) {
  const int64_t d1 = platform::loadI32(a), m1 = platform::loadI32(a + 4);
  const int64_t d2 = platform::loadI32(b), m2 = platform::loadI32(b + 4);
  switch (op) {
    case Op::Add: {
      // The empty date adds no days (a DATE plus a TIME is that date at that
      // time); two empty dates stay empty.
      const bool bothEmpty = d1 == kEmptyDate && d2 == kEmptyDate;
      const int64_t days = (d1 == kEmptyDate ? 0 : d1) + (d2 == kEmptyDate ? 0 : d2);
      storeDateTime(out, bothEmpty ? kEmptyDate : days, m1 + m2);
      break;
    }
    case Op::Multiply: storeDateTime(out, d1 * d2, m1 * m2); break;
    default:
      if (d2 == 0 || m2 == 0) throw DivisionFault("Division by zero");
      storeDateTime(out, d1 / d2, m1 / m2);
      break;
  }
}

// this op other, both present, in a temporary.
TVZVariant operate(const TVZVariant& self, const TVZVariant& other, Op op) {
  const StorageType c = commonType(self.type(), other.type());
  TVZVariant left(self);
  left.cast(c);  // no common type: "Cannot cast from '%s' to 'Unknown'"
  TVZVariant right(other);
  right.cast(c);

  if (isTextType(c)) {
    if (op != Op::Add) throwNotNumeric(op);
    if (isWideTextType(c)) {
      const auto bytes = enc::wideTextBytes(left.asWideString() + right.asWideString());
      left.attach(c, bytes.data(), int32_t(bytes.size()), false);
    } else {
      const auto bytes = enc::ansiTextBytes(left.asString() + right.asString());
      left.attach(c, bytes.data(), int32_t(bytes.size()), false);
    }
    return left;
  }

  const uint8_t* a = left.data();
  const uint8_t* b = right.data();
  uint8_t out[16] = {};
  const int32_t n = fixedValueSize(c);
  switch (c) {
    case st::ShortInt:
    case st::SmallInt:
      // Computed at 64 bits: the quotient -128 / -1 wraps back into the type.
      enc::storeInteger(c, out, signedOp(op, enc::loadInteger(c, a), enc::loadInteger(c, b),
                                         std::numeric_limits<int64_t>::min()));
      break;
    case st::Integer:
    case st::Date:
    case st::Time:
      platform::storeI32(out, int32_t(signedOp(op, platform::loadI32(a), platform::loadI32(b),
                                               std::numeric_limits<int32_t>::min())));
      break;
    case st::LargeInt:
      platform::storeI64(out, signedOp(op, platform::loadI64(a), platform::loadI64(b),
                                       std::numeric_limits<int64_t>::min()));
      break;
    case st::Byte:
    case st::Word:
    case st::Cardinal:
      enc::storeInteger(c, out, int64_t(unsignedOp(op, uint64_t(enc::loadInteger(c, a)),
                                                   uint64_t(enc::loadInteger(c, b)))));
      break;
    case st::Single:
    case st::Float:
    case st::Extended:
    case st::Currency:
      enc::storeFloat(c, out, floatResult(c, op, enc::loadFloat(c, a), enc::loadFloat(c, b)));
      break;
    case st::DateTime: dateTimeOp(op, a, b, out); break;
    case st::Logical:
      platform::storeI16(out, (platform::loadI16(a) != 0 || platform::loadI16(b) != 0) ? -1 : 0);
      break;
    default: throwNotNumeric(op);
  }
  left.attach(c, out, n, false);
  return left;
}

}  // namespace

void TVZVariant::add(const TVZVariant& other) {
  if (other.isNull()) {
    if (!isTextType(type_)) setNull();
    return;
  }
  if (isNull()) {
    if (isTextType(type_)) assign(other);
    return;
  }
  *this = operate(*this, other, Op::Add);
}

void TVZVariant::multiply(const TVZVariant& other) {
  if (isNull() || other.isNull()) {
    setNull();
    return;
  }
  *this = operate(*this, other, Op::Multiply);
}

void TVZVariant::divide(const TVZVariant& other) {
  if (isNull() || other.isNull()) {
    setNull();
    return;
  }
  try {
    *this = operate(*this, other, Op::Divide);
  } catch (const platform::EVZException&) {
    throw;
  } catch (const std::exception& e) {
    throw platform::EVZException(30128, "Division error: %s", {std::string(e.what())});
  }
}

void TVZVariant::negate() {
  if (isNull()) return;
  const uint8_t* p = data();
  uint8_t out[16] = {};
  switch (type_) {
    case st::ShortInt:
    case st::SmallInt:
    case st::Byte:
    case st::Word:
      // Negated as signed numbers and stored back into the type's width.
      enc::storeInteger(type_, out, int64_t(0 - uint64_t(enc::loadInteger(type_, p))));
      break;
    case st::Integer:
    case st::Date: {
      const int32_t v = platform::loadI32(p);
      if (v == std::numeric_limits<int32_t>::min()) throw platform::EIntOverflow();
      platform::storeI32(out, -v);
      break;
    }
    case st::LargeInt: {
      const int64_t v = platform::loadI64(p);
      if (v == std::numeric_limits<int64_t>::min()) throw platform::EIntOverflow();
      platform::storeI64(out, -v);
      break;
    }
    case st::Cardinal:
      if (platform::loadU32(p) != 0) throw platform::EIntOverflow();
      break;
    case st::Single:
    case st::Float:
    case st::Extended:
    case st::Currency: enc::storeFloat(type_, out, -enc::loadFloat(type_, p)); break;
    case st::Logical: platform::storeI16(out, platform::loadI16(p) != 0 ? 0 : -1); break;
    default:
      throw platform::EVZException(30123, "Cannot invert value with not numeric type '%s'",
                                   {std::string(storageTypeName(type_))});
  }
  attach(type_, out, fixedValueSize(type_), false);
}

}  // namespace vz
