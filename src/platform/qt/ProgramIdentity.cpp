#include "platform/program/ProgramIdentity.h"

#include <QApplication>
#include <QIcon>

namespace platform {

void SetProgramIdentity(const std::string& applicationName, const std::string& domain,
                        const std::string& desktopId) {
  QCoreApplication::setApplicationName(QString::fromStdString(applicationName));
  QCoreApplication::setOrganizationDomain(QString::fromStdString(domain));
  QGuiApplication::setDesktopFileName(QString::fromStdString(desktopId));
  QIcon icon;
  for (const int size : {16, 32, 48, 64, 128})
    icon.addFile(QStringLiteral(":/icons/ticker-%1.png").arg(size), QSize(size, size));
  QApplication::setWindowIcon(icon);
}

}  // namespace platform
