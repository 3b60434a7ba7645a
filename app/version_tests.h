// The tests of the installed version text that select the migrations.
// Stored versions are written with a point ("5.6"); the numeric tests read a
// point whatever the user's decimal separator is, and the locale's own form
// as well. A text that is no number raises EConvertError.
#pragma once

#include <cstdint>
#include <string_view>

namespace app {

// The version as a floating-point number.
double versionNumber(std::string_view version);
// The version as a currency amount, in units of 1/10000.
int64_t versionCurrency(std::string_view version);

// N <= limit: the version as a number.
bool versionAtMost(std::string_view version, double limit);
// T <= limit: byte-wise comparison, a proper prefix sorting first.
bool versionTextAtMost(std::string_view version, std::string_view limit);

// The compatibility test of the product record: the version as a currency
// amount is not greater than 5.7.
bool versionCompatible(std::string_view version);

}  // namespace app
