#include "platform/services/ServerSignals.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/services/HttpDate.h"
#include "text/Ascii.h"

namespace platform {
namespace {

using std::chrono::seconds;

constexpr std::string_view kListBlanks = " \t\"";
// Far beyond any cap, and far from overflowing anything.
constexpr std::int64_t kSaturated = std::int64_t{1} << 40;

// Every value of the header called name, joined as one list: some systems join repeated
// headers, others report them one by one, and the rules read both alike.
std::string AllValues(const AnswerHead& head, std::string_view name) {
  std::string values;
  for (const auto& [key, value] : head.headers) {
    if (!text::EqualsNoCase(key, name)) continue;
    if (!values.empty()) values += ", ";
    values += value;
  }
  return values;
}

// A number of seconds written in digits only, held at kSaturated; nullopt for anything else
// (a sign, a fraction, nothing).
std::optional<std::int64_t> Seconds(std::string_view digits) {
  digits = text::Trim(digits, kListBlanks);
  if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos) {
    return std::nullopt;
  }
  std::int64_t value = 0;
  for (const char c : digits) value = std::min(kSaturated, value * 10 + (c - '0'));
  return value;
}

seconds Within(std::int64_t value, seconds most) {
  return seconds(std::clamp<std::int64_t>(value, 0, most.count()));
}

// The seconds from one date to another; HTTP dates lie within a few thousand years.
std::int64_t Between(std::chrono::system_clock::time_point from,
                     std::chrono::system_clock::time_point to) {
  return std::chrono::duration_cast<seconds>(to - from).count();
}

}  // namespace

seconds FreshnessOf(const AnswerHead& head) {
  std::optional<std::int64_t> maxAge;
  int maxAges = 0;
  const std::string directives = AllValues(head, "Cache-Control");
  for (std::size_t start = 0; start <= directives.size();) {
    const std::size_t end = std::min(directives.find(',', start), directives.size());
    const std::string_view directive =
        text::Trim(std::string_view(directives).substr(start, end - start));
    start = end + 1;
    const std::size_t equals = directive.find('=');
    const std::string_view name = text::Trim(directive.substr(0, equals));
    if (text::EqualsNoCase(name, "no-cache") || text::EqualsNoCase(name, "no-store")) {
      return seconds(0);
    }
    if (!text::EqualsNoCase(name, "max-age")) continue;
    ++maxAges;
    maxAge =
        equals == std::string_view::npos ? std::nullopt : Seconds(directive.substr(equals + 1));
    // One that cannot be read makes the answer stale, as does a second, which may say
    // something else.
    if (!maxAge || maxAges > 1) return seconds(0);
  }
  const std::int64_t age = Seconds(AllValues(head, "Age")).value_or(0);
  if (maxAge) return Within(*maxAge - age, kMostFreshness);
  const auto expires = ParseHttpDate(AllValues(head, "Expires"));
  const auto date = ParseHttpDate(AllValues(head, "Date"));
  if (!expires || !date) return seconds(0);
  return Within(Between(*date, *expires) - age, kMostFreshness);
}

seconds RetryAfterOf(const AnswerHead& head, std::chrono::system_clock::time_point now) {
  if (head.status != 429 && head.status != 503) return seconds(0);
  const std::string value = AllValues(head, "Retry-After");
  if (const auto delay = Seconds(value)) return Within(*delay, kMostRetryAfter);
  const auto until = ParseHttpDate(value);
  if (!until) return seconds(0);
  return Within(Between(ParseHttpDate(AllValues(head, "Date")).value_or(now), *until),
                kMostRetryAfter);
}

}  // namespace platform
