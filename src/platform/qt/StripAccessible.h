// What a screen reader sees of the program's windows through the toolkit: a picture box and its
// labels as the form engine's model has them (platform/engine/Accessibility.h), each label with
// its press action; a dialog form as a dialog; a combo box named by the label that names it.
#pragma once

#include <vector>

#include "platform/engine/Accessibility.h"

class QAccessibleInterface;
class QObject;
class QString;

namespace platform {

class PictureBoxWidget;

// The accessibility factory for those objects; nullptr for any other object, which leaves it
// to the toolkit's own factories. Installed once by the form engine.
QAccessibleInterface* StripAccessibleFactory(const QString& className, QObject* object);

// Tells the reader, when one is attached, what changed in the box's model.
void TellReaderOfBox(PictureBoxWidget* box, const std::vector<engine::AccessibleEvent>& events);

}  // namespace platform
