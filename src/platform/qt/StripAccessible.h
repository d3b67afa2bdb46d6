// What a screen reader sees of a picture box: the box itself, named by its tooltip, and one
// object for each label of its arrays that shows, with the caption as its name, the tooltip as
// its description and a link role when the label shows the hand pointer of a linked item.
#pragma once

class QAccessibleInterface;
class QObject;
class QString;

namespace platform {

// The accessibility factory for picture boxes; nullptr for any other object, which leaves it
// to the toolkit's own factories. Installed once by the form engine.
QAccessibleInterface* StripAccessibleFactory(const QString& className, QObject* object);

}  // namespace platform
