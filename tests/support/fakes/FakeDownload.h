// A download that answers at once from a script, for tests of the windows. Each fetch takes
// the next queued answer, else the document or failure put for its URL, else fails with
// HTTP 404. It counts the fetches and records their URLs. A fetch can be made to stall: it
// then waits, running the event loop as the real download does (timers tick, events arrive,
// the window can re-enter itself), until the test releases it.
#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/services/Services.h"

class FakeDownload final : public platform::Download {
 public:
  static platform::FetchResult Document(std::string document, int status = 200) {
    return {.ok = true, .document = std::move(document), .status = status};
  }
  static platform::FetchResult Failure(platform::FetchFailure failure, int status = 0) {
    return {.ok = false,
            .failure = failure,
            .error = platform::FailureText(failure, status),
            .status = status};
  }

  // What a fetch of url answers when nothing is queued.
  void Put(const std::string& url, std::string document) {
    byUrl_[url] = Document(std::move(document));
  }
  void PutFailure(const std::string& url, platform::FetchFailure failure, int status = 0) {
    byUrl_[url] = Failure(failure, status);
  }
  // The answer of the next fetch, whatever its URL (answers queue up in order).
  void Queue(platform::FetchResult result) { queue_.push_back(std::move(result)); }

  // The next fetch stalls: whileWaiting runs from the event loop once the fetch waits, and the
  // fetch returns its answer when Release is called (from whileWaiting or later).
  void StallNext(std::function<void()> whileWaiting = {}) {
    stallNext_ = true;
    whileWaiting_ = std::move(whileWaiting);
  }
  void Release() {
    released_ = true;
    if (loop_ != nullptr) loop_->quit();
  }

  platform::FetchResult OpenURL(const std::string& url, platform::FetchOrigin origin) override {
    urls.push_back(url);
    origins.push_back(origin);
    if (executing_) return Failure(platform::FetchFailure::Busy);
    if (stallNext_) {
      stallNext_ = false;
      Wait();
    }
    if (!queue_.empty()) {
      platform::FetchResult result = std::move(queue_.front());
      queue_.pop_front();
      return result;
    }
    const auto found = byUrl_.find(url);
    if (found != byUrl_.end()) return found->second;
    return Failure(platform::FetchFailure::HttpStatus, 404);
  }

  bool StillExecuting() const override { return executing_; }

  int calls() const { return static_cast<int>(urls.size()); }

  // Every URL asked for, in order, refused ones included.
  std::vector<std::string> urls;
  std::vector<platform::FetchOrigin> origins;

 private:
  void Wait() {
    executing_ = true;
    released_ = false;
    QEventLoop loop;
    loop_ = &loop;
    if (std::function<void()> whileWaiting = std::exchange(whileWaiting_, {})) {
      QTimer::singleShot(0, &loop, std::move(whileWaiting));
    }
    // A test that forgets to release fails instead of hanging.
    QTimer::singleShot(20000, &loop, [&loop] {
      ADD_FAILURE() << "a stalled fetch was never released";
      loop.quit();
    });
    if (!released_) loop.exec();
    loop_ = nullptr;
    executing_ = false;
  }

  std::deque<platform::FetchResult> queue_;
  std::map<std::string, platform::FetchResult> byUrl_;
  bool stallNext_ = false;
  std::function<void()> whileWaiting_;
  bool executing_ = false;
  bool released_ = false;
  QEventLoop* loop_ = nullptr;
};
