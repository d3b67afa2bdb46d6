// One running copy of the program per settings file: the first start holds the file's key for
// as long as it runs; a later start with the same key asks that copy for the keyboard (or its
// options) and ends, instead of putting a second strip on the screen.
#pragma once

#include <functional>
#include <memory>
#include <string>

namespace platform {

class CopyKey;

// What a later start asks of the running copy.
struct LaterStart {
  // The strip with the keyboard, or the options dialog.
  enum class Wants { Strip, Options };
  Wants wants = Wants::Strip;
  // The startup notification id its launcher handed the later start (on X11,
  // DESKTOP_STARTUP_ID; under Wayland the activation token, XDG_ACTIVATION_TOKEN), "" for none:
  // it lets the running copy take the keyboard.
  std::string startupId;
};

class RunningCopy final {
 public:
  // Makes this process the one running copy for key (see RunningCopyKey.h) until the object
  // is destroyed; a copy that crashed or was killed leaves the key free. When another copy
  // holds the key, hands it this start's request (letting it take the foreground) and returns
  // nullptr: this process should end without touching anything. So it does too when that
  // copy does not answer within a few seconds (still starting, or stuck) while it keeps the
  // key. When the system offers no private place to meet, returns a copy that holds nothing:
  // two strips beat none. Call after the application object exists.
  static std::unique_ptr<RunningCopy> Claim(const std::string& key, const LaterStart& request);
  ~RunningCopy();
  RunningCopy(const RunningCopy&) = delete;
  RunningCopy& operator=(const RunningCopy&) = delete;

  // handler runs from the event loop each time a later start asks this copy for something.
  // It returns false when this copy is ending and will show nothing: the later start then
  // waits for the key to come free and takes it. Replaces any earlier handler; an empty one
  // answers every request with false.
  void OnAsked(std::function<bool(const LaterStart&)> handler);

 private:
  explicit RunningCopy(std::unique_ptr<CopyKey> key);
  std::unique_ptr<CopyKey> d;
};

}  // namespace platform
