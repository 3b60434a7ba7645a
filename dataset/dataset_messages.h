// The fixed English texts of the dataset layer's database errors
// (platform::EDatabaseError). Derived datasets raise them too.
#pragma once

namespace dataset::messages {

inline constexpr char kDataSetOpen[] = "Cannot perform this operation on an open dataset";
inline constexpr char kDataSetClosed[] = "Cannot perform this operation on a closed dataset";
inline constexpr char kDataSetEmpty[] = "Cannot perform this operation on an empty dataset";
inline constexpr char kNotEditing[] = "Dataset not in edit or insert mode";
inline constexpr char kDataSetReadOnly[] = "Cannot modify a read-only dataset";
inline constexpr char kOperationNotSupported[] = "Operation not supported";
inline constexpr char kFieldNotFound[] = "Field '%s' not found";
inline constexpr char kDuplicateFieldName[] = "Duplicate field name '%s'";
inline constexpr char kFieldRequired[] = "Field '%s' must have a value";
inline constexpr char kFieldReadOnly[] = "Field '%s' cannot be modified";
inline constexpr char kFieldRange[] = "%s is not a valid value for field '%s'. The allowed range is %s to %s";
inline constexpr char kInvalidBoolValue[] = "'%s' is not a valid boolean value for field '%s'";
inline constexpr char kInvalidIntegerValue[] = "'%s' is not a valid integer value for field '%s'";
inline constexpr char kInvalidFloatValue[] = "'%s' is not a valid floating point value for field '%s'";
inline constexpr char kParameterNotFound[] = "Parameter '%s' not found";

}  // namespace dataset::messages
