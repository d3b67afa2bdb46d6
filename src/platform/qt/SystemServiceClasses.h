// The Qt back end's services, each over the system's own facility; SystemServices owns one
// of each and hands them down.
#pragma once

#include <string>
#include <vector>

#include "platform/services/Inet.h"
#include "platform/services/Services.h"

namespace platform {

// Download over Inet (the control the strip window calls Inet1).
class InetDownload final : public Download {
 public:
  explicit InetDownload(const Clock& clock);
  FetchResult OpenURL(const std::string& url, FetchOrigin origin) override;
  bool StillExecuting() const override;

 private:
  Inet inet_;
};

// Starts xdg-open with the link as its one argument.
class ProcessLinkOpener final : public LinkOpener {
 public:
  bool Open(const std::string& link) override;
};

// The toolkit's modal message box. While the program ends no box is shown: the default
// button's answer is returned at once.
class BoxMsgBox final : public MsgBoxService {
 public:
  explicit BoxMsgBox(const Session& session) : session_(session) {}
  int Show(const std::string& prompt, int style) override;

 private:
  const Session& session_;
};

class PointerCursor final : public Cursor {
 public:
  explicit PointerCursor(const engine::Engine& engine) : Cursor(engine) {}
  bool GetCursorPos(PointApi& pt) const override;

 private:
  WindowHandle WindowAt(PointApi pt) const override;
};

class DesktopScreens final : public Screens {
 public:
  std::vector<RectTwips> ScreenAreas() const override;
  RectTwips PrimaryWorkArea() const override;
};

}  // namespace platform
