// Numbers as the settings file holds them.
#pragma once

#include <string>
#include <string_view>

// Reads a number leniently: blanks anywhere are skipped; an optional sign, digits and at
// most one "." are taken; reading stops at the first character that cannot continue the
// number; text that does not begin with a number gives 0.
double ReadNumber(std::string_view text);

// Writes a number with at most seven significant digits, "." as the decimal separator, a
// leading "-" when negative, a fractional part only when there is one, and no exponent.
std::string FormatNumber(float value);
