// Colour values of the forms (&H00BBGGRR, or &H800000nn for a colour of the desktop scheme)
// as toolkit colours.
#pragma once

#include <QColor>

#include "platform/forms/Units.h"

namespace platform {

// The scheme's colour comes from the application palette at the time of the call; an
// unknown scheme index gives black.
QColor ToQColor(Color value);

}  // namespace platform
