#include "platform/forms/Image.h"

#include "platform/forms/Form.h"

namespace platform {

Image::Image(Form& parent, const Definition& definition) : definition_(definition) {
  parent.addImage(this);
}

}  // namespace platform
