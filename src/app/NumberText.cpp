#include "app/NumberText.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <system_error>

#include "text/Ascii.h"

namespace {

using text::IsBlank;
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

// Exponents ("1e5") are not understood: reading stops at the "e", which keeps a typed
// position from turning into an absurd one.
double ReadNumber(std::string_view text) {
  std::string number;  // the sign, digits and "." taken, without the blanks
  bool negative = false;
  bool haveSign = false;
  bool havePoint = false;
  bool haveDigit = false;
  bool integerNonZero = false;  // a non-zero digit before the "." (tells overflow from underflow)
  for (char c : text) {
    if (IsBlank(c)) continue;
    if ((c == '+' || c == '-') && !haveSign && !havePoint && !haveDigit) {
      haveSign = true;
      negative = c == '-';
    } else if (c == '.' && !havePoint) {
      havePoint = true;
      number += c;
    } else if (IsDigit(c)) {
      haveDigit = true;
      if (!havePoint && c != '0') integerNonZero = true;
      number += c;
    } else {
      break;
    }
  }
  if (!haveDigit) return 0.0;

  double value = 0.0;
  auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value,
                                      std::chars_format::fixed);
  if (error == std::errc::result_out_of_range) {
    value = integerNonZero ? std::numeric_limits<double>::infinity() : 0.0;
  } else if (error != std::errc() || end != number.data() + number.size()) {
    return 0.0;
  }
  if (value == 0.0) return 0.0;  // never -0
  return negative ? -value : value;
}

// A value that is not a number (NaN, infinity) is written as "0", which is also how the
// reader would take its text.
std::string FormatNumber(float value) {
  if (!std::isfinite(value) || value == 0.0f) return "0";
  // Seven significant digits, correctly rounded and locale-free, as "d.dddddde±x".
  char sci[32];
  auto [end, error] = std::to_chars(sci, sci + sizeof sci, value, std::chars_format::scientific, 6);
  if (error != std::errc()) return "0";
  std::string_view text(sci, static_cast<std::size_t>(end - sci));

  std::string result;
  if (text.front() == '-') {
    result += '-';
    text.remove_prefix(1);
  }
  const std::size_t ePos = text.find('e');
  std::string digits;
  for (char c : text.substr(0, ePos)) {
    if (c != '.') digits += c;
  }
  const int exponent = std::atoi(std::string(text.substr(ePos + 1)).c_str());
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

  const int count = static_cast<int>(digits.size());
  if (exponent < 0) {
    result += "0.";
    result.append(static_cast<std::size_t>(-exponent - 1), '0');
    result += digits;
  } else if (exponent + 1 >= count) {
    result += digits;
    result.append(static_cast<std::size_t>(exponent + 1 - count), '0');
  } else {
    result += digits.substr(0, static_cast<std::size_t>(exponent + 1));
    result += '.';
    result += digits.substr(static_cast<std::size_t>(exponent + 1));
  }
  return result;
}
