// What an answer's headers ask of the requests after it: how long its document stays fresh
// (Cache-Control, Expires) and how long to wait after a 429 or 503 (Retry-After), each within a
// cap. A header that cannot be read asks for nothing: the next reload asks as it always has.
#pragma once

#include <chrono>

#include "platform/services/FetchTransport.h"

namespace platform {

inline constexpr std::chrono::seconds kMostFreshness = std::chrono::hours(1);
inline constexpr std::chrono::seconds kMostRetryAfter = std::chrono::hours(6);

// How long the document of a successful answer (or of the held one a 304 confirms) serves
// without asking, counted from its arrival: max-age less Age, else Expires less Date, at most
// kMostFreshness. Zero for no-cache, no-store, none given, a value that cannot be read, and a
// max-age given twice.
std::chrono::seconds FreshnessOf(const AnswerHead& head);

// How long a 429 or 503 answer asks the next request to wait: Retry-After's seconds, or its
// date less the answer's Date (less now when the answer has no readable Date), at most
// kMostRetryAfter. Zero for any other status and a value that cannot be read.
std::chrono::seconds RetryAfterOf(const AnswerHead& head,
                                  std::chrono::system_clock::time_point now);

}  // namespace platform
