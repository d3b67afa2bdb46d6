#include <QProcess>
#include <QString>
#include <QStringList>

#include "platform/qt/SystemServiceClasses.h"

namespace platform {

// startDetached runs no shell and does not wait: the opener gets the text as its argv[1].
bool ProcessLinkOpener::Open(const std::string& link) {
  return QProcess::startDetached(QStringLiteral("xdg-open"),
                                 QStringList{QString::fromStdString(link)});
}

}  // namespace platform
