// Values to and from the platform's generic variant.
#include "dbengine/storage/platform_variant.h"

#include "dbengine/storage/day_numbers.h"
#include "dbengine/storage/vz_variant.h"
#include "platform/errors.h"

namespace vz {

namespace st = storage_type;
namespace vc = variant_code;

void TVZVariant::setFromPlatformVariant(const PlatformVariant& v) {
  switch (v.type) {
    case vc::Empty:
    case vc::Null: setNull(); return;
    case vc::SmallInt: setSmallInt(int16_t(v.integer)); return;
    case vc::Integer: setInteger(int32_t(v.integer)); return;
    case vc::Single: setSingle(float(v.real)); return;
    case vc::Double: setFloat(v.real); return;
    case vc::Currency: setCurrency(double(v.integer) / 10000.0); return;
    case vc::Date: setDateTimeFromDateTimeNumber(v.real); return;
    case vc::OleStr: setWideString(v.wide); return;
    case vc::Boolean: setLogical(v.integer != 0); return;
    case vc::ShortInt: setShortInt(int8_t(v.integer)); return;
    case vc::Byte: setByte(uint8_t(v.integer)); return;
    case vc::Word: setWord(uint16_t(v.integer)); return;
    case vc::LongWord: setCardinal(uint32_t(v.integer)); return;
    case vc::Int64: setLargeInt(v.integer); return;
    default:
      if (v.type >= vc::FirstToolkitString && v.type <= vc::LastToolkitString) {
        setString(v.ansi);
        return;
      }
      throw platform::EVZException(30113, "Unsupported Variant Type %s", {std::to_string(v.type)});
  }
}

PlatformVariant TVZVariant::toPlatformVariant() const {
  if (isNull()) return PlatformVariant::null();
  PlatformVariant v;
  switch (type_) {
    case st::Char:
    case st::String:
      v.type = vc::String;
      v.ansi = asString();
      break;
    case st::WideChar:
    case st::WideString:
      v.type = vc::OleStr;
      v.wide = asWideString();
      break;
    case st::ShortInt: v.type = vc::ShortInt; v.integer = asShortInt(); break;
    case st::SmallInt: v.type = vc::SmallInt; v.integer = asSmallInt(); break;
    case st::Integer: v.type = vc::Integer; v.integer = asInteger(); break;
    case st::LargeInt: v.type = vc::Int64; v.integer = asLargeInt(); break;
    case st::Byte: v.type = vc::Byte; v.integer = asByte(); break;
    case st::Word: v.type = vc::Word; v.integer = asWord(); break;
    case st::Cardinal: v.type = vc::LongWord; v.integer = asCardinal(); break;
    case st::Single:
    case st::Float:
    case st::Extended:
    case st::Currency:
      v.type = vc::Double;
      v.real = asFloat();
      break;
    case st::Date: v.type = vc::Date; v.real = dateAsDateTimeNumber(); break;
    case st::Time: v.type = vc::Date; v.real = timeAsDateTimeNumber(); break;
    case st::DateTime: v.type = vc::Date; v.real = dateTimeAsDateTimeNumber(); break;
    case st::Logical: v.type = vc::Boolean; v.integer = asLogical() ? -1 : 0; break;
    default:
      // MEMO, WIDEMEMO, BYTES, VARBYTES and BLOB have no variant form.
      throw platform::EVZException(30114, "Unsupported Variant Type %s", {std::string(storageTypeName(type_))});
  }
  return v;
}

}  // namespace vz
