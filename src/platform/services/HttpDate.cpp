#include "platform/services/HttpDate.h"

#include <array>
#include <cstddef>

#include "text/Ascii.h"

namespace platform {
namespace {

constexpr std::array<std::string_view, 12> kMonths{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// Reads a date from the front, field by field; every read fails on what it does not expect.
class Fields {
 public:
  explicit Fields(std::string_view text) : text_(text) {}

  std::string_view Letters() {
    std::size_t n = 0;
    while (n < text_.size() && IsLetter(text_[n])) ++n;
    return Take(n);
  }
  // A number of minDigits to maxDigits digits.
  bool Number(std::size_t minDigits, std::size_t maxDigits, int& value) {
    std::size_t n = 0;
    while (n < text_.size() && n < maxDigits && text_[n] >= '0' && text_[n] <= '9') ++n;
    if (n < minDigits) return false;
    value = 0;
    for (const char c : Take(n)) value = value * 10 + (c - '0');
    return true;
  }
  bool Skip(char c) {
    if (text_.empty() || text_.front() != c) return false;
    text_.remove_prefix(1);
    return true;
  }
  // One blank or more.
  bool Blanks() {
    const std::size_t n = text_.find_first_not_of(' ');
    const std::size_t blanks = n == std::string_view::npos ? text_.size() : n;
    Take(blanks);
    return blanks > 0;
  }
  bool Month(int& month) {
    const std::string_view name = Letters();
    for (std::size_t i = 0; i < kMonths.size(); ++i) {
      if (text::EqualsNoCase(name, kMonths[i])) {
        month = static_cast<int>(i) + 1;
        return true;
      }
    }
    return false;
  }
  bool Time(int& hour, int& minute, int& second) {
    return Number(2, 2, hour) && Skip(':') && Number(2, 2, minute) && Skip(':') &&
           Number(2, 2, second) && hour < 24 && minute < 60 && second <= 60;
  }
  bool AtEnd() const { return text_.empty(); }

 private:
  static bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
  std::string_view Take(std::size_t n) {
    const std::string_view taken = text_.substr(0, n);
    text_.remove_prefix(n);
    return taken;
  }

  std::string_view text_;
};

}  // namespace

std::optional<std::chrono::system_clock::time_point> ParseHttpDate(std::string_view text) {
  Fields in(text::Trim(text));
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  // The day of the week is not checked against the date, as browsers do not.
  if (in.Letters().size() < 3) return std::nullopt;
  if (in.Skip(',')) {
    // "06 Nov 1994 08:49:37 GMT" or "06-Nov-94 08:49:37 GMT".
    in.Blanks();
    if (!in.Number(1, 2, day)) return std::nullopt;
    const char separator = in.Skip('-') ? '-' : ' ';
    if (separator == ' ' && !in.Blanks()) return std::nullopt;
    if (!in.Month(month) || !in.Skip(separator) || !in.Number(2, 4, year)) return std::nullopt;
    // A two-digit year is read in the 50 years around 2000, as the old form's writers meant.
    if (year < 100) year += year < 70 ? 2000 : 1900;
    if (!in.Blanks() || !in.Time(hour, minute, second) || !in.Blanks() ||
        !text::EqualsNoCase(in.Letters(), "GMT")) {
      return std::nullopt;
    }
  } else if (!in.Blanks() || !in.Month(month) || !in.Blanks() || !in.Number(1, 2, day) ||
             !in.Blanks() || !in.Time(hour, minute, second) || !in.Blanks() ||
             !in.Number(4, 4, year)) {
    // Not "Nov  6 08:49:37 1994" either.
    return std::nullopt;
  }
  if (!in.AtEnd()) return std::nullopt;
  const std::chrono::year_month_day date{std::chrono::year(year),
                                         std::chrono::month(static_cast<unsigned>(month)),
                                         std::chrono::day(static_cast<unsigned>(day))};
  if (!date.ok()) return std::nullopt;
  // A leap second counts as the second before it.
  if (second == 60) second = 59;
  return std::chrono::sys_days(date) + std::chrono::hours(hour) + std::chrono::minutes(minute) +
         std::chrono::seconds(second);
}

}  // namespace platform
