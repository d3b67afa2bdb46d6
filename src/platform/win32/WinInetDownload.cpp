// The download over WinINet: the rules of a download (ConditionalFetch) over one request at a
// time on a worker thread, waited for while the calling thread keeps dispatching its window
// messages.
#include "platform/win32/WinInetDownload.h"

#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <thread>
#include <utility>

#include "platform/services/ConditionalFetch.h"
#include "platform/services/FetchTransport.h"
#include "platform/win32/WideText.h"
#include "platform/win32/WinInetRequest.h"

namespace platform::win32 {
namespace {

using std::chrono::milliseconds;
using wininet::FailureOfError;
using wininet::FetchState;

// The calling thread's side of one request, on Send's stack.
struct Waiting {
  bool ownerGone = false;
};

enum class WaitEnd { Done, Stopped, Quit, OwnerGone };

// Dispatches the thread's messages until the worker is done, the receiver asks to stop (why)
// or a WM_QUIT ends the wait. A WM_QUIT is posted again, so that the message loop it was meant
// for sees it too.
WaitEnd Pump(FetchState& state, const Waiting& waiting, AnswerReceiver& receiver,
             const WinInetDownload::Dispatcher& dispatch, FetchFailure& why) {
  for (;;) {
    if (waiting.ownerGone) return WaitEnd::OwnerGone;
    if (::WaitForSingleObject(state.done, 0) == WAIT_OBJECT_0) return WaitEnd::Done;
    const Patience patience = receiver.Waited();
    if (patience.stop != FetchFailure::None) {
      why = patience.stop;
      return WaitEnd::Stopped;
    }
    const auto wait = std::min<long long>(patience.askAgainIn.count(), INFINITE - 1);
    const DWORD woke = ::MsgWaitForMultipleObjectsEx(1, &state.done, static_cast<DWORD>(wait),
                                                     QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    if (woke == WAIT_OBJECT_0) return WaitEnd::Done;
    if (woke != WAIT_OBJECT_0 + 1) continue;
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        ::PostQuitMessage(static_cast<int>(message.wParam));
        return WaitEnd::Quit;
      }
      if (dispatch) {
        dispatch(message);
      } else {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
      }
      if (waiting.ownerGone) return WaitEnd::OwnerGone;
    }
  }
}

// A session with the system's proxy settings, as Internet Options sets them, saying who asks.
HINTERNET OpenSession(milliseconds stall) {
  HINTERNET session =
      ::InternetOpenW(Widen(USER_AGENT).c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
  if (session == nullptr) return nullptr;
  // Blocking calls end by themselves after a stall as well; the wait asks the fetch too.
  if (stall.count() > 0) {
    DWORD timeout = static_cast<DWORD>(
        std::min<long long>(stall.count(), static_cast<long long>(INFINITE - 1)));
    for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                         INTERNET_OPTION_RECEIVE_TIMEOUT}) {
      ::InternetSetOptionW(session, option, &timeout, sizeof timeout);
    }
  }
  BOOL decode = TRUE;
  ::InternetSetOptionW(session, INTERNET_OPTION_HTTP_DECODING, &decode, sizeof decode);
  return session;
}

// Sends each request on a worker thread of its own and waits for it.
class WinInetTransport final : public FetchTransport {
 public:
  explicit WinInetTransport(WinInetDownload::Dispatcher dispatch)
      : dispatch_(std::move(dispatch)) {}
  ~WinInetTransport() override {
    if (current_ != nullptr) current_->ownerGone = true;
  }
  WinInetTransport(const WinInetTransport&) = delete;
  WinInetTransport& operator=(const WinInetTransport&) = delete;

  FetchFailure Send(const TransportRequest& request, AnswerReceiver& receiver) override;

 private:
  WinInetDownload::Dispatcher dispatch_;
  Waiting* current_ = nullptr;
};

FetchFailure WinInetTransport::Send(const TransportRequest& request, AnswerReceiver& receiver) {
  wininet::Request work{Widen(request.url), {}};
  for (const auto& [name, value] : request.headers) {
    work.headers += Widen(name) + L": " + Widen(value) + L"\r\n";
  }
  HINTERNET session = OpenSession(request.stall);
  if (session == nullptr) return FailureOfError(::GetLastError());

  auto state = std::make_shared<FetchState>(session, receiver);
  Waiting waiting;
  current_ = &waiting;
  std::thread worker(wininet::Work, state, std::move(work));
  FetchFailure stopped = FetchFailure::Cancelled;
  const WaitEnd end = Pump(*state, waiting, receiver, dispatch_, stopped);
  if (end != WaitEnd::Done) {
    state->Abandon();
    worker.detach();
    // Once the transport is gone, current_ is too.
    if (end != WaitEnd::OwnerGone) current_ = nullptr;
    return end == WaitEnd::Stopped ? stopped : FetchFailure::Cancelled;
  }
  worker.join();
  state->CloseSession();
  current_ = nullptr;
  return state->failure;
}

}  // namespace

struct WinInetDownload::Impl {
  Impl(Dispatcher dispatch, const Clock& clock)
      : transport(std::move(dispatch)), fetch(transport, &DecodeDocument, clock) {}
  // Declared first, destroyed last: a fetch waiting in it learns first that its owner is gone.
  WinInetTransport transport;
  ConditionalFetch fetch;
};

WinInetDownload::WinInetDownload(Dispatcher dispatch, const Clock& clock)
    : d(std::make_unique<Impl>(std::move(dispatch), clock)) {}

WinInetDownload::~WinInetDownload() = default;

FetchResult WinInetDownload::OpenURL(const std::string& url, FetchOrigin origin) {
  return d->fetch.OpenURL(url, origin);
}
bool WinInetDownload::StillExecuting() const { return d->fetch.StillExecuting(); }

void WinInetDownload::setRequestTimeout(milliseconds stall) { d->fetch.setRequestTimeout(stall); }
void WinInetDownload::setTotalTimeLimit(milliseconds total) { d->fetch.setTotalTimeLimit(total); }
void WinInetDownload::setMaxBytes(std::size_t bytes) { d->fetch.setMaxBytes(bytes); }

}  // namespace platform::win32
