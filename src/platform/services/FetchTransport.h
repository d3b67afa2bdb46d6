// What a download needs of its system's network access, and no more: one GET sent and its
// answer reported as it comes (the status and headers, then the body in chunks), or the
// system's own error. Every rule of a download is ConditionalFetch's; a transport decides none.
#pragma once

#include <chrono>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/services/Inet.h"

namespace platform {

using HttpHeaders = std::vector<std::pair<std::string, std::string>>;

// One GET to send.
struct TransportRequest {
  std::string url;      // an absolute http or https URL with a host
  HttpHeaders headers;  // added to the ones the system sends by itself
  // The stall the fetch allows, for a system whose blocking calls end by themselves after a
  // silence: they may wait no less. Zero is no limit. The fetch still decides when to stop.
  std::chrono::milliseconds stall{0};
};

// The status line and headers of an answer.
struct AnswerHead {
  int status = 0;  // 0 when the answer had no readable status
  HttpHeaders headers;
  // The value of the first header called name, in any letter case; "" when there is none.
  std::string Header(std::string_view name) const;
};

// What becomes of an answer's body once its head is known.
enum class BodyWanted {
  Read,  // report it, chunk by chunk
  Skip,  // the answer is complete without it; a short one may be read and dropped
  Stop,  // end the request now
};

// Whether a request that waits may go on.
struct Patience {
  FetchFailure stop = FetchFailure::None;   // not None: end the request now, failing with this
  std::chrono::milliseconds askAgainIn{0};  // otherwise: ask again at the latest after this
};

// The fetch's side of one request. Its calls come one at a time, from any thread, and never
// after Send has returned.
class AnswerReceiver {
 public:
  virtual ~AnswerReceiver() = default;
  // The head of the answer, once, before any of its body.
  virtual BodyWanted OnHead(AnswerHead head) = 0;
  // The next bytes of the body, as unpacked by the system; false ends the request.
  virtual bool OnBody(std::string_view chunk) = 0;
  // Something moved on the connection: the request went out, or bytes of the answer came.
  virtual void OnProgress() = 0;
  // Asked when the transport starts to wait and again when the time it was given has passed:
  // whether the request has stalled or run out of time.
  virtual Patience Waited() = 0;
};

class FetchTransport {
 public:
  virtual ~FetchTransport() = default;
  // Sends request and reports its answer to receiver; returns when the body has ended or the
  // receiver wants no more of it (None), or with why the request failed, before or after the
  // head came: the system's own error (MalformedUrl for an address it cannot read), the stop
  // that receiver's Waited asked for, Cancelled when the program quits or the transport is
  // destroyed while it waits. The program's events run meanwhile.
  virtual FetchFailure Send(const TransportRequest& request, AnswerReceiver& receiver) = 0;
};

}  // namespace platform
