// The download of a document: a synchronous fetch that returns the whole body as UTF-8
// text. While it waits the program's windows keep painting and its timers and events run.
#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>

#include "platform/services/Clock.h"

namespace platform {

// Why a fetch failed.
enum class FetchFailure {
  None,
  Busy,               // another fetch of the same Inet is waiting
  NoApplication,      // no application object to run the fetch in
  MalformedUrl,       // not an absolute URL with a host
  UnsupportedScheme,  // neither http nor https
  ConnectionRefused,
  ConnectionClosed,
  HostNotFound,
  NoConnection,
  TlsHandshakeFailed,
  ProxyFailed,
  TimedOut,     // no progress for longer than the request time-out
  TookTooLong,  // the whole fetch took longer than the total limit
  TooLarge,     // the document is over the size cap
  HttpStatus,   // a status of 400 or above, or a 304 that was not asked for
  TooManyRedirects,
  InsecureRedirect,  // a redirect from https to http
  BadRedirect,       // a redirect without a usable Location
  BadContent,
  ProtocolError,
  Cancelled,  // the program ended or the Inet was destroyed during the fetch
  DownloadFailed,
  Deferred,  // an automatic fetch before the server's or the back-off's time: nothing sent
};

// Who a fetch is for. The program's own reloads keep to what the server asked (a fresh copy
// serves, Retry-After and the back-off after failures wait); a person's reload goes out at
// once, and what it brings counts for the rules all the same.
enum class FetchOrigin { Automatic, Person };

// The short reason shown to the user for failure ("HTTP 404", "timed out", ...); status is
// the HTTP status that came with it. Empty for FetchFailure::None.
std::string FailureText(FetchFailure failure, int status);

struct FetchResult {
  bool ok = false;
  std::string document{};                     // the body as UTF-8 text when ok
  FetchFailure failure = FetchFailure::None;  // why, when not ok
  std::string error{};                        // FailureText of failure and status
  int status = 0;  // the HTTP status, 0 when none came; 304 when the document held from the
                   // last answer for the same URL served again
  // When not ok: how long until an automatic fetch of the URL may ask again (0: at once).
  std::chrono::seconds nextTryIn{0};
};

// The result of a fetch that failed with failure, its FailureText and status.
FetchResult FailedFetch(FetchFailure failure, int status = 0);

class Inet {
 public:
  struct Definition {
    int requestTimeout = 60;  // seconds without progress before a request fails
  };

  // clock times the rules of the fetches (freshness, Retry-After, back-off).
  explicit Inet(const Definition& definition, const Clock& clock = SystemClock::Shared());
  ~Inet();
  Inet(const Inet&) = delete;
  Inet& operator=(const Inet&) = delete;

  // Fetches the document at url (http or https), saying who asks (User-Agent). When the
  // last successful answer for url carried an ETag or a Last-Modified date, the request is
  // conditional, and a 304 Not Modified gives that answer's document again. Fails on no
  // connection, a stall longer than the request time-out, a whole fetch longer than the
  // total limit, a status of 400 or above, a 304 to a request that was not conditional, a
  // body over the size cap, too many redirects or a redirect from https to http, and when
  // the program ends during the fetch. An automatic fetch keeps to ConditionalFetch's rules.
  FetchResult OpenURL(const std::string& url, FetchOrigin origin = FetchOrigin::Person);
  // True while a fetch waits.
  bool StillExecuting() const;

  // Limits for the fetches that start from now on; the defaults are a 60-second stall,
  // 5 minutes in all and 32 MiB. A time of 0 or less sets no limit. Never fail.
  void setRequestTimeout(std::chrono::milliseconds stall);
  void setTotalTimeLimit(std::chrono::milliseconds total);
  void setMaxBytes(std::size_t bytes);
  std::chrono::milliseconds RequestTimeout() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> d;
};

// Turns the bytes of a response into UTF-8 text: a byte-order mark, else the charset named by
// the Content-Type header (may be empty), else the encoding of the XML declaration, else UTF-8
// when the bytes are valid UTF-8, else Windows-1252. Invalid sequences become U+FFFD.
std::string DecodeDocument(std::string bytes, const std::string& contentType);

}  // namespace platform
