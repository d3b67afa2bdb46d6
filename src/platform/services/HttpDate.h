// HTTP's dates: "Sun, 06 Nov 1994 08:49:37 GMT" and the two older forms a recipient must still
// read ("Sunday, 06-Nov-94 08:49:37 GMT", "Sun Nov  6 08:49:37 1994"), as wall-clock times.
#pragma once

#include <chrono>
#include <optional>
#include <string_view>

namespace platform {

// The time text names; nullopt for anything else (a number, a zone other than GMT, a day
// that does not exist, a field out of range, anything after the date).
std::optional<std::chrono::system_clock::time_point> ParseHttpDate(std::string_view text);

}  // namespace platform
