#include "platform/qt/ScreenWatch.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QGuiApplication>

#include "platform/engine/Engine.h"
#include "platform/qt/XConnection.h"
#include "platform/x11/X11ScreenSaver.h"

namespace platform {

namespace {

const QString kLogin1 = QStringLiteral("org.freedesktop.login1");
const QString kLogin1Session = QStringLiteral("org.freedesktop.login1.Session");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");

}  // namespace

ScreenWatch::ScreenWatch(engine::Engine& engine) : engine_(engine) {
  if (xcb_connection_t* connection = XConnection(); WatchScreenSaver(connection)) {
    x_ = connection;
    xSaverOn_ = ScreenSaverOn(connection);
    QCoreApplication::instance()->installNativeEventFilter(this);
  }
  // Desktops announce their screen saver (and with it the lock screen) under one of two names.
  QDBusConnection session = QDBusConnection::sessionBus();
  if (session.isConnected()) {
    for (const QString& name :
         {QStringLiteral("org.freedesktop.ScreenSaver"), QStringLiteral("org.gnome.ScreenSaver")}) {
      session.connect({}, {}, name, QStringLiteral("ActiveChanged"), this,
                      SLOT(desktopSaverChanged(bool)));
    }
  }
  watchSessionLock();
  reportSaver();
}

ScreenWatch::~ScreenWatch() {
  if (x_ != nullptr) QCoreApplication::instance()->removeNativeEventFilter(this);
}

// logind keeps the lock of the session this process runs in; a process outside any session
// (a service, a test) has none to watch.
void ScreenWatch::watchSessionLock() {
  QDBusConnection system = QDBusConnection::systemBus();
  if (!system.isConnected()) return;
  QDBusMessage ask = QDBusMessage::createMethodCall(
      kLogin1, QStringLiteral("/org/freedesktop/login1"),
      QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("GetSessionByPID"));
  ask << static_cast<uint>(::getpid());
  // Where logind does not run, nothing is started for the question.
  ask.setAutoStartService(false);
  const QDBusReply<QDBusObjectPath> path = system.call(ask, QDBus::Block, 2000);
  if (!path.isValid()) return;
  system.connect(kLogin1, path.value().path(), kProperties, QStringLiteral("PropertiesChanged"),
                 this, SLOT(sessionPropertiesChanged(QString, QVariantMap, QStringList)));
  QDBusMessage get = QDBusMessage::createMethodCall(kLogin1, path.value().path(), kProperties,
                                                    QStringLiteral("Get"));
  get << kLogin1Session << QStringLiteral("LockedHint");
  const QDBusReply<QDBusVariant> locked = system.call(get, QDBus::Block, 2000);
  if (locked.isValid())
    engine_.noteUnseen(engine::Unseen::Locked, locked.value().variant().toBool());
}

bool ScreenWatch::nativeEventFilter(const QByteArray& type, void* message, qintptr*) {
  if (type != "xcb_generic_event_t") return false;
  if (const std::optional<bool> on = ScreenSaverNotice(x_, message)) {
    xSaverOn_ = *on;
    reportSaver();
  }
  return false;
}

void ScreenWatch::desktopSaverChanged(bool active) {
  desktopSaverOn_ = active;
  reportSaver();
}

void ScreenWatch::sessionPropertiesChanged(const QString& interface, const QVariantMap& changed,
                                           const QStringList&) {
  if (interface != kLogin1Session || !changed.contains(QStringLiteral("LockedHint"))) return;
  engine_.noteUnseen(engine::Unseen::Locked, changed.value(QStringLiteral("LockedHint")).toBool());
}

void ScreenWatch::reportSaver() {
  engine_.noteUnseen(engine::Unseen::ScreenSaver, xSaverOn_ || desktopSaverOn_);
}

}  // namespace platform
