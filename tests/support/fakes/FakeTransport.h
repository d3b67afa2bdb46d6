// A transport that answers each request at once with the next answer the test queued (a
// refused connection when none is left) and keeps every request it was sent. An answer may
// run the test's code while it "waits", as the program's events run during a real fetch.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/services/FetchTransport.h"

class FakeTransport final : public platform::FetchTransport {
 public:
  struct Answer {
    int status = 200;  // 0: no head comes, only the failure
    platform::HttpHeaders headers{};
    std::vector<std::string> chunks{};
    platform::FetchFailure failure = platform::FetchFailure::None;  // after the body
    std::function<void()> whileWaiting{};
  };

  void Queue(Answer answer) { answers_.push_back(std::move(answer)); }

  platform::FetchFailure Send(const platform::TransportRequest& request,
                              platform::AnswerReceiver& receiver) override {
    requests.push_back(request);
    if (answers_.empty()) return platform::FetchFailure::ConnectionRefused;
    Answer answer = std::move(answers_.front());
    answers_.pop_front();
    if (answer.whileWaiting) answer.whileWaiting();
    if (answer.status == 0) return answer.failure;
    if (receiver.OnHead({answer.status, answer.headers}) != platform::BodyWanted::Read) {
      return platform::FetchFailure::None;
    }
    for (const std::string& chunk : answer.chunks) {
      ++chunksTaken;
      if (!receiver.OnBody(chunk)) return platform::FetchFailure::None;
    }
    return answer.failure;
  }

  std::vector<platform::TransportRequest> requests;
  int chunksTaken = 0;  // chunks handed to the fetch, over all requests

 private:
  std::deque<Answer> answers_;
};
