#include "platform/services/Inet.h"

namespace platform {

std::string FailureText(FetchFailure failure, int status) {
  switch (failure) {
    case FetchFailure::None:
      return {};
    case FetchFailure::Busy:
      return "busy";
    case FetchFailure::NoApplication:
      return "no application";
    case FetchFailure::MalformedUrl:
      return "malformed URL";
    case FetchFailure::UnsupportedScheme:
      return "unsupported scheme";
    case FetchFailure::ConnectionRefused:
      return "connection refused";
    case FetchFailure::ConnectionClosed:
      return "connection closed";
    case FetchFailure::HostNotFound:
      return "host not found";
    case FetchFailure::NoConnection:
      return "no connection";
    case FetchFailure::TlsHandshakeFailed:
      return "TLS handshake failed";
    case FetchFailure::ProxyFailed:
      return "proxy failed";
    case FetchFailure::TimedOut:
      return "timed out";
    case FetchFailure::TookTooLong:
      return "took too long";
    case FetchFailure::TooLarge:
      return "too large";
    case FetchFailure::HttpStatus:
      return "HTTP " + std::to_string(status);
    case FetchFailure::TooManyRedirects:
      return "too many redirects";
    case FetchFailure::InsecureRedirect:
      return "insecure redirect";
    case FetchFailure::BadRedirect:
      return "bad redirect";
    case FetchFailure::BadContent:
      return "bad content";
    case FetchFailure::ProtocolError:
      return "protocol error";
    case FetchFailure::Cancelled:
      return "cancelled";
    case FetchFailure::Deferred:
      return "waiting to ask again";
    case FetchFailure::DownloadFailed:
      break;
  }
  return "download failed";
}

FetchResult FailedFetch(FetchFailure failure, int status) {
  FetchResult result;
  result.failure = failure;
  result.error = FailureText(failure, status);
  result.status = status;
  return result;
}

}  // namespace platform
