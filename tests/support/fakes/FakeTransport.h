// A transport that answers each request with the next answer the test queued (a refused
// connection when none is left) and keeps every request it was sent. An answer may run the
// test's code while it "waits", as the program's events run during a real fetch, and may
// keep silent on a fake clock before its head and each chunk, asking the fetch whether to go
// on as a real transport does.
#pragma once

#include <algorithm>
#include <chrono>
#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/services/FetchTransport.h"
#include "support/fakes/FakeClock.h"

class FakeTransport final : public platform::FetchTransport {
 public:
  struct Answer {
    int status = 200;  // 0: no head comes, only the failure
    platform::HttpHeaders headers{};
    std::vector<std::string> chunks{};
    platform::FetchFailure failure = platform::FetchFailure::None;  // after the body
    std::function<void()> whileWaiting{};
    // The silence before the head, then before each chunk in turn; none after the last given.
    std::vector<std::chrono::milliseconds> silences{};
  };

  void Queue(Answer answer) { answers_.push_back(std::move(answer)); }

  platform::FetchFailure Send(const platform::TransportRequest& request,
                              platform::AnswerReceiver& receiver) override {
    requests.push_back(request);
    if (answers_.empty()) return platform::FetchFailure::ConnectionRefused;
    Answer answer = std::move(answers_.front());
    answers_.pop_front();
    if (answer.whileWaiting) answer.whileWaiting();
    std::size_t next = 0;
    if (const auto stop = KeepSilent(answer, next++, receiver);
        stop != platform::FetchFailure::None) {
      return stop;
    }
    if (answer.status == 0) return answer.failure;
    if (receiver.OnHead({answer.status, answer.headers}) != platform::BodyWanted::Read) {
      return platform::FetchFailure::None;
    }
    for (const std::string& chunk : answer.chunks) {
      if (const auto stop = KeepSilent(answer, next++, receiver);
          stop != platform::FetchFailure::None) {
        return stop;
      }
      ++chunksTaken;
      if (!receiver.OnBody(chunk)) return platform::FetchFailure::None;
    }
    return answer.failure;
  }

  FakeClock* clock = nullptr;  // moved on by the silences
  std::vector<platform::TransportRequest> requests;
  int chunksTaken = 0;  // chunks handed to the fetch, over all requests

 private:
  // Lets the answer's silence at index pass, asking the receiver whether to go on whenever it
  // said to, and then reports progress; the stop it asked for, if any.
  platform::FetchFailure KeepSilent(const Answer& answer, std::size_t index,
                                    platform::AnswerReceiver& receiver) {
    std::chrono::milliseconds silence =
        index < answer.silences.size() ? answer.silences[index] : std::chrono::milliseconds(0);
    for (;;) {
      const platform::Patience patience = receiver.Waited();
      if (patience.stop != platform::FetchFailure::None) return patience.stop;
      if (silence.count() == 0) break;
      const std::chrono::milliseconds step = std::min(silence, patience.askAgainIn);
      clock->Advance(step);
      silence -= step;
    }
    receiver.OnProgress();
    return platform::FetchFailure::None;
  }

  std::deque<Answer> answers_;
};
