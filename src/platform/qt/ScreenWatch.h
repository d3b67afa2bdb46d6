// Tells the form engine while nobody can see the screen: the X server's screen saver, the
// desktop's screen saver (org.freedesktop.ScreenSaver, or GNOME's own, on the session bus) and
// the session's lock as logind keeps it (LockedHint, on the system bus). Each source that is
// missing (no X11, no bus, no logind session) is left out.
#pragma once

#include <QAbstractNativeEventFilter>
#include <QDBusVariant>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>

struct xcb_connection_t;

namespace platform {

namespace engine {
class Engine;
}  // namespace engine

class ScreenWatch final : public QObject, public QAbstractNativeEventFilter {
  Q_OBJECT

 public:
  // Call once the application object exists.
  explicit ScreenWatch(engine::Engine& engine);
  ~ScreenWatch() override;
  ScreenWatch(const ScreenWatch&) = delete;
  ScreenWatch& operator=(const ScreenWatch&) = delete;

  bool nativeEventFilter(const QByteArray& type, void* message, qintptr* result) override;

 private slots:
  void desktopSaverChanged(bool active);
  void sessionPropertiesChanged(const QString& interface, const QVariantMap& changed,
                                const QStringList& invalidated);

 private:
  void watchSessionLock();
  void reportSaver();

  engine::Engine& engine_;
  bool xSaverOn_ = false;
  bool desktopSaverOn_ = false;
  xcb_connection_t* x_ = nullptr;  // the X connection whose screen saver is watched
};

}  // namespace platform
