// The download over WinINet: one GET on a worker thread while the calling thread keeps
// dispatching its window messages, bounded in time and size.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>

#include "platform/services/Services.h"

struct tagMSG;
using MSG = tagMSG;

namespace platform::win32 {

class WinInetDownload final : public Download {
 public:
  // Every window message that arrives while a fetch waits goes to dispatch: the program hands
  // in the dispatch of its own message loop, so that its windows behave during a download as
  // at any other time (the dialog keeps Tab, Enter and Escape). Without one, messages are
  // translated and dispatched plainly.
  using Dispatcher = std::function<void(MSG&)>;
  // clock times the rules of the fetches (freshness, Retry-After, back-off).
  explicit WinInetDownload(Dispatcher dispatch = {}, const Clock& clock = SystemClock::Shared());
  ~WinInetDownload() override;
  WinInetDownload(const WinInetDownload&) = delete;
  WinInetDownload& operator=(const WinInetDownload&) = delete;

  // Fetches url (http or https) with the system's proxy settings, saying who asks
  // (User-Agent), following at most 10 redirects and none from https to http, unpacking gzip.
  // When the last successful answer for url carried an ETag or a Last-Modified date the
  // request is conditional, and a 304 Not Modified gives that answer's document again. Fails
  // on no connection, a stall longer than the request time-out, a whole fetch longer than the
  // total limit, a status of 400 or above, a body over the size cap, and with Cancelled when
  // the message loop is told to quit (the WM_QUIT is posted again) or the download is
  // destroyed during the fetch. An automatic fetch keeps to ConditionalFetch's rules.
  FetchResult OpenURL(const std::string& url, FetchOrigin origin) override;
  FetchResult OpenURL(const std::string& url) { return OpenURL(url, FetchOrigin::Person); }
  bool StillExecuting() const override;

  // Limits; the defaults are a 60-second stall, 5 minutes in all and 32 MiB.
  void setRequestTimeout(std::chrono::milliseconds stall);
  void setTotalTimeLimit(std::chrono::milliseconds total);
  void setMaxBytes(std::size_t bytes);

 private:
  struct Impl;
  std::unique_ptr<Impl> d;
};

}  // namespace platform::win32
