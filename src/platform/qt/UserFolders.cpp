#include "platform/services/UserFolders.h"

#include <QStandardPaths>

namespace platform {

std::string UserConfigFolder() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation).toStdString();
}

}  // namespace platform
